#pragma once
// Sorting the file list: one key per item for the sort column, compared in
// the chosen direction.

#include <QLocale>
#include <QString>
#include <cstdint>
#include <string>
#include <vector>

namespace tessaria {

// What the sort looks at of one list item: its column texts.
struct TFileItemTexts {
    QString Caption;
    QString Size;
    QString Type;
    QString Modified;
};

struct TFileSortKey {
    int64_t Number = 0; // the size column
    std::string Text;   // every other column, compared byte by byte
};

// Column 0: the caption in upper case; 1: the size text as an integer; 2: type
// then caption, upper case; 3: the modified time as "000000.00000000" days,
// then the caption in upper case. Raises EConvertError when the size or the
// modified text cannot be read back.
TFileSortKey FileSortKey(int column, const TFileItemTexts& item, const QLocale& locale = QLocale());

// Below, equal to or above zero as a is before, level with or after b.
int CompareFileSortKeys(int column, const TFileSortKey& a, const TFileSortKey& b, bool ascending);

// The comparison of two items (LV1Compare): keys made on the spot.
int CompareFileItems(int column, bool ascending, const TFileItemTexts& a, const TFileItemTexts& b,
                     const QLocale& locale = QLocale());

// The new order of items (indexes into items) sorted by column. Every key is
// made before anything moves, so a text that cannot be read leaves the caller's
// order as it was; items with equal keys keep their order.
std::vector<int> SortedFileOrder(const std::vector<TFileItemTexts>& items, int column, bool ascending,
                                 const QLocale& locale = QLocale());

// Days since 30 December 1899 with six integer digits and eight decimals.
std::string FormatDayNumber(double days);

} // namespace tessaria
