// The define table: 256 slots of name and optional value, kept packed
// (removing a define moves the later ones down).
#include <new>
#include <string>

#include "compiler/scanner.h"

namespace zu::compiler {
namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (LowerChar(static_cast<unsigned char>(a[i])) != LowerChar(static_cast<unsigned char>(b[i]))) return false;
    return true;
}

int FindSlot(std::string_view name) {
    const ScanState& s = Scan();
    for (int i = 0; i < s.defineCount; ++i)
        if (s.defines[static_cast<std::size_t>(i)].name == name) return i;
    if (!s.gauss) return -1;
    // Names defined case-insensitively are stored as "$name".
    for (int i = 0; i < s.defineCount; ++i) {
        std::string_view stored = s.defines[static_cast<std::size_t>(i)].name;
        if (stored.size() > 1 && stored[0] == '$' && EqualNoCase(stored.substr(1), name)) return i;
    }
    return -1;
}

void RecomputeHasValue() {
    ScanState& s = Scan();
    s.defineHasValue = false;
    for (int i = 0; i < s.defineCount; ++i)
        if (s.defines[static_cast<std::size_t>(i)].value) s.defineHasValue = true;
}

void DefineOne(std::string_view name, std::optional<std::string_view> value, bool caseInsensitive) {
    ScanState& s = Scan();
    std::string stored;
    if (caseInsensitive) {
        stored.push_back('$');
        for (char c : name) stored.push_back(static_cast<char>(LowerChar(c)));
    } else {
        stored.assign(name);
    }
    int slot = -1;
    for (int i = 0; i < s.defineCount && slot < 0; ++i)
        if (s.defines[static_cast<std::size_t>(i)].name == stored) slot = i;
    if (slot < 0) {
        if (s.defineCount >= kDefineSlots) {
            Report(ScanMessage::TooManyDefines, name);
            return;
        }
        slot = s.defineCount++;
        DefineSlot& fresh = s.defines[static_cast<std::size_t>(slot)];
        fresh.name = std::move(stored);
        fresh.value.reset();
    }
    if (!value) return;
    DefineSlot& d = s.defines[static_cast<std::size_t>(slot)];
    if (!d.value)
        d.value.emplace(*value);
    else if (*d.value != *value)
        Report(ScanMessage::DefinedDifferently, name);
    s.defineHasValue = true;
}

}  // namespace

const DefineSlot* FindDefine(std::string_view name) {
    int slot = FindSlot(name);
    return slot < 0 ? nullptr : &Scan().defines[static_cast<std::size_t>(slot)];
}

void DefineName(std::string_view name, std::optional<std::string_view> value, bool caseInsensitive) {
    try {
        DefineOne(name, value, caseInsensitive);
    } catch (const std::bad_alloc&) {
        Report(ScanMessage::OutOfMemory);
    }
}

void DefineNames(std::string_view names, std::optional<std::string_view> value, bool caseInsensitive) {
    while (!names.empty()) {
        std::size_t plus = names.find('+');
        std::string_view name = names.substr(0, plus);
        if (!name.empty()) DefineName(name, value, caseInsensitive);
        if (plus == std::string_view::npos) break;
        names.remove_prefix(plus + 1);
    }
}

void RemoveDefine(std::string_view name) {
    ScanState& s = Scan();
    int slot = FindSlot(name);
    if (slot < 0) return;
    for (int i = slot; i + 1 < s.defineCount; ++i)
        s.defines[static_cast<std::size_t>(i)] = std::move(s.defines[static_cast<std::size_t>(i + 1)]);
    --s.defineCount;
    s.defines[static_cast<std::size_t>(s.defineCount)] = DefineSlot{};
    RecomputeHasValue();
}

void TruncateDefines(int count) {
    ScanState& s = Scan();
    if (count < 0) count = 0;
    while (s.defineCount > count) s.defines[static_cast<std::size_t>(--s.defineCount)] = DefineSlot{};
    RecomputeHasValue();
}

}  // namespace zu::compiler
