// Text markup: backslash commands, formulas between dollar signs, braces,
// raised and lowered text.  A text is parsed into pieces (runs of one font,
// size and height, Symbol-font characters and spacing), measured with the
// font metrics, and recorded on the sheet as font, text, Symbol-character
// and relative-move records.
#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <string>
#include <vector>

#include "draw/font_metrics.h"
#include "draw/sheet.h"
#include "draw/text_markup.h"

namespace zu::draw {
namespace {

// The named commands: font changes, sizes, function names set upright,
// accents, Latin-1 letters and the Symbol-font characters.
constexpr MarkupCommand kCommands[] = {
    {"rm", MarkupKind::kFont, 0},
    {"bf", MarkupKind::kFont, 2},
    {"it", MarkupKind::kFont, 3},
    {"bi", MarkupKind::kFont, 4},
    {"sf", MarkupKind::kFont, 5},
    {"tt", MarkupKind::kFont, 6},
    {"f0", MarkupKind::kFont, 0},
    {"f1", MarkupKind::kFont, 1},
    {"f2", MarkupKind::kFont, 2},
    {"f3", MarkupKind::kFont, 3},
    {"f4", MarkupKind::kFont, 4},
    {"f5", MarkupKind::kFont, 5},
    {"f6", MarkupKind::kFont, 6},
    {"f7", MarkupKind::kFont, 7},
    {"f8", MarkupKind::kFont, 8},
    {"f9", MarkupKind::kFont, 9},
    {"small", MarkupKind::kSize, 80},
    {"normalsize", MarkupKind::kSize, 100},
    {"large", MarkupKind::kSize, 120},
    {"arccos", MarkupKind::kFunction, 0},
    {"arcsin", MarkupKind::kFunction, 0},
    {"arctan", MarkupKind::kFunction, 0},
    {"arg", MarkupKind::kFunction, 0},
    {"cos", MarkupKind::kFunction, 0},
    {"cosh", MarkupKind::kFunction, 0},
    {"cot", MarkupKind::kFunction, 0},
    {"coth", MarkupKind::kFunction, 0},
    {"csc", MarkupKind::kFunction, 0},
    {"deg", MarkupKind::kFunction, 0},
    {"det", MarkupKind::kFunction, 0},
    {"dim", MarkupKind::kFunction, 0},
    {"exp", MarkupKind::kFunction, 0},
    {"gcd", MarkupKind::kFunction, 0},
    {"hom", MarkupKind::kFunction, 0},
    {"inf", MarkupKind::kFunction, 0},
    {"ker", MarkupKind::kFunction, 0},
    {"lg", MarkupKind::kFunction, 0},
    {"lim", MarkupKind::kFunction, 0},
    {"liminf", MarkupKind::kFunction, 0},
    {"limsup", MarkupKind::kFunction, 0},
    {"ln", MarkupKind::kFunction, 0},
    {"log", MarkupKind::kFunction, 0},
    {"max", MarkupKind::kFunction, 0},
    {"min", MarkupKind::kFunction, 0},
    {"Pr", MarkupKind::kFunction, 0},
    {"sec", MarkupKind::kFunction, 0},
    {"sin", MarkupKind::kFunction, 0},
    {"sinh", MarkupKind::kFunction, 0},
    {"sup", MarkupKind::kFunction, 0},
    {"tan", MarkupKind::kFunction, 0},
    {"tanh", MarkupKind::kFunction, 0},
    {"hat", MarkupKind::kAccent, 94},
    {"check", MarkupKind::kAccent, 126},
    {"acute", MarkupKind::kAccent, 180},
    {"grave", MarkupKind::kAccent, 96},
    {"bar", MarkupKind::kAccent, 175},
    {"vec", MarkupKind::kAccent, 126},
    {"dot", MarkupKind::kAccent, 183},
    {"ddot", MarkupKind::kAccent, 168},
    {"breve", MarkupKind::kAccent, 126},
    {"tilde", MarkupKind::kAccent, 126},
    {"ae", MarkupKind::kLatin, 230},
    {"AE", MarkupKind::kLatin, 198},
    {"aa", MarkupKind::kLatin, 229},
    {"AA", MarkupKind::kLatin, 197},
    {"o", MarkupKind::kLatin, 248},
    {"O", MarkupKind::kLatin, 216},
    {"ss", MarkupKind::kLatin, 223},
    {"P", MarkupKind::kLatin, 182},
    {"S", MarkupKind::kLatin, 167},
    {"pounds", MarkupKind::kLatin, 163},
    // The Symbol font, by the position of each name in its encoding.
    {"Delta", MarkupKind::kSymbol, 0x44},
    {"Diamond", MarkupKind::kSymbol, 0xE0},
    {"Downarrow", MarkupKind::kArrow, 0xDF},
    {"Euro", MarkupKind::kSymbol, 0xA0},
    {"Gamma", MarkupKind::kSymbol, 0x47},
    {"Im", MarkupKind::kSymbol, 0xC1},
    {"Lambda", MarkupKind::kSymbol, 0x4C},
    {"Leftarrow", MarkupKind::kArrow, 0xDC},
    {"Leftrightarrow", MarkupKind::kArrow, 0xDB},
    {"Omega", MarkupKind::kSymbol, 0x57},
    {"Phi", MarkupKind::kSymbol, 0x46},
    {"Pi", MarkupKind::kSymbol, 0x50},
    {"Psi", MarkupKind::kSymbol, 0x59},
    {"Re", MarkupKind::kSymbol, 0xC2},
    {"Rightarrow", MarkupKind::kArrow, 0xDE},
    {"Sigma", MarkupKind::kSymbol, 0x53},
    {"Theta", MarkupKind::kSymbol, 0x51},
    {"Uparrow", MarkupKind::kArrow, 0xDD},
    {"Upsilon", MarkupKind::kSymbol, 0xA1},
    {"Xi", MarkupKind::kSymbol, 0x58},
    {"[", MarkupKind::kSymbol, 0x5B},
    {"]", MarkupKind::kSymbol, 0x5D},
    {"aleph", MarkupKind::kSymbol, 0xC0},
    {"alpha", MarkupKind::kSymbol, 0x61},
    {"angle", MarkupKind::kSymbol, 0xD0},
    {"approx", MarkupKind::kSymbol, 0xBB},
    {"arrowext", MarkupKind::kArrow, 0xBE},
    {"ast", MarkupKind::kSymbol, 0x2A},
    {"beta", MarkupKind::kSymbol, 0x62},
    {"bullet", MarkupKind::kSymbol, 0xB7},
    {"cap", MarkupKind::kSymbol, 0xC7},
    {"carriagereturn", MarkupKind::kSymbol, 0xBF},
    {"cdot", MarkupKind::kSymbol, 0xD7},
    {"chi", MarkupKind::kSymbol, 0x63},
    {"clubsuit", MarkupKind::kSymbol, 0xA7},
    {"cong", MarkupKind::kSymbol, 0x40},
    {"copyright", MarkupKind::kSymbol, 0xD3},
    {"cup", MarkupKind::kSymbol, 0xC8},
    {"degree", MarkupKind::kSymbol, 0xB0},
    {"delta", MarkupKind::kSymbol, 0x64},
    {"diamondsuit", MarkupKind::kSymbol, 0xA8},
    {"div", MarkupKind::kSymbol, 0xB8},
    {"downarrow", MarkupKind::kArrow, 0xAF},
    {"emptyset", MarkupKind::kSymbol, 0xC6},
    {"epsilon", MarkupKind::kSymbol, 0x65},
    {"equiv", MarkupKind::kSymbol, 0xBA},
    {"eta", MarkupKind::kSymbol, 0x68},
    {"exists", MarkupKind::kSymbol, 0x24},
    {"florin", MarkupKind::kSymbol, 0xA6},
    {"forall", MarkupKind::kSymbol, 0x22},
    {"gamma", MarkupKind::kSymbol, 0x67},
    {"geq", MarkupKind::kSymbol, 0xB3},
    {"gt", MarkupKind::kSymbol, 0x3E},
    {"heartsuit", MarkupKind::kSymbol, 0xA9},
    {"in", MarkupKind::kSymbol, 0xCE},
    {"infty", MarkupKind::kSymbol, 0xA5},
    {"int", MarkupKind::kSymbol, 0xF2},
    {"iota", MarkupKind::kSymbol, 0x69},
    {"kappa", MarkupKind::kSymbol, 0x6B},
    {"lambda", MarkupKind::kSymbol, 0x6C},
    {"langle", MarkupKind::kSymbol, 0xE1},
    {"lceil", MarkupKind::kSymbol, 0xE9},
    {"ldots", MarkupKind::kSymbol, 0xBC},
    {"leftarrow", MarkupKind::kArrow, 0xAC},
    {"leftrightarrow", MarkupKind::kArrow, 0xAB},
    {"leq", MarkupKind::kSymbol, 0xA3},
    {"lfloor", MarkupKind::kSymbol, 0xEB},
    {"lt", MarkupKind::kSymbol, 0x3C},
    {"mid", MarkupKind::kSymbol, 0x7C},
    {"mu", MarkupKind::kSymbol, 0x6D},
    {"neg", MarkupKind::kSymbol, 0xD8},
    {"neq", MarkupKind::kSymbol, 0xB9},
    {"ni", MarkupKind::kSymbol, 0x27},
    {"nu", MarkupKind::kSymbol, 0x6E},
    {"omega", MarkupKind::kSymbol, 0x77},
    {"oplus", MarkupKind::kSymbol, 0xC5},
    {"otimes", MarkupKind::kSymbol, 0xC4},
    {"partial", MarkupKind::kSymbol, 0xB6},
    {"perp", MarkupKind::kSymbol, 0x5E},
    {"phi", MarkupKind::kSymbol, 0x66},
    {"pi", MarkupKind::kSymbol, 0x70},
    {"pm", MarkupKind::kSymbol, 0xB1},
    {"prime", MarkupKind::kSymbol, 0xA2},
    {"prod", MarkupKind::kSymbol, 0xD5},
    {"propto", MarkupKind::kSymbol, 0xB5},
    {"psi", MarkupKind::kSymbol, 0x79},
    {"rangle", MarkupKind::kSymbol, 0xF1},
    {"rceil", MarkupKind::kSymbol, 0xF9},
    {"registered", MarkupKind::kSymbol, 0xD2},
    {"rfloor", MarkupKind::kSymbol, 0xFB},
    {"rho", MarkupKind::kSymbol, 0x72},
    {"rightarrow", MarkupKind::kArrow, 0xAE},
    {"sigma", MarkupKind::kSymbol, 0x73},
    {"sim", MarkupKind::kSymbol, 0x7E},
    {"spadesuit", MarkupKind::kSymbol, 0xAA},
    {"subset", MarkupKind::kSymbol, 0xCC},
    {"subseteq", MarkupKind::kSymbol, 0xCD},
    {"sum", MarkupKind::kSymbol, 0xE5},
    {"supset", MarkupKind::kSymbol, 0xC9},
    {"supseteq", MarkupKind::kSymbol, 0xCA},
    {"surd", MarkupKind::kSymbol, 0xD6},
    {"tau", MarkupKind::kSymbol, 0x74},
    {"therefore", MarkupKind::kSymbol, 0x5C},
    {"theta", MarkupKind::kSymbol, 0x71},
    {"times", MarkupKind::kSymbol, 0xB4},
    {"trademark", MarkupKind::kSymbol, 0xD4},
    {"triangledown", MarkupKind::kSymbol, 0xD1},
    {"uparrow", MarkupKind::kArrow, 0xAD},
    {"upsilon", MarkupKind::kSymbol, 0x75},
    {"varepsilon", MarkupKind::kSymbol, 0x65},
    {"varphi", MarkupKind::kSymbol, 0x6A},
    {"varpi", MarkupKind::kSymbol, 0x76},
    {"varrho", MarkupKind::kSymbol, 0x72},
    {"varsigma", MarkupKind::kSymbol, 0x56},
    {"vartheta", MarkupKind::kSymbol, 0x4A},
    {"vee", MarkupKind::kSymbol, 0xDA},
    {"wedge", MarkupKind::kSymbol, 0xD9},
    {"wp", MarkupKind::kSymbol, 0xC3},
    {"xi", MarkupKind::kSymbol, 0x78},
    {"zeta", MarkupKind::kSymbol, 0x7A},
    {"{", MarkupKind::kSymbol, 0x7B},
    {"}", MarkupKind::kSymbol, 0x7D},
};

// The one-character commands after a backslash.
constexpr std::string_view kLiteralChars = " #$%&\\_{}";
constexpr std::string_view kSpacingChars = "!,:;";
constexpr int kSpacing[] = {-12, 12, 4, 2};
constexpr std::string_view kAccentChars = "\"'.=^`~";
constexpr int kAccentCodes[] = {168, 180, 183, 175, 94, 96, 126};

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// One piece of laid-out text.
struct Piece {
    enum Kind { kText, kSymbolChar, kSpace } kind = kText;
    std::string text;  // kText
    int code = 0;      // kSymbolChar
    int font = 0, size = 0;
    int rise = 0;     // height above the base line, sheet units
    int advance = 0;  // width, or the space for kSpace
};

// Nesting bound of braces, raised and lowered text: deeper markup is
// taken as plain characters, so no input can exhaust the stack.
constexpr int kMaxDepth = 32;

class MarkupParser {
public:
    MarkupParser(std::string_view text, int font, int size) : text_(text), baseFont_(font), baseSize_(size) {}

    std::vector<Piece> Parse() {
        State s{baseFont_, baseSize_, 0};
        while (pos_ < text_.size()) ParseItem(s, 0);
        return std::move(pieces_);
    }

private:
    struct State {
        int font, size, rise;
    };

    void AddText(const State& s, char c) {
        const int font = math_ && IsLetter(c) && s.font == 0 ? 3 : s.font;
        if (!pieces_.empty()) {
            Piece& last = pieces_.back();
            if (last.kind == Piece::kText && last.font == font && last.size == s.size && last.rise == s.rise) {
                last.text += c;
                last.advance += CharWidth(font, static_cast<unsigned char>(c), s.size);
                return;
            }
        }
        Piece p;
        p.text = std::string(1, c);
        p.font = font;
        p.size = s.size;
        p.rise = s.rise;
        p.advance = CharWidth(font, static_cast<unsigned char>(c), s.size);
        pieces_.push_back(std::move(p));
    }

    void AddSymbol(const State& s, int code) {
        Piece p;
        p.kind = Piece::kSymbolChar;
        p.code = code;
        p.font = s.font;
        p.size = s.size;
        p.rise = s.rise;
        p.advance = CharWidth(1, static_cast<unsigned char>(code), s.size);
        pieces_.push_back(std::move(p));
    }

    void AddSpace(int advance) {
        Piece p;
        p.kind = Piece::kSpace;
        p.advance = advance;
        pieces_.push_back(std::move(p));
    }

    // One item: a character, a command, a group, or raised/lowered text.
    void ParseItem(State& s, int depth) {
        const char c = text_[pos_];
        if (c == '\\') {
            ++pos_;
            ParseCommand(s, depth);
        } else if (c == '$') {
            if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '$') {
                AddText(s, '$');
                pos_ += 2;
            } else {
                math_ = !math_;
                ++pos_;
            }
        } else if (c == '{' && depth < kMaxDepth) {
            ++pos_;
            ParseGroup(s, depth + 1);
        } else if (c == '}') {
            ++pos_;  // an unmatched closing brace is dropped
        } else if ((c == '^' || (c == '_' && math_)) && depth < kMaxDepth) {
            ++pos_;
            State raised{s.font, s.size * 7 / 10, s.rise + (c == '^' ? s.size * 4 / 10 : -s.size * 2 / 10)};
            ParseArgument(raised, depth + 1);
        } else {
            AddText(s, c);
            ++pos_;
        }
    }

    // Items up to the closing brace, in a state of their own.
    void ParseGroup(State s, int depth) {
        while (pos_ < text_.size() && text_[pos_] != '}') ParseItem(s, depth);
        if (pos_ < text_.size()) ++pos_;
    }

    // The argument of ^, _ or an accent: a group or one item.
    void ParseArgument(State s, int depth) {
        if (pos_ >= text_.size()) return;
        if (text_[pos_] == '{') {
            ++pos_;
            ParseGroup(s, depth);
        } else {
            ParseItem(s, depth);
        }
    }

    void ParseAccent(State& s, int code, int depth) {
        const std::size_t first = pieces_.size();
        ParseArgument(s, depth + 1);
        int width = 0;
        for (std::size_t i = first; i < pieces_.size(); ++i) width += pieces_[i].advance;
        const int font = s.font == 1 ? 0 : s.font;
        const int accentWidth = CharWidth(font, static_cast<unsigned char>(code), s.size);
        AddSpace(-(width + accentWidth) / 2);
        State accent{font, s.size, s.rise + s.size / 8};
        const bool saved = math_;
        math_ = false;
        AddText(accent, static_cast<char>(code));
        math_ = saved;
        // Back to the end of the accented text.
        AddSpace((width + accentWidth) / 2 - accentWidth);
    }

    void ParseCommand(State& s, int depth) {
        if (pos_ >= text_.size()) {
            AddText(s, '\\');
            return;
        }
        const char c = text_[pos_];
        if (const auto k = kLiteralChars.find(c); k != std::string_view::npos) {
            ++pos_;
            AddText(s, c);
            return;
        }
        if (const auto k = kSpacingChars.find(c); k != std::string_view::npos) {
            ++pos_;
            AddSpace(kSpacing[k] * s.size / 72);
            return;
        }
        if (const auto k = kAccentChars.find(c); k != std::string_view::npos) {
            ++pos_;
            ParseAccent(s, kAccentCodes[k], depth);
            return;
        }
        if (c == '[' || c == ']') {
            ++pos_;
            AddSymbol(s, c == '[' ? 0x5B : 0x5D);
            return;
        }
        std::size_t end = pos_;
        while (end < text_.size() && (IsLetter(text_[end]) || std::isdigit(static_cast<unsigned char>(text_[end]))))
            ++end;
        const std::string_view name = text_.substr(pos_, end - pos_);
        const MarkupCommand* command = FindMarkupCommand(name);
        if (command == nullptr) {  // not a command: the text as it stands
            AddText(s, '\\');
            return;
        }
        pos_ = end;
        switch (command->kind) {
        case MarkupKind::kFont: s.font = command->code; break;
        case MarkupKind::kSize: s.size = baseSize_ * command->code / 100; break;
        case MarkupKind::kFunction: {
            State upright{0, s.size, s.rise};
            const bool saved = math_;
            math_ = false;
            for (const char ch : name) AddText(upright, ch);
            math_ = saved;
            break;
        }
        case MarkupKind::kAccent: ParseAccent(s, command->code, depth); break;
        case MarkupKind::kLatin: AddText(s, static_cast<char>(command->code)); break;
        case MarkupKind::kSymbol:
        case MarkupKind::kArrow: AddSymbol(s, command->code); break;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    bool math_ = false;
    int baseFont_, baseSize_;
    std::vector<Piece> pieces_;
};

int Width(const std::vector<Piece>& pieces) {
    long w = 0;
    for (const Piece& p : pieces) w += p.advance;
    return static_cast<int>(std::clamp<long>(w, -(1L << 30), 1L << 30));
}

}  // namespace

const MarkupCommand* FindMarkupCommand(std::string_view name) {
    for (const MarkupCommand& c : kCommands)
        if (c.name == name) return &c;
    return nullptr;
}

std::span<const MarkupCommand> MarkupCommands() { return kCommands; }

void GDItextMarkup(std::string_view text, int x, int y, int font, int size, int align, int rotation) {
    if (text.empty() || GDIgetSheet() == nullptr) return;
    const std::vector<Piece> pieces = MarkupParser(text, font, size).Parse();
    const double angle = rotation * M_PI / 180.0;
    const double cs = std::cos(angle), sn = std::sin(angle);
    const int width = Width(pieces);
    const double shift = -width * std::clamp(align, 0, 2) / 2.0;
    GDItextDirection(rotation);
    GDIpmoveTo(x + static_cast<int>(std::lround(shift * cs)), y + static_cast<int>(std::lround(shift * sn)));
    int rise = 0;
    auto moveBy = [&](double along, double up) {
        const int dx = static_cast<int>(std::lround(along * cs - up * sn));
        const int dy = static_cast<int>(std::lround(along * sn + up * cs));
        if (dx != 0 || dy != 0) GDIprmoveTo(dx, dy);
    };
    for (const Piece& p : pieces) {
        if (p.kind == Piece::kSpace) {
            moveBy(p.advance, 0);
            continue;
        }
        if (p.rise != rise) {
            moveBy(0, p.rise - rise);
            rise = p.rise;
        }
        if (p.kind == Piece::kText) {
            GDItextFont(p.font, p.size);
            GDItextTo(p.text);
        } else {
            GDItextFont(p.font == 1 ? 0 : p.font, p.size);
            GDIsymbolChar(p.code, p.size);
        }
    }
    if (rise != 0) moveBy(0, -rise);
}

int GDItextWidth(std::string_view text, int font, int size) { return Width(MarkupParser(text, font, size).Parse()); }

int GDItextHeight(std::string_view text, int font, int size) {
    int top = size * 7 / 10, bottom = 0;
    for (const Piece& p : MarkupParser(text, font, size).Parse()) {
        if (p.kind == Piece::kSpace) continue;
        top = std::max(top, p.rise + p.size * 7 / 10);
        bottom = std::min(bottom, p.rise - p.size / 5);
    }
    return top - bottom;
}

}  // namespace zu::draw
