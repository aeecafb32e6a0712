// Elements, the matrix layout and the matrix-file form.
#include "stdlib/matrix_print.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <vector>

#include "stdlib/print_settings.h"
#include "stdlib/value_printer.h"
#include "value/value.h"

using zu::value::ItemCount;
using zu::value::Items;

namespace zu::stdlib {
namespace {

constexpr std::size_t kLongElementFormat = 32;

bool IsText(const ZuVALUE& v) { return value::TypeCode(&v) == ZU_STRING && !value::IsNul(&v); }

// The leading strings of an array, at most `limit`.
std::vector<std::string_view> Labels(const ZuVALUE* array, int limit) {
    std::vector<std::string_view> labels;
    if (array == nullptr || value::TypeCode(array) != ZU_ARRAY || value::IsNul(array) || Items(array) == nullptr)
        return labels;
    const int n = std::min(ItemCount(array), limit);
    for (int k = 0; k < n && IsText(Items(array)[k]); ++k) labels.push_back(StringChars(Items(array)[k]));
    return labels;
}

// The leading double formats of an array, at most `limit`.
std::vector<FormatPiece> ColumnFormats(const ZuVALUE* array, int limit) {
    std::vector<FormatPiece> formats;
    for (std::string_view text : Labels(array, limit)) {
        FormatPiece piece = ClassifyFormat(text);
        if (piece.kind != FormatKind::Double) break;
        formats.push_back(std::move(piece));
    }
    return formats;
}

int LongestLabel(const std::vector<std::string_view>& labels) {
    std::size_t longest = 0;
    for (std::string_view label : labels) longest = std::max(longest, label.size());
    return static_cast<int>(std::min<std::size_t>(longest, kMaxFieldWidth));
}

// One column's element format, its width and the format of its special
// values.
struct Column {
    const FormatPiece* format;
    int width;
    FormatPiece special;
};

class Layout {
public:
    Layout(PrintSink& sink, double** m, int r, int c, const MatrixOptions& options);
    void Print();

private:
    int PerBlock() const;
    void ColumnLabelLine(int j0, int j1);
    void Row(int i, int j0, int j1);

    PrintSink& sink_;
    double** m_;
    int r_;
    int c_;
    const MatrixOptions& options_;
    std::vector<std::string_view> rowLabels_;
    std::vector<std::string_view> columnLabels_;
    std::vector<FormatPiece> columnFormats_;
    std::vector<Column> columns_;  // one per given format, then the shared last one
    int width_;                    // W: the element width of the line arithmetic
    int labelWidth_ = 0;
};

Layout::Layout(PrintSink& sink, double** m, int r, int c, const MatrixOptions& options)
    : sink_(sink), m_(m), r_(r), c_(c), options_(options) {
    const PrintSettings& s = Settings();
    const FormatPiece* element = options.format != nullptr ? options.format : &s.elementFormat.piece;
    width_ = std::max(1, options.format != nullptr ? options.format->width : s.fieldWidth);
    rowLabels_ = Labels(options.rowLabels, r);
    columnLabels_ = Labels(options.columnLabels, c);
    columnFormats_ = ColumnFormats(options.columnFormats, c);
    const int longest = LongestLabel(rowLabels_);
    labelWidth_ = longest >= 1 && longest <= 12 && width_ > 12 ? (longest <= 5 ? 6 : 13) : longest;
    if (columnFormats_.empty()) {
        columns_.push_back({element, width_, SpecialFormat(*element, width_)});
    } else {
        for (const FormatPiece& f : columnFormats_) columns_.push_back({&f, f.width, SpecialFormat(f, f.width)});
    }
}

int Layout::PerBlock() const {
    const long long room = static_cast<long long>(Settings().lineWidth) - labelWidth_;
    if (!columnFormats_.empty()) {
        long long total = 0;
        for (int j = 0; j < c_ && total <= room; ++j) {
            total += columns_[std::min<std::size_t>(static_cast<std::size_t>(j), columns_.size() - 1)].width;
        }
        if (total <= room) return c_;
    }
    return static_cast<int>(std::clamp<long long>(room / width_, 1, c_));
}

void Layout::ColumnLabelLine(int j0, int j1) {
    sink_.Put(PadLeft("", labelWidth_));
    for (int j = j0; j <= j1; ++j) {
        const Column& col = columns_[std::min<std::size_t>(static_cast<std::size_t>(j), columns_.size() - 1)];
        const auto k = static_cast<std::size_t>(j);
        sink_.Put(PadLeft(k < columnLabels_.size() ? columnLabels_[k] : " ", col.width));
    }
    sink_.Put('\n');
}

void Layout::Row(int i, int j0, int j1) {
    if (!rowLabels_.empty()) {
        const auto k = static_cast<std::size_t>(i);
        sink_.Put(PadRight(k < rowLabels_.size() ? rowLabels_[k] : " ", labelWidth_));
    }
    const int last = options_.lower ? std::min(j1, i) : j1;
    for (int j = j0; j <= last; ++j) {
        const Column& col = columns_[std::min<std::size_t>(static_cast<std::size_t>(j), columns_.size() - 1)];
        const double d = m_[i][j];
        const char* special = SpecialText(d);
        sink_.Put(special != nullptr ? FormatText(col.special, special) : FormatDouble(*col.format, d));
    }
    sink_.Put('\n');
}

void Layout::Print() {
    const int perBlock = PerBlock();
    const bool split = perBlock < c_;
    sink_.Put('\n');
    for (int j0 = 0; j0 < c_; j0 += perBlock) {
        const int j1 = std::min(c_ - 1, j0 + perBlock - 1);
        if (!columnLabels_.empty()) {
            ColumnLabelLine(j0, j1);
        } else if (split && r_ > 1 && options_.blockHeaders) {
            sink_.Put("// [][" + std::to_string(j0) + "]...[][" + std::to_string(j1) + "]\n");
        }
        for (int i = options_.lower ? j0 : 0; i < r_; ++i) Row(i, j0, j1);
    }
}

}  // namespace

const char* SpecialText(double d) {
    if (std::isnan(d)) return ".NaN";
    if (std::isinf(d)) return d > 0 ? "+.Inf" : "-.Inf";
    return nullptr;
}

FormatPiece SpecialFormat(const FormatPiece& element, int width) {
    FormatPiece piece;
    if (!element.hasPercent || element.sourceLength >= kLongElementFormat) {
        piece.fieldWidth = std::clamp(width, 1, kMaxFieldWidth);
    } else {
        piece = element;
        piece.precision = -1;
    }
    piece.kind = FormatKind::String;
    piece.conversion = 's';
    piece.hasPercent = true;
    return piece;
}

std::string FormatElement(double d, const FormatPiece& format, int width) {
    if (const char* special = SpecialText(d)) return FormatText(SpecialFormat(format, width), special);
    return FormatDouble(format, d);
}

void PrintMatrix(PrintSink& sink, double** m, int r, int c, const MatrixOptions& options) {
    if (m == nullptr || r <= 0 || c <= 0) {
        sink.Put("\n<>\n");
        return;
    }
    Layout(sink, m, r, c, options).Print();
}

void PrintMatrixFile(PrintSink& sink, double** m, int r, int c, const FormatPiece& matrixFormat) {
    const PrintSettings& s = Settings();
    static const FormatPiece kFileElement = ClassifyFormat("%25.16e");
    const bool full = matrixFormat.conversion == 'm';
    const FormatPiece& element = full ? kFileElement : s.elementFormat.piece;
    const int width = full ? 25 : s.fieldWidth;
    const FormatPiece special = SpecialFormat(element, width);
    if (matrixFormat.flags.find('#') == std::string::npos)
        sink.Put(std::to_string(std::max(r, 0)) + " " + std::to_string(std::max(c, 0)) + "\n");
    if (m == nullptr) return;
    const int perLine = std::max(1, s.lineWidth / (std::max(width, 0) + 1));
    for (int i = 0; i < r; ++i) {
        for (int j = 0; j < c; ++j) {
            if (j > 0 && j % perLine == 0) sink.Put('\n');
            sink.Put(' ');
            const double d = m[i][j];
            if (std::isnan(d)) {
                sink.Put('.');
            } else {
                const char* text = SpecialText(d);
                sink.Put(text != nullptr ? FormatText(special, text) : FormatDouble(element, d));
            }
        }
        sink.Put('\n');
    }
}

}  // namespace zu::stdlib
