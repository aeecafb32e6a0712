#include "program/local_names.h"

#include <algorithm>

namespace zu::program {

void LocalNames::declare(int slot, std::string_view name, int from) {
    if (slot < 0) return;
    const auto s = static_cast<std::size_t>(slot);
    if (slot_ends_.size() <= s) slot_ends_.resize(s + 1, 0);
    // An earlier block that used the slot ends where this range may start.
    from = std::max(from, slot_ends_[s]);
    open_.push_back(ranges_.size());
    ranges_.push_back({slot, from, -1, std::string(name)});
}

void LocalNames::end(int firstSlot, int at) {
    // A block's locals have higher slots than the ones still open around
    // it, so they are the last opened.
    while (!open_.empty() && ranges_[open_.back()].slot >= firstSlot) {
        Range& r = ranges_[open_.back()];
        r.to = at;
        auto& slotEnd = slot_ends_[static_cast<std::size_t>(r.slot)];
        slotEnd = std::max(slotEnd, at);
        open_.pop_back();
    }
}

void LocalNames::dropFrom(int address) {
    std::erase_if(ranges_, [address](const Range& r) { return r.from >= address; });
    open_.clear();
    std::fill(slot_ends_.begin(), slot_ends_.end(), 0);
    for (std::size_t i = 0; i < ranges_.size(); ++i) {
        Range& r = ranges_[i];
        if (r.to > address) r.to = -1;
        if (r.to < 0)
            open_.push_back(i);
        else
            slot_ends_[static_cast<std::size_t>(r.slot)] = std::max(slot_ends_[static_cast<std::size_t>(r.slot)], r.to);
    }
}

void LocalNames::clear() {
    ranges_.clear();
    open_.clear();
    slot_ends_.clear();
}

const char* LocalNames::find(int slot, int address) const {
    // Slots are reused by later blocks and functions: the range declared
    // last that covers the address is the innermost.
    for (auto r = ranges_.rbegin(); r != ranges_.rend(); ++r)
        if (r->slot == slot && r->from <= address && (r->to < 0 || address < r->to)) return r->name.c_str();
    return nullptr;
}

}  // namespace zu::program
