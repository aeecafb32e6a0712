// Every single-instruction change of a few compiled programs' object files
// is refused when the file is read, or runs to a clean end or a run-time
// error: never a crash.  Each mutant that loads runs in a child process
// with a time limit; one that is still running then is run again with live
// statement markers and interrupted, and counts as an endless loop when it
// stops with "user abort", as a hang otherwise.
#include "objfile_fixture.h"
#include "run/machine.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <thread>

namespace zu::test {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// What a child reports through its exit status.
enum ChildExit : int { kCleanEnd = 10, kRunError = 11, kLinkRefused = 12, kUserAbort = 13 };

struct Outcomes {
    int refusedByVerifier = 0, refusedByReader = 0, refusedAtLink = 0;
    int cleanEnd = 0, runError = 0, endlessLoop = 0;
    std::vector<std::string> unmarkedLoops;  // spinning with no live marker to stop at
    std::vector<std::string> crashes, hangs;
};

// The child's view of the messages: which kinds it has seen.
bool g_runError = false, g_linkError = false, g_userAbort = false;

void Watch(const char* text) {
    if (!text) return;
    if (std::strstr(text, "Runtime error")) g_runError = true;
    if (std::strstr(text, "Link error")) g_linkError = true;
    if (std::strstr(text, "user abort")) g_userAbort = true;
}

// As Ctrl-C does: the run loop stops at its next live marker.
extern "C" void Interrupt(int) { run::userInterrupt = 1; }

// How long a child may run, in processor time (the machine may be shared,
// so the wall clock says little): past the limit it is ended by SIGVTALRM;
// when it is to be interrupted it is sent Ctrl-C every 50 ms from then on
// instead, and ended by SIGPROF 400 ms later.
struct Limits {
    int cpuMilliseconds = 200;
    bool interrupt = false;
};

timeval Milliseconds(int ms) { return {ms / 1000, (ms % 1000) * 1000}; }

// Runs zul's main on the arguments in a child, in the folder; its wait
// status, or -1 (the child killed) when it outlives a generous wall-clock
// limit, which only a process that waits for something reaches.
int RunChild(const fs::path& folder, std::vector<std::string> args, Limits limits) {
    const pid_t pid = fork();
    if (pid == 0) {
        // Object files are written to the current folder.
        if (chdir(folder.c_str()) != 0) _exit(1);
        const int null = open("/dev/null", O_RDWR);
        dup2(null, 0);
        dup2(null, 1);
        dup2(null, 2);
        SetZuMessage(Watch);
        SetZuRunMessage(Watch);
        SetZuPuts(Watch);
        const itimerval limit{Milliseconds(limits.interrupt ? 50 : 0), Milliseconds(limits.cpuMilliseconds)};
        if (limits.interrupt) {
            std::signal(SIGVTALRM, Interrupt);
            const itimerval end{{0, 0}, Milliseconds(limits.cpuMilliseconds + 400)};
            setitimer(ITIMER_PROF, &end, nullptr);
        }
        setitimer(ITIMER_VIRTUAL, &limit, nullptr);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        ZuMain(static_cast<int>(argv.size()), argv.data());
        _exit(g_userAbort ? kUserAbort : g_runError ? kRunError : g_linkError ? kLinkRefused : kCleanEnd);
    }
    const auto deadline = Clock::now() + std::chrono::seconds(60);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return status;
}

// Ended for the processor time it took.
bool Spinning(int status) {
    return WIFSIGNALED(status) && (WTERMSIG(status) == SIGVTALRM || WTERMSIG(status) == SIGPROF);
}

class MutationSweep : public ObjfileTest {
protected:
    // The object file of a program, written by zul's -c in a child.
    std::vector<unsigned char> compileWithZul(const std::string& name, const char* text, bool gauss) {
        const std::string source = path(name + (gauss ? ".gss" : ".zu"));
        std::ofstream(source) << text;
        std::vector<std::string> args{"zul", "-b", "-c", source};
        if (gauss) args.insert(args.begin() + 2, "-g");
        const int status = RunChild(dir_, args, Limits{20000, false});
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kCleanEnd) << name << " status " << status;
        return bytesOf(path(name + ".zuo"));
    }

    static std::size_t codeStart(const std::vector<unsigned char>& bytes) {
        const std::string marker = "$zu$pcode";
        auto at = std::search(bytes.begin(), bytes.end(), marker.begin(), marker.end());
        return static_cast<std::size_t>(at - bytes.begin()) + marker.size() + 1 + 4;
    }
    static int codeCount(const std::vector<unsigned char>& bytes) {
        int n = 0;
        std::memcpy(&n, &bytes[codeStart(bytes) - 4], 4);
        return n;
    }

    // The largest INT operand: the deepest frame of the program's locals.
    static int frameSize(const std::vector<unsigned char>& bytes) {
        int most = 0;
        for (int i = 0; i < codeCount(bytes); ++i) {
            const std::size_t at = codeStart(bytes) + 5 * static_cast<std::size_t>(i);
            int arg = 0;
            std::memcpy(&arg, &bytes[at + 1], 4);
            if (bytes[at] == program::code(program::Op::INT)) most = std::max(most, arg);
        }
        return most;
    }

    struct Mutant {
        int instruction;
        int op;
        int arg;
    };

    // Every operand set to the edge values and every opcode swapped for
    // every other, for the instructions from `first` on; a deterministic
    // sample of at most `budget`.
    static std::vector<Mutant> mutantsOf(const std::vector<unsigned char>& bytes, int first, std::size_t budget) {
        std::vector<Mutant> all;
        const int frame = frameSize(bytes);
        for (int i = first; i < codeCount(bytes); ++i) {
            const std::size_t at = codeStart(bytes) + 5 * static_cast<std::size_t>(i);
            const int op = bytes[at];
            int arg = 0;
            std::memcpy(&arg, &bytes[at + 1], 4);
            for (int edge : {0, -1, 1, INT32_MAX, INT32_MIN, frame})
                if (edge != arg) all.push_back({i, op, edge});
            for (int other = 0; other < program::kOpcodeLimit; ++other)
                if (other != op && program::opcodeInfo(other)) all.push_back({i, other, arg});
        }
        if (all.size() > budget) {
            std::mt19937 random(20261208);
            std::shuffle(all.begin(), all.end(), random);
            all.resize(budget);
        }
        return all;
    }

    // Names the mutant; a failing one keeps its file for a look afterwards.
    std::string describe(const std::string& program, const Mutant& m, bool keep = true) const {
        const std::string name = program + "-" + std::to_string(m.instruction) + "-" + program::mnemonic(m.op) + "-" +
                                 std::to_string(m.arg) + ".zuo";
        std::string text = program + " instruction " + std::to_string(m.instruction) + " -> " +
                           program::mnemonic(m.op) + " " + std::to_string(m.arg);
        if (!keep) return text;
        const fs::path kept = fs::temp_directory_path() / ("zu-mutant-" + name);
        std::error_code ignored;
        fs::copy_file(dir_ / "mutant.zuo", kept, fs::copy_options::overwrite_existing, ignored);
        return text + " (kept as " + kept.string() + ")";
    }

    void sweep(const std::string& program, const std::vector<unsigned char>& good, int first, std::size_t budget,
               bool gauss, Outcomes& out) {
        const std::string file = path("mutant.zuo");
        {
            // The program itself passes (Gauss code with gosub and end included).
            writeBytes("mutant.zuo", good);
            messages().clear();
            objfile::StagedProgram stage;
            std::FILE* f = std::fopen(file.c_str(), "rb");
            EXPECT_TRUE(objfile::ReadObjectFile(f, file.c_str(), stage))
                << program << ": " << (messages().empty() ? "" : messages().back());
            std::fclose(f);
        }
        for (const Mutant& m : mutantsOf(good, first, budget)) {
            std::vector<unsigned char> bytes = good;
            const std::size_t at = codeStart(bytes) + 5 * static_cast<std::size_t>(m.instruction);
            bytes[at] = static_cast<unsigned char>(m.op);
            std::memcpy(&bytes[at + 1], &m.arg, 4);
            writeBytes("mutant.zuo", bytes);

            // Reading and verifying leave the tables alone: done here.
            messages().clear();
            objfile::StagedProgram stage;
            std::FILE* f = std::fopen(file.c_str(), "rb");
            const bool read = objfile::ReadObjectFile(f, file.c_str(), stage);
            std::fclose(f);
            if (!read) {
                const bool verifier = reported("invalid code");
                (verifier ? out.refusedByVerifier : out.refusedByReader)++;
                continue;
            }
            std::vector<std::string> args{"zul", "-b", file};
            if (gauss) args.insert(args.begin() + 2, "-g");
            int status = RunChild(dir_, args, Limits{200, false});
            if (Spinning(status)) {
                // Again with live statement markers, which Ctrl-C stops.
                args.insert(args.begin() + 2, "-rn");
                status = RunChild(dir_, args, Limits{100, true});
                if (Spinning(status)) {
                    // A jump that loops without passing a marker.
                    out.unmarkedLoops.push_back(describe(program, m, false));
                    continue;
                }
            }
            if (status == -1) {
                out.hangs.push_back(describe(program, m));
                continue;
            }
            if (!WIFEXITED(status)) {
                out.crashes.push_back(describe(program, m) + " (signal " + std::to_string(WTERMSIG(status)) + ")");
                continue;
            }
            switch (WEXITSTATUS(status)) {
            case kCleanEnd: ++out.cleanEnd; break;
            case kRunError: ++out.runError; break;
            case kLinkRefused: ++out.refusedAtLink; break;
            case kUserAbort: ++out.endlessLoop; break;
            default:
                out.crashes.push_back(describe(program, m) + " (exit " + std::to_string(WEXITSTATUS(status)) + ")");
            }
        }
    }
};

constexpr const char* kLoopsAndCalls =
    "#include <zustd.h>\n"
    "twice(x) { decl y = x * 2; return y; }\n"
    "main() { decl i, s = 0; for (i = 0; i < 3; ++i) s += twice(i); print(s, \"\\n\"); }\n";

constexpr const char* kValues =
    "#include <zustd.h>\n"
    "set(p) { p[0] = <1, 2; 3, 4>; }\n"
    "main() {\n"
    "  decl m, a = {1, \"x\"}, s = \"ab\", v;\n"
    "  set(&m); m[0][1] = 5; v = m[1][];\n"
    "  a[1] = s ~ \"c\";\n"
    "  print(m, v, a, sizeof(a), sqrt(v), \"\\n\");\n"
    "}\n";

constexpr const char* kObjects =
    "#include <zustd.h>\n"
    "class Counter { decl n; Counter(); Add(k); }\n"
    "Counter::Counter() { n = 0; }\n"
    "Counter::Add(k) { n += k; return n; }\n"
    "main() { decl c = new Counter(); c.Add(2); print(c.Add(3), \"\\n\"); delete c; }\n";

constexpr const char* kGosub =
    "n = 0;\n"
    "again:\n"
    "n = n + 1;\n"
    "if n < 3; goto again; endif;\n"
    "gosub square(7);\n"
    "pop r;\n"
    "print r;\n"
    "end;\n"
    "square:\n"
    "    pop x;\n"
    "    return(x * x);\n";

TEST_F(MutationSweep, NoSingleInstructionChangeCrashes) {
    // The children share the library started here.
    ::setenv("ZU3PATH", ZU_STAGE_INCLUDE, 1);
    ZuMainInit();
    SetZuMessage(record);
    // Statement markers as zul compiles them: a loop can be interrupted.
    ZuParseSetLineno(1);
    const auto start = Clock::now();
    Outcomes out;
    // A sanitizer build runs each child several times slower.
#if defined(__SANITIZE_ADDRESS__)
    constexpr std::size_t kBudget = 250;  // each child runs several times slower
#else
    constexpr std::size_t kBudget = 800;
#endif
    const char* asked = std::getenv("ZU_SWEEP_BUDGET");
    const std::size_t budget = asked ? std::stoul(asked) : kBudget;
    for (const auto& [name, text] : {std::pair{"loops", kLoopsAndCalls}, {"values", kValues}, {"objects", kObjects}}) {
        const std::vector<unsigned char> good = compileWithZul(name, text, false);
        ASSERT_FALSE(good.empty()) << name;
        sweep(name, good, 0, budget, false, out);
    }
    // The Gauss support code comes first in the file; the program's own
    // code is at the end.
    const std::vector<unsigned char> gosub = compileWithZul("gosub", kGosub, true);
    ASSERT_FALSE(gosub.empty());
    sweep("gosub", gosub, std::max(0, codeCount(gosub) - 45), budget, true, out);

    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf(
        "mutants: %d refused by the verifier, %d by the reader, %d at linking; %d clean ends, "
        "%d run-time errors, %d endless loops stopped by Ctrl-C, %zu endless loops without a marker; "
        "%zu crashes, %zu hangs; %.1f s\n",
        out.refusedByVerifier, out.refusedByReader, out.refusedAtLink, out.cleanEnd, out.runError, out.endlessLoop,
        out.unmarkedLoops.size(), out.crashes.size(), out.hangs.size(), seconds);
    // A loop that passes no marker still stops at its jump back.
    for (const std::string& u : out.unmarkedLoops) ADD_FAILURE() << "endless loop Ctrl-C does not stop: " << u;
    for (const std::string& c : out.crashes) ADD_FAILURE() << "crash: " << c;
    for (const std::string& h : out.hangs) ADD_FAILURE() << "hang: " << h;
    EXPECT_GT(out.refusedByVerifier, 0);
    EXPECT_GT(out.cleanEnd + out.runError, 0);
}

// "new" gives an owner only to the object NEW has just made: on the class
// itself (NEW made LOD) or on a literal (the constructor call made LIT) it
// is a run-time error, where it used to free a table twice.
TEST_F(MutationSweep, NewOwnsOnlyAFreshObject) {
    ::setenv("ZU3PATH", ZU_STAGE_INCLUDE, 1);
    ZuMainInit();
    SetZuMessage(record);
    ZuParseSetLineno(1);
    const std::vector<unsigned char> good = compileWithZul("objects", kObjects, false);
    ASSERT_FALSE(good.empty());
    auto at = [&](program::Op op) {
        for (int i = 0; i < codeCount(good); ++i)
            if (good[codeStart(good) + 5 * static_cast<std::size_t>(i)] == program::code(op)) return i;
        return -1;
    };
    const int made = at(program::Op::NEW), call = at(program::Op::CAM);
    ASSERT_GT(made, 0);
    ASSERT_GT(call, made);
    for (const auto& [instruction, op] : {std::pair{made, program::Op::LOD}, {call, program::Op::LIT}}) {
        std::vector<unsigned char> bytes = good;
        const std::size_t where = codeStart(bytes) + 5 * static_cast<std::size_t>(instruction);
        bytes[where] = static_cast<unsigned char>(program::code(op));
        if (op == program::Op::LIT) std::memset(&bytes[where + 1], 0, 4);
        const std::string file = writeBytes("new.zuo", bytes);
        const int status = RunChild(dir_, {"zul", "-b", file}, Limits{2000, false});
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == kRunError)
            << program::mnemonic(program::code(op)) << ": status " << status;
    }
}

}  // namespace
}  // namespace zu::test
