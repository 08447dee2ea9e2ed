#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

// Cutting the four indexed-page counts out of a site-statistics page. The page holds a table
// row whose label cell ends in ">收录数量</td>"; the cells after it, up to "</tr>", hold the
// counts of 百度, Google, 360 and Sogou, each wrapped in one nested element.

// The row after the first label cell, up to and including the "<" of the first "</tr>", looked
// for only before a second label cell. Empty when there is no label cell or no "</tr>".
QString CutResultsRow(QStringView page);

// The count in cell k (1-based) of a row: the text after the second ">" of the cell and before
// the next "<". Empty when the row has no such cell or the cell has no such text.
QString CutCount(QStringView row, int k);

using PageCounts = std::array<QString, 4>;

// The four counts of a row, an empty one given as "0".
PageCounts CutCounts(QStringView row);

// The four counts of a statistics page, or none when it has no counts row (or is empty).
std::optional<PageCounts> CountsOfPage(QStringView page);
