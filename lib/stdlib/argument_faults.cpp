#include "stdlib/argument_faults.h"

#include "value/value.h"

namespace zu::stdlib {

bool ArgumentFault(int n, const std::string& text, int code) {
    const std::string message = std::string{SZuIntFunc()} + "(): " + text + " in argument " + std::to_string(n + 1);
    ZuRunMessage(message.c_str());
    ZuRunError(code, nullptr);
    return false;
}

std::string Counted(int n, const std::string& plural) {
    return std::to_string(n) + " " + (n == 1 ? plural.substr(0, plural.size() - 1) : plural);
}

bool MatrixArg(ZuVALUE* pv, int k) { return ZuLibCheckType(ZU_MATRIX, pv, k, k) != 0; }

bool IntArg(ZuVALUE* pv, int k, int* out) {
    if (ZuLibCheckType(ZU_INT, pv, k, k) == 0) return false;
    *out = value::IntOf(&pv[k]);
    return true;
}

}  // namespace zu::stdlib
