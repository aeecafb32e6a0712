// The registration lists of the two Gauss tables.  The names carry the
// namespace "gauss::" of the mode; a name is absent until its routine is
// written, so a program calling it fails to link.
#include "gauss/registration.h"

#include <array>

namespace zu::gauss {
namespace {

constexpr std::array<LibraryFunction, 0> kGaussStdLib{};
constexpr std::array<LibraryFunction, 0> kGaussStdIOLib{};

void Register(std::span<const LibraryFunction> list)
{
    for (const LibraryFunction& f : list)
        (void)FZuLibAddFunction(f.declaration, f.routine, f.atLeast ? 1 : 0);
}

}  // namespace

std::span<const LibraryFunction> GaussStdLibList() { return kGaussStdLib; }
std::span<const LibraryFunction> GaussStdIOLibList() { return kGaussStdIOLib; }

}  // namespace zu::gauss

using namespace zu::gauss;

extern "C" {
void ZuAddGaussStdLib(void) { Register(GaussStdLibList()); }
void ZuAddGaussStdIOLib(void)
{
    Register(GaussStdIOLibList());
    Register(GaussPrintList());
}
}
