// Library functions over the uniform generator, the polar normal and the
// seed: ranu, rann and ranseed.
/// @family Random numbers

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

/// ranu(r, c)
/// An r by c matrix of uniform draws on (0, 1) from the current generator (see `ranseed`), filled row by row.
/// Example:
///     ranseed(123456);
///     print(ranu(2, 3));
void FnRanu(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    const int r = IntOf(&pv[0]), c = IntOf(&pv[1]);
    if (library::ResultMatrix(rtn, r, c) && r >= 1 && c >= 1) MatRan(MatrixData(rtn), r, c);
}

/// rann(r, c)
/// An r by c matrix of standard normal draws by the polar method; `rann(1, 1)` returns a double, not a 1 by 1
/// matrix. The polar method makes normals in pairs: the second of a pair is kept for the next call, so two
/// scalar calls give the two values of one pair.
/// Example:
///     ranseed(123456);
///     print(rann(2, 2));
///     println(rann(1, 1));
///     decl x = rann(10000, 1);
///     println("mean ", double(meanc(x)), ", variance ", double(varc(x)));
void FnRann(ZuVALUE* rtn, ZuVALUE* pv, int /*cArg*/) {
    if (ZuLibCheckType(ZU_INT, pv, 0, 1) == 0) return;
    const int r = IntOf(&pv[0]), c = IntOf(&pv[1]);
    if (r == 1 && c == 1) {
        ZuValSetDouble(rtn, DRanNormalPM());
        return;
    }
    if (library::ResultMatrix(rtn, r, c) && r >= 1 && c >= 1) MatRann(MatrixData(rtn), r, c);
}

/// ranseed(seed)
/// Chooses or seeds the uniform generator that every random function draws from. A string selects the
/// generator: "GM" (multiply-with-carry, two seed words), "LE" (combined Tausworthe, four words), any other
/// text the default "PM" (Park-Miller, one word); each keeps its own state when another is selected. An int
/// seed: 0 changes nothing (reads the seed), -1 restores the generator's initial state, any other value seeds
/// it (PM adds 2147483647 to a negative seed; LE takes a single word only above 127). An array of ints sets
/// the seed words in order.
/// Returns the current seed: an int for PM, an array of ints for GM and LE.
/// Example:
///     println(ranseed(0));
///     ranseed(5);
///     println(ranu(1, 2));
///     ranseed(5);
///     println(ranu(1, 2));
///     println(ranseed("GM"), " ", ranseed(-1));
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
