// The statement translators: Gauss statements in, Zu text out, one at a time.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "messages.h"
#include "output.h"
#include "scanner.h"
#include "symbols.h"

namespace g2zu {

// Switches the scanner's line mode for the life of the scope.
class LineModeScope {
public:
    LineModeScope(Scanner& in, bool on) : in_(in), previous_(in.line_mode()) { in.set_line_mode(on); }
    ~LineModeScope() { in_.set_line_mode(previous_); }
    LineModeScope(const LineModeScope&) = delete;
    LineModeScope& operator=(const LineModeScope&) = delete;

private:
    Scanner& in_;
    bool previous_;
};

std::string upper_case(std::string text);

class Translator {
public:
    Translator(Scanner& in, Output& out, Symbols& symbols, Messages& messages)
        : in_(in), out_(out), symbols_(symbols), messages_(messages) {
        in_.set_before_include([this] {
            if (!in_.in_include()) close_main();
        });
    }
    ~Translator() { in_.set_before_include(nullptr); }
    Translator(const Translator&) = delete;
    Translator& operator=(const Translator&) = delete;

    // The first pass over the file and its includes (prepass.cpp).
    void prescan(std::string_view file);
    // Names that procedures declare external, for a file-level declaration.
    const std::vector<std::string>& hoisted_externals() const { return hoisted_externals_; }
    // Constructs left unsupported (unsupported functions, skipped commands).
    int unsupported_count() const { return unsupported_; }

    // Copies comments and blank lines between statements; after a statement
    // it stops at the end of its line. False at end of file.
    bool copy_comments(bool after_statement);
    // Reads one statement and writes its translation.
    void statement();
    // End of file: open blocks, the last main block and main().
    void finish();

private:
    // How a statement without a leading keyword reads (decided by look-ahead).
    enum class Form { Label, Print, Constant, Assignment };
    // Blocks opened by if, do and for, closed by endif, endo and endfor.
    enum class Block { If, Do, For };
    // Where a print item starts or ends, for the separator rule.
    enum class Edge { None, Text, Value, Open, Other };

    // The formal arguments of a procedure head.
    struct Formals {
        std::vector<std::string> names;
        std::vector<std::string> struct_types;  // the struct type of each, or ""
        bool varargs = false;                   // the list ends with ...
    };
    // A member of a Gauss struct, kept as an element of a Zu array.
    struct StructMember {
        std::string name;
        std::string struct_type;  // a nested struct, or ""
        bool text = false;        // a string
        bool list = false;        // an array or string array
    };
    using StructLayout = std::vector<StructMember>;

    // --- the first pass (prepass.cpp)
    static Formals read_formal_list(Scanner& in, Messages& messages);
    void read_struct_definition(Scanner& in, const std::string& name);
    void prescan_procedure(Scanner& in, Kind kind, bool fn);
    void prescan_external(Scanner& in);
    void hoist_globals(const std::vector<std::string>& assigned, const std::set<std::string>& mentioned);

    // --- structs (structs.cpp)
    void struct_statement();
    std::string struct_initialiser(const std::string& type, int depth) const;
    int member_index(const std::string& type, const std::string& member, std::string& member_type) const;
    void member_access(std::string type);
    bool ambiguous_member(const std::string& member) const;

    // --- main blocks and shared helpers (translator.cpp)
    void follow_include();
    void open_main();
    void close_main();
    void close_open_blocks();
    void close_block_braces(Block block);
    bool close_last(bool loop);
    // Appends to the pending line; a closing brace left pending goes first.
    void put(std::string_view text) {
        if (out_.starts_with_brace()) out_.flush();
        out_.append(text);
    }
    void put_operator(std::string_view zu);
    void put_string(std::string_view text);
    void log_output(std::string_view text) { messages_.log_output(out_.line_count(), text); }
    void skip_command(std::string_view word);
    void skip_raw();
    void finish_statement(Tok terminator);
    void expect_end();
    void skip_slash_options();
    int define(std::string_view name, Kind kind, int bound);
    bool known_variable(std::string_view name) const;
    void define_variable(std::string_view name);
    void note_renamed(std::string_view name);
    int read_count();
    std::string written_name(int symbol, std::string_view name) const;

    // --- expressions (expressions.cpp)
    Tok expression();
    Tok expression_body();
    std::vector<Tok> divisions_ahead();
    int put_division_heads(const std::vector<Tok>& divisions);
    static bool is_division(Tok code);
    static bool continues_operand(Tok code);
    static bool continues_product(Tok code);
    bool wrapped_in_parens();
    Tok take_terminator();
    bool term(const Token& t, bool after_operand);
    void operator_token(const Token& t, bool after_operand);
    void unsupported_operator(Tok code);
    void no_zu_form(const std::string& what);
    void name(const Token& id);
    void call(const Token& id);
    void procedure_value(const std::string& name);
    void index();
    void paren_group();
    void brace_literal();
    static std::string string_array_join(Tok op);
    Tok print_items(std::string_view separator, bool in_index);
    Edge print_item(std::string_view separator, Edge previous, bool in_index);
    Edge item_token(const Token& t, bool in_index);
    std::vector<Tok> item_divisions();
    bool lone_paren_item();

    // --- statements (statements.cpp)
    void dispatch();
    void ident_statement();
    Form classify();
    void assignment();
    void label();
    void multiple_assignment();
    void implicit_print();
    void print_statement();
    bool ends_with_two_semicolons();
    void if_statement();
    void elseif_statement();
    void else_statement();
    void endif_statement();
    void do_statement();
    void endo_statement();
    void for_statement();
    void endfor_statement();
    enum class Step { Literal, Variable, Other };
    Step step_ahead(bool& negative, std::string& name);
    void simple(std::string_view text);
    void call_statement();
    void jump_statement(bool gosub);
    void return_statement();
    void external_statement();
    void keyword_call();
    bool typed_declaration();

    // --- procedures (procedures.cpp)
    void procedure(Kind kind);
    Symbols::Defined define_procedure(std::string_view name, Kind kind);
    Formals read_formals();
    std::vector<bool> find_const_formals(const std::vector<std::string>& formals);
    void end_procedure();
    void endp_statement();
    void local_statement();
    void retp_statement();
    void fn_statement();

    // --- constants and load (constants.cpp)
    struct ConstItem;
    void constant_assignment(bool string_declaration);
    bool read_const_item(ConstItem& item);
    void brace_constant();
    void put_words(const std::vector<std::string>& words, bool as_list);
    void list_constant(int rows, int columns, bool dims, bool file_level);
    void load_statement();
    std::string load_file_part(const std::string& name, bool dims);

    // --- commands and preprocessor lines (commands.cpp)
    void command();
    void clear_command(bool keep_locals);
    void delete_command();
    void errorlog_command();
    void format_command();
    void rndseed_command();
    void trap_command();
    void plot_command();
    void plotsym_command();
    void output_command();
    void save_command();
    void system_command();
    void preprocessor();
    void define_constant(const std::string& name, const std::string& value);

    Scanner& in_;
    Output& out_;
    Symbols& symbols_;
    Messages& messages_;

    bool in_proc_ = false;                   // inside proc ... endp
    bool main_open_ = false;                 // a _g_main_ function is open
    int main_blocks_ = 0;                    // main blocks written so far
    std::vector<Block> blocks_;              // open if, do and for blocks
    int proc_returns_ = 0;                   // return count of the current procedure
    int retp_count_ = 0;                     // retp statements met in it
    int proc_scope_ = 0;                     // scope start to restore at endp
    std::string gosub_label_;                // jump target of the next return
    std::map<std::string, int> gosub_uses_;  // gosubs written per label
    int depth_ = 0;                          // nesting of expressions and indexes
    int constant_target_ = -1;               // the record a let or declare assigns to

    // The lines of an included file are dropped, so its statements must not
    // change the block structure of the file that includes it: the state is
    // put aside while it is read and restored after.
    int table_top_ = 0;                            // records above this are the program's own
    std::vector<std::string> hoisted_externals_;   // from the first pass
    std::map<std::string, StructLayout> structs_;  // struct definitions by name
    int unsupported_ = 0;                          // constructs left unsupported
    std::string output_file_;                      // the file of the last output command
    int gosubs_in_proc_ = 0;                       // gosub statements in the current procedure
    bool packed_arguments_ = false;                // the current procedure has it
    bool reading_include_ = false;
    bool include_main_code_ = false;  // the included file being read has main code
    std::set<std::string> renamed_;   // variables whose renaming was logged
    bool outer_main_open_ = false;
    int outer_level_ = 0;
};

}  // namespace g2zu
