// The registration lists of the two Gauss tables.  The names carry the
// namespace "gauss::" of the mode; a name is absent until its routine is
// written, so a program calling it fails to link.
#include "gauss/registration.h"

#include "gauss/routines.h"

namespace zu::gauss {
namespace {

constexpr LibraryFunction kGaussStdLib[] = {
    {"$gauss::hsec", FnGaussHsec, false},
};

constexpr LibraryFunction kGaussStdIOLib[] = {
    {"ccc$gauss::format", FnGaussFormat, false},
    {"c$gauss::outwidth", FnGaussOutwidth, false},
    {"c$gauss::print", FnGaussPrint, true},
    {"c$gauss::println", FnGaussPrintln, true},
};

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
void ZuAddGaussStdIOLib(void) { Register(GaussStdIOLibList()); }
}
