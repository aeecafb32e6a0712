#include "data/database.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <memory>

#include "zu.h"

namespace zu::data {
namespace {

struct Registry {
    std::unique_ptr<Database> slots[kMaxDatabases];
    Database* current = nullptr;
};

Registry& Databases() {
    static Registry registry;
    return registry;
}

__attribute__((format(printf, 2, 0))) void Report(void (*pop)(const char*), const char* format, va_list args) {
    char text[1024];
    std::vsnprintf(text, sizeof text, format, args);
    pop(text);
}

}  // namespace

void DataError(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Report(PopErrorMessage, format, args);
    va_end(args);
}

void DataWarning(const char* format, ...) {
    va_list args;
    va_start(args, format);
    Report(PopWarningMessage, format, args);
    va_end(args);
}

Database* DbCreate(const std::string& name, int vars) {
    Registry& r = Databases();
    if (DbFind(name) != nullptr) {
        DataError("Database with this name already exists");
        return nullptr;
    }
    for (auto& slot : r.slots) {
        if (slot) continue;
        slot = std::make_unique<Database>();
        slot->name = name;
        slot->capacity = (vars < 0 ? 0 : vars > kMaxVariablesAsked ? kMaxVariablesAsked : vars) + kDatabaseSpare;
        r.current = slot.get();
        return slot.get();
    }
    DataError("Cannot create database");
    return nullptr;
}

void DbDelete(Database* db) {
    Registry& r = Databases();
    for (auto& slot : r.slots) {
        if (slot.get() != db || db == nullptr) continue;
        slot.reset();
        if (r.current == db) r.current = nullptr;
        return;
    }
}

Database* DbFind(const std::string& name) {
    for (auto& slot : Databases().slots)
        if (slot && slot->name == name) return slot.get();
    return nullptr;
}

Database* DbGetDefault() { return Databases().current; }

void DbSetDefault(Database* db) {
    Registry& r = Databases();
    r.current = nullptr;
    for (auto& slot : r.slots)
        if (slot.get() == db && db != nullptr) r.current = db;
}

int IDbCount() {
    int n = 0;
    for (auto& slot : Databases().slots) n += slot ? 1 : 0;
    return n;
}

bool FDbSetSample(Database& db, const Sample& s) {
    if (!FIsValidSample(s)) {
        DataError("Invalid sample %d(%d) - %d(%d) with frequency %d", s.year1, s.period1, s.year2, s.period2, s.freq);
        return false;
    }
    const long long n = ISampleCount(s);
    const long long vars = static_cast<long long>(db.vars.size());
    if (n > kMaxObservations || n * (vars < 1 ? 1 : vars) > kMaxCells) {
        DataError("Sample of %lld observations is too large", n);
        return false;
    }
    db.sample = s;
    db.observations = n;
    for (Variable& v : db.vars) v.values.resize(static_cast<std::size_t>(n), std::nan(""));
    return true;
}

int IDbFindVar(const Database& db, const std::string& name) {
    if (db.positions.size() == db.vars.size()) {
        const auto at = db.positions.find(name);
        if (at == db.positions.end()) return -1;
        if (db.vars[static_cast<std::size_t>(at->second)].name == name) return at->second;
    }
    // The variables changed behind the index: look at each.
    for (std::size_t i = 0; i < db.vars.size(); ++i)
        if (db.vars[i].name == name) return static_cast<int>(i);
    return -1;
}

int IDbAddVar(Database& db, const std::string& name) {
    const int found = IDbFindVar(db, name);
    if (found >= 0) return found;
    return IDbAppendVar(db, name);
}

int IDbAppendVar(Database& db, const std::string& name) {
    const long long vars = static_cast<long long>(db.vars.size()) + 1;
    if (vars > db.capacity || vars * db.observations > kMaxCells) return -1;
    Variable v;
    v.name = name;
    v.values.assign(static_cast<std::size_t>(db.observations), std::nan(""));
    db.vars.push_back(std::move(v));
    const int index = static_cast<int>(db.vars.size()) - 1;
    db.positions.emplace(name, index);
    return index;
}

int DbGetFirst(const Database& db) { return db.vars.empty() ? -1 : 0; }

int DbGetNext(const Database& db, int index) { return index + 1 < static_cast<int>(db.vars.size()) ? index + 1 : -1; }

bool FVarSpan(const Variable& v, long long& first, long long& last) {
    const long long n = static_cast<long long>(v.values.size());
    first = 0;
    while (first < n && std::isnan(v.values[first])) ++first;
    if (first == n) return false;
    last = n - 1;
    while (std::isnan(v.values[last])) --last;
    return true;
}

}  // namespace zu::data
