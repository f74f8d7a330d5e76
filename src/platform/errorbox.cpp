#include "platform/errorbox.h"

#include <new>

#include "base/exceptions.h"
#include "platform/dialogs.h"

namespace tessaria {

QString ExceptionMessage(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e))
        return QStringLiteral("Out of memory");
    return QString::fromUtf8(e.what());
}

void ShowException(const std::exception& e) { Dialogs().ShowError(ExceptionMessage(e)); }

void ShowException()
{
    try {
        throw;
    } catch (const std::exception& e) {
        ShowException(e);
    } catch (...) {
        Dialogs().ShowError(QStringLiteral("Unknown error"));
    }
}

} // namespace tessaria
