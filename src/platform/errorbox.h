#pragma once
// The standard error box: a command that raises ends here, its message is
// shown through the dialog seam, and the program goes on.

#include <exception>
#include <utility>

#include <QString>

namespace tessaria {

// The text the error box shows for an exception.
QString ExceptionMessage(const std::exception& e);
void ShowException(const std::exception& e);
void ShowException(); // for the current exception inside a catch block

// Runs a command handler; whatever it raises ends in the standard error box.
template <class F>
void RunCommand(F&& command)
{
    try {
        std::forward<F>(command)();
    } catch (...) {
        ShowException();
    }
}

} // namespace tessaria
