// The operator codes of the OPR instruction and their arity, generated
// from operators.def.
#pragma once

#include "program/tokens.h"

#include <array>
#include <cstdint>

namespace zu::program {


namespace opr {
enum : std::int32_t {
#define ZU_OPERATOR(name, code, arity) name = code,
#include "program/operators.def"
};
}  // namespace opr

// Arity by operator code; -1 for a code that is no operator.
inline constexpr std::array<std::int8_t, kTokenCodeLimit> kOperatorArity = [] {
    std::array<std::int8_t, kTokenCodeLimit> table{};
    table.fill(-1);
#define ZU_OPERATOR(name, code, arity) table[code] = arity;
#include "program/operators.def"
    return table;
}();

// The arity of an OPR operand, or -1 when it names no operator.
constexpr int operatorArity(std::int32_t code) {
    if (code < 0 || code >= kTokenCodeLimit) return -1;
    return kOperatorArity[static_cast<std::size_t>(code)];
}

// Arity by code of every OPR operand the run loop carries out: the
// operators above and those of the ZuGauss mode; -1 for any other code.
inline constexpr std::array<std::int8_t, kTokenCodeLimit> kRunnableArity = [] {
    std::array<std::int8_t, kTokenCodeLimit> table{};
    table.fill(-1);
#define ZU_OPERATOR(name, code, arity)       table[code] = arity;
#define ZU_OTHER_OPERATOR(name, code, arity) table[code] = arity;
#include "program/operators.def"
    return table;
}();

constexpr int runnableArity(std::int32_t code) {
    if (code < 0 || code >= kTokenCodeLimit) return -1;
    return kRunnableArity[static_cast<std::size_t>(code)];
}

}  // namespace zu::program
