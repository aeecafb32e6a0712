// A scratch folder for drawing files, a fresh sheet, and the warnings of
// the graphics file reader.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "draw/sheet.h"
#include "zu.h"

namespace zu::draw::test {

inline std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
}

class DrawFiles : public ::testing::Test {
protected:
    void SetUp() override {
        Messages().clear();
        SetZuRunMessage([](const char* text) { Messages().emplace_back(text); });
        ResetGDIauto(0);
        dir_ =
            std::filesystem::temp_directory_path() / ("zu_draw_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        SetZuRunMessage(nullptr);
        ResetGDIauto(0);
        std::filesystem::remove_all(dir_);
    }

    [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }
    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    [[nodiscard]] std::string ReadText(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    [[nodiscard]] static bool Said(const std::string& text) {
        for (const std::string& m : Messages())
            if (m.find(text) != std::string::npos) return true;
        return false;
    }

private:
    std::filesystem::path dir_;
};

// The records of a sheet as (code, a, b) triples.
struct Rec {
    int code, a, b;
    bool operator==(const Rec&) const = default;
};

inline std::vector<Rec> Records(const Sheet& sheet) {
    std::vector<Rec> out;
    ForEachRecord(sheet, [&](const DisplayRecord& r) { out.push_back({r.code, r.v.a, r.v.b}); });
    return out;
}

// Opens a sheet that closes itself.
class ScopedSheet {
public:
    ScopedSheet() : sheet_(GDIopenSheet()) {}
    ~ScopedSheet() { GDIcloseSheet(sheet_); }
    ScopedSheet(const ScopedSheet&) = delete;
    ScopedSheet& operator=(const ScopedSheet&) = delete;
    Sheet& operator*() const { return *sheet_; }
    Sheet* get() const { return sheet_; }

private:
    Sheet* sheet_;
};

}  // namespace zu::draw::test
