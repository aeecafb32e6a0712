// The printing entries of the Gauss input/output table.
#include "gauss/registration.h"

#include <array>

namespace zu::gauss {
namespace {

constexpr std::array<LibraryFunction, 0> kPrint{};

}  // namespace

std::span<const LibraryFunction> GaussPrintList() { return kPrint; }

}  // namespace zu::gauss
