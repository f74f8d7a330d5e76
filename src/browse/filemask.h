#pragma once
// The file mask of the file list: file name patterns, each ended by ";".

#include <QString>
#include <QStringList>

namespace tessaria {

// The patterns of a mask, in order. While the rest holds a ";", the text before
// the first ";" is the next pattern and the rest after it is cut to its first
// 100 characters; whatever follows the last ";" is no pattern.
QStringList SplitFileMask(const QString& mask);

// Whether a file name matches a pattern where "*" stands for any run of
// characters and "?" for one; letters match whatever their case. An empty
// pattern matches nothing.
bool MatchesFilePattern(const QString& name, const QString& pattern);

} // namespace tessaria
