/// @family Gauss compatibility
// Character elements as strings: Gauss keeps a short text (a name of at
// most 8 characters) in the 8 bytes of a double, as "let" and "{ }" make
// them from unquoted names.
#include "gauss/routines.h"

#include "stdlib/value_printer.h"
#include "value/value.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace zu::gauss {
namespace {

// The text of a character element: its bytes up to the first NUL.
std::string elementText(double x) {
    char bytes[sizeof(double) + 1] = {};
    std::memcpy(bytes, &x, sizeof(double));
    return std::string(bytes);
}

// A text as a character element: its first 8 bytes, NUL-filled.
double textElement(std::string_view text) {
    char bytes[sizeof(double)] = {};
    std::memcpy(bytes, text.data(), std::min(text.size(), sizeof(double)));
    double x = 0;
    std::memcpy(&x, bytes, sizeof(double));
    return x;
}

}  // namespace

/// gauss::__elements__(texts)
/// The support library's conversion of texts to character elements: an array of strings as a column of
/// character elements (each text cut to its first 8 characters and kept in the 8 bytes of a double), one
/// string as one element, an empty array as 0. Any other argument, or an array holding a value that is not
/// a string, is an argument error. Programs write `let` or `{ }` with unquoted names instead.
/// Example:
///     x = __elements__("wage");
///     print $x;
void FnGaussElements(ZuVALUE* rtn, ZuVALUE* pv, int) {
    if (value::TypeCode(&pv[0]) == ZU_STRING) {
        ZuValSetDouble(rtn, textElement(stdlib::StringChars(pv[0])));
        return;
    }
    if (value::TypeCode(&pv[0]) != ZU_ARRAY) {
        ZuLibArgError(0);
        return;
    }
    const int n = value::ItemCount(&pv[0]);
    for (int i = 0; i < n; ++i)
        if (value::TypeCode(&value::Items(&pv[0])[i]) != ZU_STRING) {
            ZuLibArgError(0);
            return;
        }
    if (n == 0) {
        ZuValSetInt(rtn, 0);
        return;
    }
    ZuLibValMatMalloc(rtn, n, 1);
    for (int i = 0; i < n; ++i) value::MatrixData(rtn)[i][0] = textElement(stdlib::StringChars(value::Items(&pv[0])[i]));
}

/// gauss::__chars__(x)
/// The support library's conversion of character elements to texts: the elements of x (a matrix, row by
/// row, or one number) as an array of strings, each the element's bytes up to the first NUL; a string
/// becomes an array of itself and an array is returned as it is.
/// Example:
///     let names = id wage;
///     t = __chars__(names);
///     print t[2];
void FnGaussChars(ZuVALUE* rtn, ZuVALUE* pv, int) {
    std::vector<std::string> texts;
    switch (value::TypeCode(&pv[0])) {
    case ZU_DOUBLE: texts.push_back(elementText(pv[0].w1.d)); break;
    case ZU_MATRIX: {
        const int r = value::Rows(&pv[0]), c = value::Columns(&pv[0]);
        double** m = value::MatrixData(&pv[0]);
        for (int i = 0; i < r; ++i)
            for (int j = 0; j < c; ++j) texts.push_back(elementText(m[i][j]));
        break;
    }
    case ZU_STRING: texts.emplace_back(stdlib::StringChars(pv[0])); break;
    case ZU_ARRAY:
        *rtn = pv[0];
        rtn->t &= ~(ZU_FLAG_VAL | ZU_FLAG_GLO | ZU_FLAG_CON | ZU_FLAG_STA | ZU_FLAG_ARG);
        ZuMakeByValue(rtn);
        return;
    default: ZuLibArgError(0); return;
    }
    ZuLibValArrayCalloc(rtn, static_cast<int>(texts.size()));
    for (std::size_t i = 0; i < texts.size(); ++i) ZuValSetString(&value::Items(rtn)[i], texts[i].c_str());
}

}  // namespace zu::gauss
