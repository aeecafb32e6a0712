// The current drawing of the library functions and their argument helpers.
#include "draw/library_args.h"

#include <memory>

namespace zu::draw::library {
namespace {

struct DrawingCloser {
    void operator()(Drawing* d) const { DrawingClose(d); }
};

struct State {
    std::unique_ptr<Drawing, DrawingCloser> drawing;
    bool shown = false;  // the next drawing function starts a new drawing
    std::string windowName;
};

State& state() {
    static State s;
    return s;
}

bool Present(ZuVALUE* pv, int cArg, int k) { return k < cArg && pv != nullptr; }

}  // namespace

Drawing* Current() {
    State& s = state();
    if (s.shown) {
        s.drawing.reset();
        s.shown = false;
    }
    if (!s.drawing) {
        s.drawing.reset(DrawingOpen());
        if (!s.drawing) {
            OutOfMemory();
            return nullptr;
        }
    }
    GDIsetSheet(s.drawing->sheet);
    return s.drawing.get();
}

Drawing* Existing() { return state().drawing.get(); }

void CloseCurrent() {
    state().drawing.reset();
    state().shown = false;
}

void MarkShown() { state().shown = true; }

const std::string& WindowName() { return state().windowName; }
void SetWindowName(std::string name) { state().windowName = std::move(name); }

bool IntOr(ZuVALUE* pv, int cArg, int k, int fallback, int* out) {
    if (!Present(pv, cArg, k)) {
        *out = fallback;
        return true;
    }
    if (ZuLibCheckType(ZU_INT, pv, k, k) == 0) return false;
    *out = ZuValGetInt(&pv[k], out) ? *out : fallback;
    return true;
}

bool DoubleOr(ZuVALUE* pv, int cArg, int k, double fallback, double* out) {
    if (!Present(pv, cArg, k)) {
        *out = fallback;
        return true;
    }
    if (ZuLibCheckType(ZU_DOUBLE, pv, k, k) == 0) return false;
    if (!ZuValGetDouble(&pv[k], out)) *out = fallback;
    return true;
}

bool StringArg(ZuVALUE* pv, int k, std::string* out) {
    if (ZuLibCheckType(ZU_STRING, pv, k, k) == 0) return false;
    const char* s = ZuValGetString(&pv[k]);
    const int n = ZuValGetStringLen(&pv[k]);
    out->assign(s != nullptr ? s : "", s != nullptr && n > 0 ? static_cast<std::size_t>(n) : 0);
    return true;
}

bool StringOr(ZuVALUE* pv, int cArg, int k, std::string* out) {
    out->clear();
    if (!Present(pv, cArg, k)) return true;
    if (ZuValType(&pv[k]) == ZU_INT) return true;  // 0: no text
    return StringArg(pv, k, out);
}

bool AreaArg(ZuVALUE* pv, int k, int* out) {
    if (ZuLibCheckType(ZU_INT, pv, k, k) == 0) return false;
    ZuValGetInt(&pv[k], out);
    if (*out < 0 || *out >= kAreaCount) {
        ZuLibArgError(k);
        return false;
    }
    return true;
}

bool SeriesArg(ZuVALUE* pv, int k, Series* out) {
    if (ZuLibCheckType(ZU_MATRIX, pv, k, k) == 0) return false;
    const int r = ZuValGetMatr(&pv[k]), c = ZuValGetMatc(&pv[k]);
    double** m = ZuValGetMat(&pv[k]);
    const bool column = c == 1 && r > 1;
    out->rows = column ? 1 : r;
    out->columns = column ? r : c;
    out->values.clear();
    if (r < 1 || c < 1 || m == nullptr) {
        out->rows = out->columns = 0;
        return true;
    }
    out->values.reserve(static_cast<std::size_t>(r) * static_cast<std::size_t>(c));
    for (int i = 0; i < r; ++i)
        for (int j = 0; j < c; ++j) out->values.push_back(m[i][j]);
    return true;
}

bool VectorArg(ZuVALUE* pv, int k, std::vector<double>* out) {
    Series s;
    if (!SeriesArg(pv, k, &s)) return false;
    *out = std::move(s.values);
    return true;
}

bool LabelsArg(ZuVALUE* pv, int cArg, int k, std::vector<std::string>* out) {
    out->clear();
    if (!Present(pv, cArg, k)) return true;
    ZuVALUE* v = &pv[k];
    const int type = ZuValType(v);
    if (type == ZU_INT || type == ZU_DOUBLE) return true;
    if (type == ZU_STRING) {
        std::string s;
        if (!StringArg(pv, k, &s)) return false;
        out->push_back(std::move(s));
        return true;
    }
    if (type != ZU_ARRAY) {
        std::string ignored;
        return StringArg(pv, k, &ignored) && false;  // the type error
    }
    const int n = ZuValGetArrayLen(v);
    for (int i = 0; i < n; ++i) {
        ZuVALUE* e = ZuValGetArrayVal(v, i);
        const char* s = e != nullptr && ZuValType(e) == ZU_STRING ? ZuValGetString(e) : nullptr;
        out->emplace_back(s != nullptr ? std::string(s, static_cast<std::size_t>(std::max(ZuValGetStringLen(e), 0)))
                                       : std::string());
    }
    return true;
}

void OutOfMemory() { ZuRunError(4, nullptr); }

bool Built(int position) {
    if (position >= 0) return true;
    OutOfMemory();
    return false;
}

}  // namespace zu::draw::library
