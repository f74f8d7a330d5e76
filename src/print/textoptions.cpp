#include "print/textoptions.h"

namespace tessaria {

bool TPrintFont::operator==(const TPrintFont& other) const
{
    return Color == other.Color && Font.family() == other.Font.family() &&
           Font.pointSize() == other.Font.pointSize() && Font.bold() == other.Font.bold() &&
           Font.italic() == other.Font.italic() && Font.underline() == other.Font.underline() &&
           Font.strikeOut() == other.Font.strikeOut();
}

TPrintFont MakePrintFont(const QString& name, int points, bool bold)
{
    TPrintFont f;
    f.Font = QFont(name);
    f.Font.setPointSize(points);
    f.Font.setBold(bold);
    return f;
}

TTextOptions::TTextOptions()
    : HeaderFont_(MakePrintFont(QStringLiteral("Times New Roman"), 18, true)),
      FooterFont_(MakePrintFont(QStringLiteral("Arial"), 6)),
      PageNumFont_(FooterFont_)
{
}

QString FormatPageNumber(const QString& format, int number)
{
    QString out;
    bool used = false;
    const int n = format.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != '%' || i + 1 >= n) {
            out += c;
            continue;
        }
        if (format[i + 1] == '%') {
            out += '%';
            ++i;
            continue;
        }
        // %[-][width][.precision]d
        int j = i + 1;
        const bool left = format[j] == '-';
        if (left)
            ++j;
        // Widths and precisions past three digits are no number format.
        auto number3 = [&](int& value) {
            const int from = j;
            while (j < n && format[j].isDigit())
                ++j;
            if (j - from > 3)
                return false;
            value = j > from ? format.mid(from, j - from).toInt() : value;
            return true;
        };
        int width = 0;
        int precision = -1;
        bool sane = number3(width);
        if (sane && j < n && format[j] == '.') {
            ++j;
            precision = 0;
            sane = number3(precision);
        }
        if (!sane) {
            out += c;
            continue;
        }
        if (used || j >= n || (format[j] != 'd' && format[j] != 'i' && format[j] != 'u')) {
            out += c;
            continue;
        }
        QString digits = QString::number(qAbs(qint64(number)));
        if (precision > digits.size())
            digits = QString(precision - digits.size(), '0') + digits;
        if (number < 0)
            digits.prepend('-');
        if (width > digits.size())
            digits = left ? digits + QString(width - digits.size(), ' ') : QString(width - digits.size(), ' ') + digits;
        out += digits;
        used = true;
        i = j;
    }
    return out;
}

} // namespace tessaria
