// The driver: command line, the files of one run, and the run order.
#include "driver.h"

#include <cstdio>
#include <initializer_list>
#include <new>
#include <optional>
#include <string>

#include "conversion_table.h"
#include "files.h"
#include "layout.h"
#include "messages.h"
#include "output.h"
#include "scanner.h"
#include "symbols.h"
#include "translator.h"

namespace g2zu {
namespace {

using SavedFile = std::unique_ptr<zu::console::AtomicFile>;

constexpr std::string_view kBanner = "G2Zu version 1.00 (Linux) Gauss to Zu converter of the Zu system";

constexpr std::string_view kUsage =
    "\ng2zu converts Gauss code to Zu\nNB: Gauss code can be run directly using ZuGauss: zul -g "
    "filename\nUsage:\tg2zu Gaussfilename[.prg] Zufilename[.zu]\n\nLog will be written to "
    "Zufilename.log\n";

// The streams of one run; a stream that could not be opened falls back to
// standard output or standard error.
struct FileSet {
    std::string gauss_typed;  // the Gauss file name as typed
    std::string gauss;        // with ".prg" when it had no extension
    std::string output;       // empty with one argument
    SavedFile output_file;
    SavedFile log_file;
    SavedFile header_file;

    std::FILE* zu() const { return output_file ? output_file->Stream() : stdout; }
    std::FILE* log() const { return log_file ? log_file->Stream() : stderr; }
    std::FILE* header() const { return header_file ? header_file->Stream() : stdout; }
};

// The files written replace the old ones only at the end, and only when
// all of every one was written: the program, its header and the log of a
// conversion belong together.  A failure names the file.
bool commit_files(FileSet& files, Messages& messages) {
    const std::initializer_list<SavedFile*> all = {&files.output_file, &files.header_file, &files.log_file};
    for (SavedFile* file : all) {
        if (*file && !(*file)->Finish()) {
            messages.say("Unable to write file");
            messages.say((*file)->Target());
            return false;
        }
    }
    bool ok = true;
    for (SavedFile* file : all) ok = (!*file || (*file)->Commit()) && ok;
    if (!ok) messages.say("Unable to write file");
    return ok;
}

void open_output(FileSet& files, Messages& messages, std::string_view argument) {
    files.output = add_extension(normalise_name(argument), ".zu");
    files.output_file = open_for_writing(files.output, true, stderr, stdin);
    if (!files.output_file) {
        messages.say("Unable to open file");
        messages.say(files.output);
    }
    files.log_file = open_for_writing(replace_extension(files.output, ".log"), false, stderr, stdin);
    if (!files.log_file) messages.say("Unable to open log file");
}

// Takes the arguments; false when the run stops here.
bool take_arguments(int argc, char** argv, FileSet& files, Messages& messages) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("-")) {
            messages.say("Unrecognized command line switch");
            return false;
        }
        if (files.gauss_typed.empty()) {
            files.gauss_typed = std::string(arg);
            files.gauss = add_extension(normalise_name(arg), ".prg");
        } else {
            open_output(files, messages, arg);
        }
    }
    if (files.gauss_typed.empty()) {
        write_text(stderr, kUsage);
        return false;
    }
    return true;
}

bool load_table(const char* program, Symbols& symbols, Messages& messages) {
    std::string name = find_conversion_table(program);
    Scanner table(messages, nullptr);
    if (!table.open(name)) {
        messages.say("Failed to open cvt file");
        return false;
    }
    messages.set_where(&table);
    bool loaded = load_conversion_table(table, symbols, messages);
    messages.set_where(nullptr);
    return loaded;
}

void write_log_head(Messages& messages, const FileSet& files, const Stamp& stamp) {
    messages.log_raw(kBanner);
    messages.log_raw("\nConversion at " + stamp.time + " on " + stamp.date + "\n");
    messages.log_raw("Conversion of " + files.gauss + "\n");
}

void translate(Translator& translator) {
    for (;;) {
        if (!translator.copy_comments(false)) break;
        translator.statement();
        if (!translator.copy_comments(true)) break;
    }
    translator.finish();
}

// Names declared external inside procedures are declared once at file level.
void write_hoisted_externals(Output& out, const Translator& translator) {
    std::string list;
    for (const std::string& name : translator.hoisted_externals()) list += (list.empty() ? "" : ", ") + name;
    if (list.empty()) return;
    out.append("extern decl " + list + ";");
    out.write_line();
}

// The one line the terminal shows at the end of a conversion.
void write_summary(const FileSet& files, const Messages& messages, const Translator& translator) {
    std::string target = files.output.empty() ? std::string("standard output") : files.output;
    std::string line = "g2zu: " + files.gauss + " -> " + target + ": " + std::to_string(messages.errors()) + " error" +
                       (messages.errors() == 1 ? "" : "s") + ", " + std::to_string(translator.unsupported_count()) +
                       " unsupported, " + std::to_string(messages.log_lines()) + " log line" +
                       (messages.log_lines() == 1 ? "" : "s") + "\n";
    write_text(stderr, line);
}

int convert(int argc, char** argv) {
    Messages messages(stderr);
    write_text(stderr, "\n" + std::string(kBanner) + "\n");
    FileSet files;
    if (!take_arguments(argc, argv, files, messages)) return 1;
    messages.set_log(files.log());

    Symbols symbols(messages);
    if (!load_table(argc > 0 ? argv[0] : nullptr, symbols, messages)) return 1;

    std::string header_name = replace_extension(files.output.empty() ? files.gauss : files.output, ".h");
    files.header_file = open_for_writing(header_name, true, stderr, stdin);
    if (!files.header_file) {
        messages.say("Unable to open file");
        messages.say(header_name);
    }

    Output out(files.zu(), messages);
    Scanner in(messages, &out);
    if (!in.open(files.gauss)) {
        messages.say("Failed to open Gauss file");
        return 1;
    }
    messages.set_where(&in);
    out.set_where(&in);
    Stamp stamp = now_stamp();
    write_log_head(messages, files, stamp);
    std::string guard = guard_name(header_name);
    Translator translator(in, out, symbols, messages);
    translator.prescan(files.gauss);
    write_output_head(out, files.gauss_typed, stamp, guard, header_name);
    write_hoisted_externals(out, translator);
    translate(translator);
    std::fflush(files.zu());
    write_header(files.header(), symbols, stamp, guard);
    // The log stops here: it is complete when it is put in place.
    messages.set_log(nullptr);
    if (!commit_files(files, messages)) return 1;
    write_summary(files, messages, translator);
    // 0 only for a conversion with nothing left to finish by hand.
    return messages.errors() == 0 && translator.unsupported_count() == 0 ? 0 : 1;
}

}  // namespace

int run(int argc, char** argv) {
    try {
        return convert(argc, argv);
    } catch (const FatalError&) {
        return 1;
    } catch (const std::bad_alloc&) {
        write_text(stderr, "out of memory\n");
        return 1;
    }
}

}  // namespace g2zu
