// Objects and classes at run time.
//
// A class definition is a global whose value (type class) holds the number
// of data members (w1), the base class index (w2), a pointer to its own
// global record (w3), the data member table (w4; static members keep their
// values here) and the member function table (w5, ended by a null name).
// An object has the same w1 to w3 and its own member table in w4; members
// with the static flag live in the class's table at the same position.
#include "run/objects.h"

#include "run/calls.h"
#include "run/indexing.h"
#include "run/machine.h"
#include "run/run_errors.h"
#include "value/cast.h"
#include "value/heap.h"

#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace zu::run {
namespace {

// ---- classes, members and their lookup -------------------------------------

// The member tables of the objects alive: several variables may refer to
// one object, so only delete (or the end of the engine) frees a table.
std::unordered_map<ZuNAMEDVALUE*, int> liveObjects;  // table -> member count
// The tables that "new" has given their one owner.
std::unordered_set<ZuNAMEDVALUE*> ownedObjects;

const ZuNAMEDVALUE* ClassRecord(const ZuVALUE* v) { return static_cast<const ZuNAMEDVALUE*>(v->w3.p); }

bool IsObject(const ZuVALUE* v) { return (v->t & (ZU_TYPE_MASK | ZU_FLAG_NUL)) == ZU_CLASS && v->w3.p && v->w4.nv; }

// The class definition of a global index, or null.
const ZuVALUE* ClassAt(int index) {
    if (index < 0 || index >= vm.globalCount) return nullptr;
    const ZuVALUE* c = &vm.globals[index].val;
    return (c->t & ZU_TYPE_MASK) == ZU_CLASS ? c : nullptr;
}

const ZuVALUE* ClassOf(const ZuVALUE* object) {
    const ZuNAMEDVALUE* record = ClassRecord(object);
    return record ? &record->val : nullptr;
}

std::string_view SimpleName(const char* name) {
    std::string_view s = name ? name : "";
    std::size_t colons = s.rfind("::");
    return colons == std::string_view::npos ? s : s.substr(colons + 2);
}

// The member function of that name in one class's own table, or null.
ZuVALUE* OwnMemberFunction(const ZuVALUE* c, std::string_view name, int* position = nullptr) {
    for (int i = 0; c->w5.nv && c->w5.nv[i].name; ++i)
        if (name == c->w5.nv[i].name) {
            if (position) *position = i;
            return &c->w5.nv[i].val;
        }
    return nullptr;
}

// Looked up in the class and then along its bases; the walk is bounded by
// the number of globals, so a damaged base chain cannot loop.
ZuVALUE* FindMemberFunction(const ZuVALUE* c, std::string_view name) {
    for (int steps = 0; c && steps <= vm.globalCount; ++steps) {
        if (ZuVALUE* f = OwnMemberFunction(c, name)) return f;
        c = ClassAt(c->w2.i);
    }
    return nullptr;
}

bool DerivesFrom(const ZuVALUE* c, const ZuNAMEDVALUE* base) {
    for (int steps = 0; c && steps <= vm.globalCount; ++steps) {
        if (ClassRecord(c) == base) return true;
        c = ClassAt(c->w2.i);
    }
    return false;
}

// The entry of member m: the object's own, or the class's for a static one.
ZuVALUE* MemberEntry(ZuVALUE* object, int m) {
    if (!IsObject(object)) Raise(Err::ObjectRequired);
    if (m < 0 || m >= object->w1.i) Raise(Err::UndeclaredMember);
    ZuNAMEDVALUE& own = object->w4.nv[m];
    if (!(own.val.t & ZU_FLAG_STA)) return &own.val;
    ZuVALUE* shared = StaticMember(object, m);
    if (!shared) Raise(Err::InvalidClass);
    return shared;
}

void SetInt(ZuVALUE* v, int i, int flags = 0) {
    FreeIfOwned(v);
    *v = ZuVALUE{};
    v->t = ZU_INT | flags;
    v->w1.i = i;
}

// Resolves the member function for CAM and MFU: o the object entry, m the
// designator, f the class value.  Null when the designator says there is
// none (int without value).
const ZuVALUE* ResolveMember(ZuVALUE* o, ZuVALUE* m, ZuVALUE* f) {
    int type = m->t & ZU_TYPE_MASK;
    if (type == ZU_INT && (m->t & ZU_FLAG_NUL)) return nullptr;
    if (type == ZU_INT) {
        if (!IsObject(o)) Raise(Err::ObjectRequired);
        const ZuNAMEDVALUE* cls = (f->t & ZU_TYPE_MASK) == ZU_CLASS ? ClassRecord(f) : nullptr;
        if (!cls || !DerivesFrom(ClassOf(o), cls)) Raise(Err::InvalidClass, cls && cls->name ? cls->name : nullptr);
        int count = 0;
        while (f->w5.nv && f->w5.nv[count].name) ++count;
        if (m->w1.i < 0 || m->w1.i >= count) Raise(Err::UndeclaredMember);
        return &f->w5.nv[m->w1.i].val;
    }
    if (type == ZU_STRING && !(m->t & ZU_FLAG_NUL)) {
        const char* name = m->w2.s ? m->w2.s : "";
        if (!IsObject(o)) Raise(Err::ObjectRequired, name);
        const ZuVALUE* fn = FindMemberFunction(ClassOf(o), name);
        if (!fn) Raise(Err::UndeclaredMember, name);
        if (fn->t & ZU_FLAG_EXT) Raise(Err::UndefinedMember, name);
        return fn;
    }
    Raise(Err::NotAFunction);
}

// ---- binding, building and freeing objects ---------------------------------

// A bound member function: the function value with its object's words.
void BindTo(ZuVALUE* out, const ZuVALUE* function, const ZuVALUE* object) {
    void* record = value::HeapAlloc(value::kBoundRecordSize);
    if (!record) Raise(Err::OutOfMemory);
    std::memcpy(record, &object->w1, value::kBoundRecordSize);
    ZuVALUE bound;
    RefCopy(&bound, function);
    bound.t |= ZU_FLAG_MEM | ZU_FLAG_VAL;
    bound.w4.p = record;
    FreeIfOwned(out);
    *out = bound;
}

void FreeObjectMembers(ZuVALUE* object) {
    liveObjects.erase(object->w4.nv);
    ownedObjects.erase(object->w4.nv);
    for (int k = 0; k < object->w1.i; ++k) {
        ZuNAMEDVALUE& member = object->w4.nv[k];
        if (!(member.val.t & ZU_FLAG_STA)) ZuFreeByValue(&member.val);
        value::HeapFree(member.name);
    }
    value::HeapFree(object->w4.nv);
    object->w4.nv = nullptr;
}

// The class that declared member m of class c: the oldest base that has
// member m (base members come first in every member table).
const ZuVALUE* DeclaringClass(const ZuVALUE* c, int m) {
    for (int steps = 0; c && steps <= vm.globalCount; ++steps) {
        const ZuVALUE* base = ClassAt(c->w2.i);
        if (!base || base->w1.i <= m) break;
        c = base;
    }
    return c;
}

// A new object of a class definition: a member table with a copy of each
// member's name, the static flag (as the declaring class has it) and no
// value yet.
bool BuildObject(ZuVALUE* out, const ZuVALUE* c) {
    int n = c->w1.i > 0 ? c->w1.i : 0;
    auto* members =
        static_cast<ZuNAMEDVALUE*>(value::HeapCalloc(static_cast<std::size_t>(n ? n : 1), sizeof(ZuNAMEDVALUE)));
    if (!members) return false;
    for (int k = 0; k < n; ++k) {
        const ZuNAMEDVALUE& from = c->w4.nv[k];
        members[k].name = StrDupPlain(from.name ? from.name : "");
        const ZuVALUE* owner = DeclaringClass(c, k);
        int flags = owner && owner->w4.nv ? owner->w4.nv[k].val.t : from.val.t;
        members[k].val.t = ZU_INT | ZU_FLAG_NUL | (flags & ZU_FLAG_STA);
        if (!members[k].name) {
            ZuVALUE partial{};
            partial.w1.i = k;
            partial.w4.nv = members;
            FreeObjectMembers(&partial);
            return false;
        }
    }
    try {
        liveObjects.emplace(members, n);
    } catch (const std::bad_alloc&) {
        ZuVALUE partial{};
        partial.w1.i = n;
        partial.w4.nv = members;
        FreeObjectMembers(&partial);
        return false;
    }
    *out = ZuVALUE{};
    out->t = ZU_CLASS;
    out->w1.i = n;
    out->w2.i = c->w2.i;
    out->w3.p = c->w3.p;
    out->w4.nv = members;
    return true;
}

// The member function named "~" and the class name, in the class itself.
ZuVALUE* Destructor(const ZuVALUE* object, int* position) {
    const ZuVALUE* c = ClassOf(object);
    if (!c) return nullptr;
    std::string name = "~" + std::string(SimpleName(ClassRecord(object)->name));
    return OwnMemberFunction(c, name, position);
}

}  // namespace

ZuVALUE* StaticMember(const ZuVALUE* object, int m) {
    const ZuVALUE* c = DeclaringClass(ClassOf(object), m);
    if (!c || !c->w4.nv || m < 0 || m >= c->w1.i) return nullptr;
    return &c->w4.nv[m].val;
}

// ---- the instructions NEW, LMP, SMP, CAM, MFU and delete -------------------

void NewObject(ZuVALUE* top, int g) {
    const ZuVALUE* c = ClassAt(g);
    if (!c || ClassRecord(c) != &vm.globals[g]) Raise(Err::ClassExpected, vm.globals[g].name);
    ZuVALUE object{};
    if (!BuildObject(&object, c)) Raise(Err::OutOfMemory, "new class");
    FreeIfOwned(top);
    *top = object;
}

void LoadMember(ZuVALUE* top, int m) {
    ZuVALUE* member = MemberEntry(top, m);
    if (member->t & ZU_FLAG_NUL) Raise(Err::NoValue, top->w4.nv[m].name);
    ZuVALUE copy;
    RefCopy(&copy, member);
    copy.t &= ~ZU_FLAG_STA;
    FreeIfOwned(top);
    *top = copy;
}

ZuVALUE* StoreMember(ZuVALUE* sp, int m) {
    ZuVALUE* object = sp - 1;
    ZuVALUE* member = MemberEntry(object, m);
    int keep = member->t & ZU_FLAG_STA;
    ZuRunDoAssignment(member, sp);
    member->t = (member->t & ~ZU_FLAG_STA) | keep;
    ZuVALUE value = *sp;
    value.t &= ~ZU_FLAG_VAL;
    FreeIfOwned(object);
    *object = value;
    *sp = ZuVALUE{};
    return object;
}

void CallMember(int n) {
    ZuVALUE* o = vm.sp - n - 2;
    ZuVALUE* m = o + 1;
    ZuVALUE* f = o + 2;
    if (o < vm.base) Raise(Err::NotAFunction);
    const ZuVALUE* fn = ResolveMember(o, m, f);
    if (!fn) {
        // No such function (no constructor, no destructor): the object
        // stays, designator and class go, the arguments too.
        PopTo(o);
        return;
    }
    ZuVALUE object = *o;
    ZuVALUE function;
    RefCopy(&function, fn);
    FreeIfOwned(m);
    *o = function;
    *m = object;
    DoCall(n + 2);
}

void BindMember() {
    ZuVALUE* o = vm.sp - 2;
    ZuVALUE* m = o + 1;
    ZuVALUE* f = o + 2;
    if (o < vm.base) Raise(Err::NotAFunction);
    const ZuVALUE* fn = ResolveMember(o, m, f);
    if (!fn) Raise(Err::UndeclaredMember);
    ZuVALUE object = *o;
    if (!IsObject(&object)) Raise(Err::ObjectRequired);
    ZuVALUE bound{};
    BindTo(&bound, fn, &object);
    PopTo(o);
    // The object entry gives way to the bound function; an object owns
    // nothing that a reference would lose.
    *o = bound;
}

void PrepareDestructor(ZuVALUE* sp) {
    ZuVALUE* address = sp - 4;
    ZuVALUE* target = (address->t & (ZU_TYPE_MASK | ZU_FLAG_ADR)) == (ZU_ARRAY | ZU_FLAG_ADR) ? address->w2.v : nullptr;
    int position = -1;
    if (target && IsObject(target) && Destructor(target, &position)) {
        const ZuNAMEDVALUE* cls = ClassRecord(target);
        RefCopy(sp - 3, target);
        RefCopy(sp - 2, target);
        SetInt(sp - 1, position);
        FreeIfOwned(sp);
        RefCopy(sp, &cls->val);
        return;
    }
    SetInt(sp - 1, 0, ZU_FLAG_NUL);
}

ZuVALUE* DeleteVariable(ZuVALUE* sp) {
    ZuVALUE* address = sp - 2;
    ZuVALUE* v = (address->t & (ZU_TYPE_MASK | ZU_FLAG_ADR)) == (ZU_ARRAY | ZU_FLAG_ADR) ? address->w2.v : nullptr;
    if (v && !(v->t & ZU_FLAG_NUL)) {
        if (v->t & ZU_FLAG_CON) Raise(Err::DeleteConstant);
        switch (v->t & ZU_TYPE_MASK) {
        case ZU_INT:
        case ZU_DOUBLE: break;
        case ZU_CLASS:
            if (v->w4.nv) FreeObjectMembers(v);
            v->t |= ZU_FLAG_NUL;
            break;
        default:
            if (v->t & (ZU_FLAG_VAL | kVectorList)) FreeVariable(v);
            v->t |= ZU_FLAG_NUL;
            break;
        }
    }
    FreeIfOwned(sp);
    FreeIfOwned(sp - 1);
    SetInt(address, 0);
    return address;
}

// Only an object that NEW has just made gets an owner, and only once: a
// class definition, a copy of an object that has its owner or any other
// value would be freed twice.
void MarkOwned(ZuVALUE* top) {
    const bool fresh = IsObject(top) && liveObjects.contains(top->w4.nv) && !ownedObjects.contains(top->w4.nv);
    if (!fresh) Raise(Err::InvalidClass, "new");
    ownedObjects.insert(top->w4.nv);
    top->t |= ZU_FLAG_VAL;
}

void ReleaseLiveObjects() {
    std::unordered_map<ZuNAMEDVALUE*, int> tables;
    tables.swap(liveObjects);
    for (auto [table, count] : tables) {
        ZuVALUE object{};
        object.t = ZU_CLASS;
        object.w1.i = count;
        object.w4.nv = table;
        FreeObjectMembers(&object);
    }
}

}  // namespace zu::run

using namespace zu::run;

// ---- the exported object functions for hosts and library code --------------

extern "C" {

int FZuCreateObject(const char* className, ZuVALUE* object, ZuVALUE* argv, int argc) {
    if (!className || !object || !vm.base) return 0;
    RefreshTables();
    ZuNAMEDVALUE* record = ZuSymFindClass(className);
    if (!record) return 0;
    ZuVALUE built{};
    if (!BuildObject(&built, &record->val)) return 0;
    built.t |= ZU_FLAG_VAL;
    *object = built;
    ZuVALUE* ctor = OwnMemberFunction(&record->val, SimpleName(record->name));
    if (!ctor) return 1;
    if (ctor->t & ZU_FLAG_EXT) return 0;
    int ok = 0;
    Guarded([&] {
        ZuVALUE bound{};
        BindTo(&bound, ctor, object);
        ZuVALUE result{};
        ok = FZuRunCallBack(&bound, &result, argv, argc, 1);
        FreeIfOwned(&result);
        FreeIfOwned(&bound);
    });
    return ok;
}

int FZuCallBackMember(ZuVALUE* object, const char* name, ZuVALUE* result, ZuVALUE* argv, int argc) {
    if (!object || !name || !result || !vm.base || !IsObject(object)) return 0;
    RefreshTables();
    ZuVALUE* fn = FindMemberFunction(ClassOf(object), name);
    if (!fn || (fn->t & ZU_FLAG_EXT)) return 0;
    int ok = 0;
    Guarded([&] {
        ZuVALUE bound{};
        BindTo(&bound, fn, object);
        ok = FZuRunCallBack(&bound, result, argv, argc, 1);
        FreeIfOwned(&bound);
    });
    return ok;
}

void ZuDeleteObject(ZuVALUE* object) {
    if (!object || !IsObject(object)) return;
    RefreshTables();
    if (Destructor(object, nullptr)) {
        std::string name = "~" + std::string(SimpleName(ClassRecord(object)->name));
        ZuVALUE result{};
        FZuCallBackMember(object, name.c_str(), &result, nullptr, 0);
        FreeIfOwned(&result);
    }
    FreeObjectMembers(object);
    *object = ZuVALUE{};
    object->t = ZU_INT;
}

// The member entry of a name, searched from the last member to the first;
// a static member resolves to the class's table.
static ZuVALUE* NamedMember(ZuVALUE* object, const char* name) {
    if (!object || !name || !IsObject(object)) return nullptr;
    for (int k = object->w1.i - 1; k >= 0; --k) {
        ZuNAMEDVALUE& member = object->w4.nv[k];
        if (!member.name || std::strcmp(member.name, name) != 0) continue;
        if (!(member.val.t & ZU_FLAG_STA)) return &member.val;
        return StaticMember(object, k);
    }
    return nullptr;
}

int FZuGetDataMember(ZuVALUE* object, const char* name, ZuVALUE* value) {
    ZuVALUE* member = NamedMember(object, name);
    if (!member || !value) return 0;
    *value = *member;
    value->t &= ~(ZU_FLAG_VAL | ZU_FLAG_STA);
    return 1;
}

int FZuSetDataMember(ZuVALUE* object, const char* name, ZuVALUE* value) {
    ZuVALUE* member = NamedMember(object, name);
    if (!member || !value) return 0;
    int ok = 0;
    Guarded([&] {
        int keep = member->t & ZU_FLAG_STA;
        ZuRunDoAssignment(member, value);
        member->t = (member->t & ~ZU_FLAG_STA) | keep;
        ok = 1;
    });
    return ok;
}

}  // extern "C"
