// The hash index of the symbol table's names.
#include "program/symbol_index.h"

namespace zu::program {

void NameIndex::clear() {
    newest_.clear();
    older_.clear();
}

bool NameIndex::add(std::string_view name, int index) {
    if (index < 0) return false;
    const auto at = static_cast<std::size_t>(index);
    if (at >= older_.size()) older_.resize(at + 1, -1);
    auto [slot, added] = newest_.try_emplace(std::string(name), index);
    if (added) {
        older_[at] = -1;
        return true;
    }
    if (slot->second < index) {
        older_[at] = slot->second;
        slot->second = index;
        return true;
    }
    // Behind newer records of the name (a renamed record): into the chain
    // at its place.
    for (int newer = slot->second; newer != index;) {
        int& link = older_[static_cast<std::size_t>(newer)];
        if (link >= newer) return false;
        if (link < index) {
            older_[at] = link;
            link = index;
            return true;
        }
        newer = link;
    }
    return false;
}

void NameIndex::remove(std::string_view name, int index) {
    const auto slot = newest_.find(name);
    if (slot == newest_.end() || index < 0 || static_cast<std::size_t>(index) >= older_.size()) return;
    int& olderOfIndex = older_[static_cast<std::size_t>(index)];
    if (slot->second == index) {
        // The common case: blocks and functions end from the newest record.
        if (olderOfIndex < 0)
            newest_.erase(slot);
        else
            slot->second = olderOfIndex;
        olderOfIndex = -1;
        return;
    }
    for (int newer = slot->second; newer > index;) {
        int& link = older_[static_cast<std::size_t>(newer)];
        if (link == index) {
            link = olderOfIndex;
            olderOfIndex = -1;
            return;
        }
        if (link >= newer) return;
        newer = link;
    }
}

int NameIndex::newest(std::string_view name) const {
    const auto slot = newest_.find(name);
    return slot == newest_.end() ? -1 : slot->second;
}

int NameIndex::older(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= older_.size()) return -1;
    const int next = older_[static_cast<std::size_t>(index)];
    return next < index ? next : -1;
}

}  // namespace zu::program
