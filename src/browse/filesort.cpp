#include "browse/filesort.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>

#include "base/exceptions.h"
#include "browse/filecolumns.h"

namespace tessaria {

namespace {

std::string UpperBytes(const QString& text) { return AsciiUpperCase(text).toStdString(); }

int64_t SizeNumber(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    if (!ok)
        throw EConvertError("'" + text.toStdString() + "' is not a valid integer value");
    return value;
}

int Sign(int v) { return (v > 0) - (v < 0); }

} // namespace

std::string FormatDayNumber(double days)
{
    char text[64];
    std::snprintf(text, sizeof text, "%015.8f", days);
    return text;
}

TFileSortKey FileSortKey(int column, const TFileItemTexts& item, const QLocale& locale)
{
    TFileSortKey key;
    switch (column) {
    case 1: key.Number = SizeNumber(item.Size); break;
    case 2: key.Text = UpperBytes(item.Type + item.Caption); break;
    case 3: key.Text = FormatDayNumber(FileModifiedValue(item.Modified, locale)) + UpperBytes(item.Caption); break;
    default: key.Text = UpperBytes(item.Caption); break;
    }
    return key;
}

int CompareFileSortKeys(int column, const TFileSortKey& a, const TFileSortKey& b, bool ascending)
{
    // std::string compares its chars as unsigned bytes, a prefix first.
    const int order = column == 1 ? (a.Number > b.Number) - (a.Number < b.Number) : Sign(a.Text.compare(b.Text));
    return ascending ? order : -order;
}

int CompareFileItems(int column, bool ascending, const TFileItemTexts& a, const TFileItemTexts& b,
                     const QLocale& locale)
{
    return CompareFileSortKeys(column, FileSortKey(column, a, locale), FileSortKey(column, b, locale), ascending);
}

std::vector<int> SortedFileOrder(const std::vector<TFileItemTexts>& items, int column, bool ascending,
                                 const QLocale& locale)
{
    std::vector<TFileSortKey> keys;
    keys.reserve(items.size());
    for (const TFileItemTexts& item : items)
        keys.push_back(FileSortKey(column, item, locale));
    std::vector<int> order(items.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return CompareFileSortKeys(column, keys[size_t(a)], keys[size_t(b)], ascending) < 0;
    });
    return order;
}

} // namespace tessaria
