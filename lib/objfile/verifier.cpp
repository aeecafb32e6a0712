// Walks each function's code along every path, keeping the stack depth
// (entries above the frame entry) and which entries hold a return address
// made by LIP.  The effect of each instruction is the run loop's: see
// program/opcodes.def and run/run_loop.cpp.
#include "objfile/verifier.h"

#include "objfile/objfile.h"
#include "program/code_buffer.h"
#include "program/operators.h"
#include "program/pcode.h"
#include "program/symbols.h"
#include "value/link_error.h"

#include <algorithm>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <utility>

namespace zu::objfile {
namespace {

using program::code;
using program::Op;

// Deeper than any compiled function needs; the run loop checks the real
// stack size as it goes.
constexpr int kMaxDepth = 1 << 16;

bool isFastFunction(int c) {
    switch (c) {
#define ZU_FAST_NUMERIC(number, name, errorName, Routine, OnInt) case number:
#define ZU_FAST_SIZE(number, name, Query)                        case number:
#define ZU_FAST_GAUSS(number, Name)                              case number:
#include "program/fast_functions.def"
        return true;
    default: return false;
    }
}

// The forms of NTP that take one or two dimensions off the stack.
int newTypeOperands(int form) {
    if (form == 3 || form == 512) return 2;
    if (form == 8 || form == 4 || form == 5) return 1;
    return 0;
}

// Entries known to hold an address made by a LIP: (entry, target), sorted.
// An entry may hold one of several targets: a subroutine reached by gosubs
// from several places returns to any of them.
using Returns = std::vector<std::pair<int, int>>;

// Where paths meet, an entry keeps its return addresses only when it holds
// one on every path; the targets of both paths are then all possible.
Returns mergeReturns(const Returns& a, const Returns& b) {
    Returns merged;
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(merged));
    auto holds = [](const Returns& r, int entry) {
        return std::any_of(r.begin(), r.end(), [entry](const auto& p) { return p.first == entry; });
    };
    std::erase_if(merged, [&](const auto& p) { return !holds(a, p.first) || !holds(b, p.first); });
    merged.erase(std::unique(merged.begin(), merged.end()), merged.end());
    return merged;
}

// What is known where an instruction starts, the same along every path.
struct State {
    int depth = 0;    // entries above the frame entry
    Returns returns;  // entries holding a LIP address on every path here
};

// What one instruction (or "&" with the load it applies to) does.
struct Step {
    int need = 0;            // entries it works on
    int change = 0;          // depth after minus depth before
    int length = 1;          // instructions it covers
    bool next = true;        // goes on to the following instruction
    int jump = -1;           // a further successor
    int alsoWrites = -1;     // an entry below those it works on (a local)
    bool clearsAll = false;  // may write any entry of the frame
    int returnEntry = -1;    // JST: the entry whose LIP targets follow
};

// A function's code is what its walk reaches from the entry.  The bodies
// of other functions may lie between its parts (a Gauss procedure inside
// the main code is jumped over), so the walk may go anywhere in the code
// except into another function's entry.
class FunctionWalk {
public:
    FunctionWalk(std::span<const ZuPCODE> code, const CodeEntry& entry, const std::vector<int>& entries)
        : code_(code), entry_(entry), entries_(entries) {}

    std::optional<CodeFault> run() {
        if (!reach(entry_.address, 0, {})) return fault_;
        while (!pending_.empty()) {
            const int at = pending_.front();
            pending_.pop_front();
            if (!visit(at)) return fault_;
        }
        return std::nullopt;
    }

private:
    State& state(int at) { return states_[at]; }
    bool inside(long long at) const {
        if (at < 0 || at >= static_cast<long long>(code_.size())) return false;
        return at == entry_.address || !std::binary_search(entries_.begin(), entries_.end(), static_cast<int>(at));
    }

    bool fail(int at, std::string reason) {
        fault_ = CodeFault{entry_.name, at, at - entry_.address, std::move(reason)};
        return false;
    }

    // Merges the state arriving at `at`; a depth that differs from an
    // earlier arrival is a fault.
    bool reach(int at, int depth, Returns returns, int from = -1) {
        if (!inside(at)) return fail(from < 0 ? at : from, "leaves the function");
        const bool fresh = !states_.contains(at);
        State& s = state(at);
        if (fresh) {
            s.depth = depth;
            s.returns = std::move(returns);
            pending_.push_back(at);
            return true;
        }
        if (s.depth != depth) return fail(at, "stack depth differs where paths meet");
        Returns kept = mergeReturns(s.returns, returns);
        if (kept != s.returns) {
            s.returns = std::move(kept);
            pending_.push_back(at);
        }
        return true;
    }

    bool argument(int at, int n) {
        if (n < 0 || n >= entry_.arguments) return fail(at, "argument outside the frame");
        return true;
    }
    // A local, or any entry below the one an instruction replaces.
    bool local(int at, int n, int depth) {
        if (n < 0 || n >= depth) return fail(at, "local outside the frame");
        return true;
    }

    // The effect of "&" applied to the load at `at` + 1.
    bool addressStep(int at, int depth, Step& step) {
        if (!inside(static_cast<long long>(at) + 1)) return fail(at, "address of nothing");
        const ZuPCODE load = code_[static_cast<std::size_t>(at + 1)];
        step.length = 2;
        switch (static_cast<Op>(load.op)) {
        case Op::PAP: step.change = 1; return argument(at, load.arg);
        case Op::PBP: step.change = 1; return local(at, load.arg, depth);
        case Op::LAP: step.need = 1; return argument(at, load.arg);
        case Op::LBP: step.need = 1; return local(at, load.arg, depth - 1);
        case Op::LOD:
        case Op::LMP: step.need = 1; return true;
        case Op::XLD:
        case Op::XGL:
            step.need = 2;
            step.change = -1;
            return true;
        default: return fail(at, "address of no variable");
        }
    }

    bool stepOf(int at, const ZuPCODE& ins, int depth, const Returns& returns, Step& step) {
        const int arg = ins.arg;
        switch (static_cast<Op>(ins.op)) {
        case Op::EXT:
            // Leaves the run loop (the prompt's main ends so).
            step.next = false;
            return true;
        case Op::NUM:
        case Op::ELF:
        case Op::ELT: return true;
        case Op::POP:
            step.need = 1;
            step.change = -1;
            return true;
        case Op::PSH: step.change = 1; return true;
        case Op::PAP: step.change = 1; return argument(at, arg);
        case Op::PBP: step.change = 1; return local(at, arg, depth);
        case Op::LAP:
        case Op::SAP: step.need = 1; return argument(at, arg);
        case Op::LBP: step.need = 1; return local(at, arg, depth - 1);
        case Op::SBP:
            step.need = 1;
            step.alsoWrites = arg;
            return local(at, arg, depth - 1);
        case Op::LOD:
        case Op::STO:
        case Op::LIT:
        case Op::LTI:
        case Op::LTD:
        case Op::NEW:
        case Op::LMP:
        case Op::XMV:
        case Op::FNI:
            step.need = 1;
            if (ins.op == code(Op::FNI) && !isFastFunction(arg)) return fail(at, "no such fast function");
            return true;
        case Op::XRS:
            // Makes the variable loaded before it a matrix: any entry.
            step.need = 1;
            step.clearsAll = true;
            return true;
        case Op::INT:
            if (arg > 0) {
                if (arg > kMaxDepth) return fail(at, "too many locals");
                step.change = arg;
            }
            return true;
        case Op::DUP:
            if (arg >= 1) {
                if (arg > kMaxDepth) return fail(at, "count outside the frame");
                step.need = arg;
                step.change = arg;
            }
            return true;
        case Op::EXC: step.need = 2; return true;
        case Op::CAL:
            if (arg < 0 || arg > kMaxDepth) return fail(at, "argument count outside the frame");
            step.need = arg + 1;
            step.change = -arg;
            return true;
        case Op::CAM:
            if (arg < 0 || arg > kMaxDepth) return fail(at, "argument count outside the frame");
            step.need = arg + 3;
            step.change = -(arg + 2);
            return true;
        case Op::MFU:
            step.need = 3;
            step.change = -2;
            return true;
        case Op::SMP:
        case Op::XLD:
        case Op::XGL:
            step.need = 2;
            step.change = -1;
            return true;
        case Op::XST:
        case Op::XGS:
            step.need = 3;
            step.change = -2;
            return true;
        case Op::NTP: {
            const int n = newTypeOperands(arg);
            step.need = n + (n ? 1 : 0);
            step.change = -n;
            return true;
        }
        case Op::JMP:
            step.next = false;
            step.jump = arg;
            return true;
        case Op::JMF:
        case Op::JMT:
            step.need = 1;
            step.jump = arg;
            return true;
        case Op::RET:
            step.need = arg == 1 ? 1 : 0;
            step.next = false;
            return true;
        case Op::LIP: {
            step.need = 1;
            const long long target = static_cast<long long>(at) + arg;
            if (!inside(target)) return fail(at, "return address outside the function");
            return true;
        }
        case Op::JST: {
            step.next = false;
            const long long entry = static_cast<long long>(depth) - 1 + arg;
            if (arg > 0 || entry < 0) return fail(at, "return address outside the frame");
            auto found = std::find_if(returns.begin(), returns.end(),
                                      [&](const auto& r) { return r.first == static_cast<int>(entry); });
            if (found == returns.end()) return fail(at, "jump to an address LIP did not make");
            // visit() goes on at every target the entry may hold.
            step.returnEntry = static_cast<int>(entry);
            return true;
        }
        case Op::OPR: return operatorStep(at, arg, depth, step);
        }
        return fail(at, "no such instruction");
    }

    bool operatorStep(int at, int opr, int depth, Step& step) {
        namespace op = program::opr;
        switch (opr) {
        case op::Address: return addressStep(at, depth, step);
        case op::Destruct:
            // Fills the four entries below the one it works on.
            step.need = 5;
            return true;
        default: break;
        }
        const int arity = program::runnableArity(opr);
        if (arity < 0) return fail(at, "no such operator");
        if (arity == 0) {
            step.change = 1;
        } else {
            step.need = arity;
            step.change = 1 - arity;
        }
        return true;
    }

    bool visit(int at) {
        const int depth = state(at).depth;
        const ZuPCODE ins = code_[static_cast<std::size_t>(at)];
        Step step;
        if (!stepOf(at, ins, depth, state(at).returns, step)) return false;
        if (depth < step.need) return fail(at, "stack below the frame");
        const int after = depth + step.change;
        if (after > kMaxDepth) return fail(at, "stack too deep");

        // Entries written lose what LIP put there; LIP marks its own.
        Returns returns = state(at).returns;
        const int lowest = step.clearsAll ? 0 : depth - step.need;
        std::erase_if(returns, [&](const auto& r) {
            return r.first >= lowest || r.first >= after || r.first == step.alsoWrites;
        });
        if (ins.op == code(Op::LIP)) {
            returns.emplace_back(depth - 1, static_cast<int>(static_cast<long long>(at) + ins.arg));
            std::sort(returns.begin(), returns.end());
        }
        if (step.returnEntry >= 0) {
            const Returns here = state(at).returns;  // reach() may change it
            for (const auto& [entry, target] : here)
                if (entry == step.returnEntry && !reach(target, after, returns, at)) return false;
            return true;
        }

        if (step.jump >= 0 || ins.op == code(Op::JMP) || ins.op == code(Op::JMF) || ins.op == code(Op::JMT)) {
            if (!inside(step.jump)) return fail(at, "jump outside the function");
            if (!reach(step.jump, after, returns, at)) return false;
        }
        if (step.next && !reach(at + step.length, after, std::move(returns), at)) return false;
        return true;
    }

    std::span<const ZuPCODE> code_;
    const CodeEntry& entry_;
    const std::vector<int>& entries_;
    std::unordered_map<int, State> states_;
    std::deque<int> pending_;
    std::optional<CodeFault> fault_;
};

void addEntry(std::vector<CodeEntry>& out, const char* name, const ZuVALUE& f) {
    if ((f.t & ZU_TYPE_MASK) != ZU_FUNCTION || (f.t & ZU_FLAG_EXT)) return;
    const int declared = f.w1.i;
    const int guaranteed = declared == INT32_MIN ? 0 : (declared < 0 ? -declared : declared);
    out.push_back({f.w2.i, guaranteed, name ? (name[0] == '@' ? name + 1 : name) : "?"});
}

}  // namespace

std::optional<CodeFault> VerifyCode(std::span<const ZuPCODE> code, std::vector<CodeEntry> entries) {
    const int size = static_cast<int>(code.size());
    std::erase_if(entries, [&](const CodeEntry& e) { return e.address < 0 || e.address >= size; });
    // One walk per address, with the fewest arguments any name promises.
    std::sort(entries.begin(), entries.end(), [](const CodeEntry& a, const CodeEntry& b) {
        return a.address != b.address ? a.address < b.address : a.arguments < b.arguments;
    });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const CodeEntry& a, const CodeEntry& b) { return a.address == b.address; }),
                  entries.end());
    std::vector<int> addresses;
    for (const CodeEntry& e : entries) addresses.push_back(e.address);
    for (const CodeEntry& e : entries)
        if (auto fault = FunctionWalk(code, e, addresses).run()) return fault;
    return std::nullopt;
}

void AddEntries(std::vector<CodeEntry>& entries, const ZuNAMEDVALUE& symbol) {
    const ZuVALUE& v = symbol.val;
    addEntry(entries, symbol.name, v);
    if ((v.t & ZU_TYPE_MASK) != ZU_CLASS) return;
    for (int i = 0; v.w5.nv && v.w5.nv[i].name; ++i) addEntry(entries, v.w5.nv[i].name, v.w5.nv[i].val);
}

std::vector<CodeEntry> StagedEntries(const StagedProgram& stage) {
    std::vector<CodeEntry> entries;
    for (const StagedSymbol& s : stage.symbols) AddEntries(entries, s.record);
    return entries;
}

bool VerifyProgram() {
    std::vector<CodeEntry> entries;
    auto& symbols = program::symbolTable();
    for (int g = 0; g < symbols.count(); ++g) AddEntries(entries, symbols[g]);
    const std::span<const ZuPCODE> code = program::codeBuffer().code();
    const auto fault = VerifyCode(code, std::move(entries));
    if (!fault) return true;
    const std::string text = "compiled code: " + DescribeFault(*fault, code);
    value::ReportLinkError(value::LinkError::kInvalidCode, text.c_str());
    return false;
}

std::string DescribeFault(const CodeFault& fault, std::span<const ZuPCODE> code) {
    std::string text = "function " + fault.function + ", instruction " + std::to_string(fault.offset);
    if (fault.address >= 0 && static_cast<std::size_t>(fault.address) < code.size()) {
        const ZuPCODE& ins = code[static_cast<std::size_t>(fault.address)];
        text += " (" + std::string(program::mnemonic(ins.op)) + " " + std::to_string(ins.arg) + ")";
    }
    return text + ": " + fault.reason;
}

}  // namespace zu::objfile
