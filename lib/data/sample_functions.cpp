// findsample and getgrouplag: choosing the rows and the variables of a
// model from data in memory.
/// @family Files and data

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "data/library.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

using zu::value::IntOf;
using zu::value::ItemCount;
using zu::value::Items;

namespace zu::data {
namespace {

// The variable that address argument k refers to; null after the error.
ZuVALUE* AddressArg(ZuVALUE* pv, int k) {
    if (value::IsAddress(&pv[k]) && Items(&pv[k]) != nullptr) return Items(&pv[k]);
    ZuLibArgTypeError(k, ZU_ARRAY | ZU_FLAG_ADR, pv[k].t);
    return nullptr;
}

// The elements of a matrix argument in row order.
std::vector<double> Elements(ZuVALUE* v) {
    std::vector<double> out;
    double** m = ZuValGetMat(v);
    const int r = ZuValGetMatr(v);
    const int c = ZuValGetMatc(v);
    for (int i = 0; m != nullptr && i < r; ++i) out.insert(out.end(), m[i], m[i] + c);
    return out;
}

// A whole number that fits an int, else `fallback`.
int WholeOr(double d, int fallback) {
    return std::isfinite(d) && d == std::floor(d) && std::fabs(d) < 1e9 ? static_cast<int>(d) : fallback;
}

// Row t is complete when every selected column, at its lag, is there.
bool RowComplete(double** m, int t, const std::vector<int>& columns, const std::vector<int>& lags) {
    for (std::size_t k = 0; k < columns.size(); ++k) {
        const int at = t - lags[k];
        if (at < 0 || std::isnan(m[at][columns[k]])) return false;
    }
    return true;
}

void StoreRowVector(ZuVALUE* target, const std::vector<double>& values) {
    ZuLibValMatMalloc(target, 1, static_cast<int>(values.size()));
    double** m = ZuValGetMat(target);
    for (std::size_t j = 0; m != nullptr && j < values.size(); ++j) m[0][j] = values[j];
}

}  // namespace

/// findsample(data, columns, lags, start, end, mode, &first, &last)
/// Finds the rows of the matrix data at which the chosen columns have no missing values: columns is a vector
/// of column indices (from 0; -1 or an empty matrix: all columns), lags a vector of lags beside it or one lag
/// for all (a column at lag k needs row t-k, which must exist). Only the rows from start to end are searched
/// (end -1: the last row). mode 0 gives in first and last the first and the last complete row; mode 1 the
/// first complete row and the end of the run of complete rows that it starts.
/// Returns the number of rows from first to last, or 0 (first and last -1) when no row is complete. A column
/// index outside data or a negative lag is an argument error.
/// Example:
///     decl first, last, x = <1,.NaN;2,3;3,4;.NaN,5;5,6>;
///     println(findsample(x, -1, 0, 0, -1, 0, &first, &last), ": ", first, " to ", last);
///     println(findsample(x, -1, 0, 0, -1, 1, &first, &last), ": ", first, " to ", last);
///     println(findsample(x, <0>, <1>, 0, -1, 1, &first, &last), ": ", first, " to ", last);
void FnFindsample(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_MATRIX, pv, 0, 2) == 0 || ZuLibCheckType(ZU_INT, pv, 3, 5) == 0) return;
    ZuVALUE* first = AddressArg(pv, 6);
    ZuVALUE* last = first == nullptr ? nullptr : AddressArg(pv, 7);
    if (last == nullptr) return;
    double** m = ZuValGetMat(&pv[0]);
    const int rows = ZuValGetMatr(&pv[0]);
    const int width = ZuValGetMatc(&pv[0]);
    std::vector<int> columns;
    for (double d : Elements(&pv[1])) {
        const int c = WholeOr(d, -2);
        if (c == -1) break;
        if (c < 0 || c >= width) {
            ZuLibArgError(1);
            return;
        }
        columns.push_back(c);
    }
    if (columns.empty())
        for (int c = 0; c < width; ++c) columns.push_back(c);
    const std::vector<double> given = Elements(&pv[2]);
    std::vector<int> lags(columns.size(), 0);
    for (std::size_t k = 0; k < lags.size(); ++k) {
        const double d = given.empty() ? 0 : given.size() == 1 ? given[0] : k < given.size() ? given[k] : 0;
        lags[k] = WholeOr(d, -1);
        if (lags[k] < 0) {
            ZuLibArgError(2);
            return;
        }
    }
    const int start = std::max(IntOf(&pv[3]), 0);
    const int endGiven = IntOf(&pv[4]);
    const int end = endGiven < 0 || endGiven >= rows ? rows - 1 : endGiven;
    const bool runOnly = IntOf(&pv[5]) == 1;
    int from = -1;
    int to = -1;
    for (int t = start; m != nullptr && t <= end; ++t) {
        const bool complete = RowComplete(m, t, columns, lags);
        if (complete && from < 0) from = t;
        if (complete) to = t;
        if (!complete && from >= 0 && runOnly) break;
    }
    ZuValSetInt(first, from);
    ZuValSetInt(last, to);
    ZuValSetInt(rtn, from < 0 ? 0 : to - from + 1);
}

/// getgrouplag(names, groups, lags, group, lag1, lag2, &index, &chosen, &chosenLags)
/// Selects model variables by group and lag: of the variables named in the array names, with their group
/// codes and lags in the vectors groups and lags beside it, those of group group whose lag lies from lag1 to
/// lag2 (lag2 -1: any lag from lag1 on). index receives their positions (from 0) as a row vector, chosen
/// their names as an array and chosenLags their lags as a row vector. Vectors groups or lags of another
/// length than names are an argument error.
/// Returns how many variables were selected.
/// Example:
///     decl index, chosen, lags;
///     println(getgrouplag({"y", "y", "x", "x", "z"}, <0,0,1,1,1>, <0,1,0,1,2>, 1, 1, -1, &index, &chosen, &lags));
///     print(index, chosen, lags);
void FnGetgrouplag(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (ZuLibCheckType(ZU_ARRAY, pv, 0, 0) == 0 || ZuLibCheckType(ZU_MATRIX, pv, 1, 2) == 0 ||
        ZuLibCheckType(ZU_INT, pv, 3, 5) == 0)
        return;
    ZuVALUE* out[3];
    for (int k = 0; k < 3; ++k)
        if ((out[k] = AddressArg(pv, 6 + k)) == nullptr) return;
    const int n = ItemCount(&pv[0]);
    const std::vector<double> groups = Elements(&pv[1]);
    const std::vector<double> lags = Elements(&pv[2]);
    if (static_cast<int>(groups.size()) != n) return (void)ZuLibArgError(1);
    if (static_cast<int>(lags.size()) != n) return (void)ZuLibArgError(2);
    const int group = IntOf(&pv[3]);
    const int lag1 = IntOf(&pv[4]);
    const int lag2 = IntOf(&pv[5]);
    std::vector<double> index;
    std::vector<double> chosenLags;
    std::vector<std::string> chosen;
    for (int k = 0; k < n; ++k) {
        const int lag = WholeOr(lags[static_cast<std::size_t>(k)], -1);
        if (WholeOr(groups[static_cast<std::size_t>(k)], -1) != group || lag < lag1 || (lag2 >= 0 && lag > lag2))
            continue;
        const ZuVALUE* name = &Items(&pv[0])[k];
        index.push_back(k);
        chosenLags.push_back(lag);
        chosen.emplace_back(value::TypeCode(name) == ZU_STRING ? std::string{stdlib::StringChars(*name)} : "");
    }
    StoreRowVector(out[0], index);
    ZuLibValArrayCalloc(out[1], static_cast<int>(chosen.size()));
    for (std::size_t k = 0; k < chosen.size() && value::TypeCode(out[1]) == ZU_ARRAY; ++k)
        ZuValSetString(&Items(out[1])[k], chosen[k].c_str());
    StoreRowVector(out[2], chosenLags);
    ZuValSetInt(rtn, static_cast<int>(index.size()));
}

}  // namespace zu::data
