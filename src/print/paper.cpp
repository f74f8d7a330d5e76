#include "print/paper.h"

#include <QSizeF>
#include <algorithm>

#include "base/rounding.h"

namespace tessaria {

namespace {

struct TNamedPaper {
    const char* Name;
    QPageSize (*Make)();
};

const TNamedPaper NamedPapers[] = {
    {"A4", [] { return QPageSize(QPageSize::A4); }},
    {"Letter", [] { return QPageSize(QPageSize::Letter); }},
    {"Legal", [] { return QPageSize(QPageSize::Legal); }},
    {"A3", [] { return QPageSize(QPageSize::A3); }},
    {"A5", [] { return QPageSize(QPageSize::A5); }},
    {"10x15cm", [] { return QPageSize(QSizeF(100, 150), QPageSize::Millimeter, "10x15cm", QPageSize::ExactMatch); }},
    {"4x6in", [] { return QPageSize(QSizeF(4, 6), QPageSize::Inch, "4x6in", QPageSize::ExactMatch); }},
};

// Where Letter is the usual paper although the measurement system is metric
// or the locale does not say (the US itself is caught by its system).
constexpr QLocale::Territory LetterTerritories[] = {
    QLocale::UnitedStates, QLocale::Canada,    QLocale::Mexico,     QLocale::Chile,
    QLocale::Colombia,     QLocale::CostaRica, QLocale::Guatemala,  QLocale::Panama,
    QLocale::Nicaragua,    QLocale::ElSalvador, QLocale::Venezuela, QLocale::Philippines,
    QLocale::PuertoRico,   QLocale::Belize,
};

} // namespace

std::optional<QPageSize> PaperByName(const QString& name)
{
    for (const TNamedPaper& p : NamedPapers)
        if (name.compare(QLatin1String(p.Name), Qt::CaseInsensitive) == 0)
            return p.Make();
    return std::nullopt;
}

QStringList PaperNames()
{
    QStringList names;
    for (const TNamedPaper& p : NamedPapers)
        names << QLatin1String(p.Name);
    return names;
}

QPageSize PaperForLocale(const QLocale& locale)
{
    const bool letter = locale.measurementSystem() == QLocale::ImperialUSSystem ||
                        std::ranges::find(LetterTerritories, locale.territory()) != std::end(LetterTerritories);
    return QPageSize(letter ? QPageSize::Letter : QPageSize::A4);
}

namespace {

// Qt gives a size in other units rounded to two decimals (A4 would be 11.69
// in. high, a pixel short at 96 dpi); the size as the paper is defined is exact.
QSizeF ExactInches(const QPageSize& paper)
{
    const QSizeF s = paper.definitionSize();
    switch (paper.definitionUnits()) {
    case QPageSize::Millimeter: return s / 25.4;
    case QPageSize::Point: return s / 72.0;
    case QPageSize::Inch: return s;
    case QPageSize::Pica: return s / 6.0;
    case QPageSize::Didot: return s * (0.375 / 25.4);
    case QPageSize::Cicero: return s * (4.5 / 25.4);
    }
    return paper.size(QPageSize::Inch);
}

} // namespace

TDeviceValues SheetDeviceValues(const QPageSize& paper, int pixelsPerInch, TPrinterOrientation orientation)
{
    const QSizeF inches = ExactInches(paper);
    TDeviceValues v;
    v.PixelsPerInchX = pixelsPerInch;
    v.PixelsPerInchY = pixelsPerInch;
    v.PhysicalWidth = int(Round(inches.width() * pixelsPerInch));
    v.PhysicalHeight = int(Round(inches.height() * pixelsPerInch));
    if (orientation == TPrinterOrientation::poLandscape)
        std::swap(v.PhysicalWidth, v.PhysicalHeight);
    return v;
}

} // namespace tessaria
