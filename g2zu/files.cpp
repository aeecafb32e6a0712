// File names, the overwrite question and whole-file reading.
#include "files.h"

#include <cctype>
#include <sys/stat.h>

#include "messages.h"

namespace g2zu {

std::string normalise_name(std::string_view name) {
    std::string s(name);
    for (char& c : s)
        if (c == '\\') c = '/';
    while (!s.empty() && static_cast<unsigned char>(s.back()) < 33) s.pop_back();
    return s;
}

std::size_t extension_pos(std::string_view name) {
    std::size_t start = name.find_last_of("/\\");
    if (start == std::string_view::npos) start = name.find_last_of(':');
    start = start == std::string_view::npos ? 0 : start + 1;
    std::size_t dot = name.rfind('.');
    return dot != std::string_view::npos && dot >= start ? dot : std::string_view::npos;
}

bool has_extension(std::string_view name) { return extension_pos(name) != std::string_view::npos; }

std::string add_extension(std::string_view name, std::string_view ext) {
    std::string s(name);
    if (!has_extension(name)) s += ext;
    return s;
}

std::string replace_extension(std::string_view name, std::string_view ext) {
    std::size_t dot = extension_pos(name);
    std::string s(name.substr(0, dot));
    s += ext;
    return s;
}

std::string base_name(std::string_view name) {
    std::size_t slash = name.find_last_of("/\\");
    return std::string(slash == std::string_view::npos ? name : name.substr(slash + 1));
}

std::string directory_of(std::string_view name) {
    std::size_t slash = name.find_last_of("/\\");
    return slash == std::string_view::npos ? std::string() : std::string(name.substr(0, slash + 1));
}

bool file_exists(std::string_view name) {
    struct stat st {};
    return ::stat(normalise_name(name).c_str(), &st) == 0;
}

namespace {

// Reads characters until Y or N; end of input is N.
bool answer_yes(std::FILE* question_out, std::FILE* answer_in) {
    for (;;) {
        int c = std::fgetc(answer_in);
        if (c == EOF) {
            write_text(question_out, "N\n");
            return false;
        }
        c = std::toupper(c);
        if (c == 'Y' || c == 'N') {
            char echo[] = {static_cast<char>(c), '\n'};
            write_text(question_out, std::string_view(echo, 2));
            return c == 'Y';
        }
    }
}

}  // namespace

std::unique_ptr<zu::console::AtomicFile> open_for_writing(std::string_view name, bool ask, std::FILE* question_out,
                                                          std::FILE* answer_in) {
    std::string path = normalise_name(name);
    if (ask && file_exists(path)) {
        write_text(question_out, path + " already exists, overwrite (Y/N)? ");
        std::fflush(question_out);
        if (!answer_yes(question_out, answer_in)) return nullptr;
    }
    auto file = std::make_unique<zu::console::AtomicFile>(path);
    if (file->Stream() == nullptr) return nullptr;
    return file;
}

FilePtr open_for_reading(std::string_view name) {
    std::string path = normalise_name(name);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;  // no devices or folders
    return FilePtr(std::fopen(path.c_str(), "rb"));
}

bool read_file(std::FILE* file, std::string& text) {
    text.clear();
    char buffer[65536];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        if (text.size() + n > kFileSizeLimit) return false;
        text.append(buffer, n);
    }
    return std::ferror(file) == 0;
}

}  // namespace g2zu
