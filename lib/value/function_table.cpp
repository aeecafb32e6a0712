// The internal-function table.
//
// Declarations look like "cc$acf": one `c` (or blank) for each argument,
// a `$` and the name.  The table keeps its own copy of each declaration;
// linked symbols point at that copy, so a copy that is replaced by a later
// registration is kept (retired) until the table is freed.
#include "value/function_table.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "value/heap.h"
#include "value/link_error.h"

namespace zu::value {
namespace {

using OwnedText = std::unique_ptr<char, HeapDeleter>;

struct Slot {
    OwnedText declaration;
    FunctionEntry entry;
    std::string_view name;  // into `declaration`
};

struct Table {
    Table() {  // inserting never reallocates
        slots.reserve(kMaxFunctions);
        order.reserve(kMaxFunctions);
    }
    std::vector<Slot> slots;         // in registration order
    std::vector<int> order;          // positions in slots, sorted by name byte by byte;
                                     // an insertion moves these ints, not the slots
    std::vector<OwnedText> retired;  // replaced declarations
};

Table& TheTable() {
    static Table table;
    return table;
}

const char* runningName = "";

// Where the name is, or would go, in the sorted order.
std::vector<int>::iterator Place(std::string_view name) {
    Table& table = TheTable();
    return std::lower_bound(table.order.begin(), table.order.end(), name, [&table](int i, std::string_view n) {
        return table.slots[static_cast<std::size_t>(i)].name < n;
    });
}

// The slot at a position of the sorted order.
Slot& SlotAt(std::vector<int>::iterator at) { return TheTable().slots[static_cast<std::size_t>(*at)]; }

}  // namespace

const FunctionEntry* FindFunction(std::string_view name) {
    auto at = Place(name);
    if (at == TheTable().order.end() || SlotAt(at).name != name) return nullptr;
    return &SlotAt(at).entry;
}

int FunctionCount() { return static_cast<int>(TheTable().slots.size()); }

const FunctionEntry& FunctionAt(int i) {
    Table& table = TheTable();
    return table.slots.at(static_cast<std::size_t>(table.order.at(static_cast<std::size_t>(i)))).entry;
}

void SetRunningFunction(const char* name) { runningName = name == nullptr ? "" : name; }

std::string_view DeclarationName(const char* declaration) {
    const std::string_view text = declaration == nullptr ? std::string_view{} : std::string_view{declaration};
    const std::size_t dollar = text.find('$');
    return dollar == std::string_view::npos ? text : text.substr(dollar + 1);
}

}  // namespace zu::value

using zu::value::LinkError;
using zu::value::ReportLinkError;

extern "C" int FZuLibAddFunction(const char* declaration, ZuLIBFUNC routine, int atLeast) {
    const char* text = declaration == nullptr ? "" : declaration;
    int n = 0;
    while (text[n] == 'c' || text[n] == ' ') ++n;
    if (atLeast != 0 && n == 0) {
        ReportLinkError(LinkError::kArgumentBeforeEllipsis, text);
        return 0;
    }
    if (text[n] != '$') {
        ReportLinkError(LinkError::kDollarExpected, text);
        return 0;
    }
    auto& table = zu::value::TheTable();
    const std::string_view name{text + n + 1};
    auto at = zu::value::Place(name);
    const bool replace = at != table.order.end() && zu::value::SlotAt(at).name == name;
    if (!replace && table.slots.size() >= zu::value::kMaxFunctions) {
        ReportLinkError(LinkError::kTooManyFunctions, text);
        return 0;
    }
    zu::value::OwnedText copy{StrDupPlain(text)};
    if (!copy) {
        ReportLinkError(LinkError::kOutOfMemory, text);
        return 0;
    }
    const zu::value::FunctionEntry entry{copy.get(), routine, atLeast != 0 ? -n : n};
    const std::string_view storedName{copy.get() + n + 1};
    if (replace) {
        zu::value::Slot& slot = zu::value::SlotAt(at);
        table.retired.push_back(std::move(slot.declaration));
        slot = zu::value::Slot{std::move(copy), entry, storedName};
    } else {
        table.order.insert(at, static_cast<int>(table.slots.size()));
        table.slots.push_back(zu::value::Slot{std::move(copy), entry, storedName});
    }
    return 1;
}

extern "C" int FZuLibIsIntFunction(const char* name) {
    return name != nullptr && zu::value::FindFunction(name) != nullptr ? 1 : 0;
}

extern "C" void ZuLibFreeFunctions(void) {
    auto& table = zu::value::TheTable();
    table.slots.clear();
    table.order.clear();
    table.retired.clear();
    zu::value::SetRunningFunction(nullptr);
}

extern "C" const char* SZuIntFunc(void) { return zu::value::runningName; }

namespace zu::value {

void RegisterFunctions(std::span<const LibraryFunction> list) {
    for (const LibraryFunction& f : list) (void)FZuLibAddFunction(f.declaration, f.routine, f.atLeast ? 1 : 0);
}

}  // namespace zu::value
