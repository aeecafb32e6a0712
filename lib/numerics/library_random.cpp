// Library functions over the uniform generator, the polar normal and the
// seed: ranu, rann and ranseed.
#include <cmath>
#include <climits>

#include "numerics/dense.h"
#include "numerics/library.h"
#include "numerics/library_support.h"
#include "value/value.h"

using zu::value::DoubleOf;
using zu::value::IntOf;
using zu::value::ItemCount;
using zu::value::Items;
using zu::value::MatrixData;
using zu::value::StringLength;
using zu::value::StringText;

namespace zu::numerics {
namespace {

// A seed element of an array: an int as it is, a double truncated (and
// held inside the int range), anything else leaves the word alone.
void TakeSeedWord(const ZuVALUE& element, int* word) {
    if (value::IsNul(&element)) return;
    if (value::TypeCode(&element) == ZU_INT) {
        *word = IntOf(&element);
    } else if (value::TypeCode(&element) == ZU_DOUBLE) {
        const double d = DoubleOf(&element);
        if (std::isnan(d)) return;
        *word = d <= INT_MIN ? INT_MIN : d >= INT_MAX ? INT_MAX : static_cast<int>(d);
    }
}

// The current seed words; false after the out-of-memory report.
bool CurrentSeed(ScratchOf<int>* seed, int* count) {
    *count = RanGetSeed(nullptr, 0);
    if (*count < 1) *count = 1;
    if (!seed->Allocate(static_cast<std::size_t>(*count))) {
        library::OutOfMemory();
        return false;
    }
    *count = RanGetSeed(seed->data(), *count);
    return true;
}

// The seed as the result: an int for a generator of one word, else an
// array of its words.
void SeedResult(ZuVALUE* rtn) {
    ScratchOf<int> seed;
    int count = 0;
    if (!CurrentSeed(&seed, &count)) return;
    if (count == 1) {
        ZuValSetInt(rtn, seed.data()[0]);
        return;
    }
    ZuLibValArrayCalloc(rtn, count);
    if (value::TypeCode(rtn) != ZU_ARRAY) return;
    for (int i = 0; i < count; ++i) ZuValSetInt(&Items(rtn)[i], seed.data()[i]);
}

void SeedFromArray(const ZuVALUE& array) {
    ScratchOf<int> seed;
    int count = 0;
    if (!CurrentSeed(&seed, &count)) return;
    const int n = ItemCount(&array) < count ? ItemCount(&array) : count;
    for (int i = 0; i < n; ++i) TakeSeedWord(Items(&array)[i], &seed.data()[i]);
    RanSetSeed(seed.data(), count);
}

}  // namespace

void FnRanu(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    const int r = IntOf(&pv[0]), c = IntOf(&pv[1]);
    if (library::ResultMatrix(rtn, r, c) && r >= 1 && c >= 1) MatRan(MatrixData(rtn), r, c);
}

void FnRann(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    const int r = IntOf(&pv[0]), c = IntOf(&pv[1]);
    if (r == 1 && c == 1) {
        ZuValSetDouble(rtn, DRanNormalPM());
        return;
    }
    if (library::ResultMatrix(rtn, r, c) && r >= 1 && c >= 1) MatRann(MatrixData(rtn), r, c);
}

void FnRanseed(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    ZuVALUE* x = &pv[0];
    const int code = value::TypeCode(x);
    if (code == ZU_STRING && !value::IsNul(x)) {
        RanSetRan(StringText(x) != nullptr ? StringText(x) : "");
    } else if (code == ZU_ARRAY && !value::IsNul(x) && !value::IsAddress(x)) {
        SeedFromArray(*x);
    } else {
        if (ZuLibCheckType(ZU_INT, pv, 0, 0) == 0) return;
        const int seed = StringLength(x);
        if (seed == -1)
            RanSetSeed(nullptr, 0);
        else if (seed != 0)
            RanSetSeed(&seed, 1);
    }
    SeedResult(rtn);
}

}  // namespace zu::numerics
