#include "browse/filemask.h"

namespace tessaria {

namespace {
constexpr int MaskRestLength = 100;

bool SameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }
} // namespace

QStringList SplitFileMask(const QString& mask)
{
    QStringList patterns;
    QString rest = mask;
    for (qsizetype end = rest.indexOf(';'); end >= 0; end = rest.indexOf(';')) {
        patterns << rest.left(end);
        rest = rest.mid(end + 1, MaskRestLength);
    }
    return patterns;
}

bool MatchesFilePattern(const QString& name, const QString& pattern)
{
    if (pattern.isEmpty())
        return false;
    // Greedy matching with one back-tracking point: the last "*" seen.
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || SameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace tessaria
