// A scratch folder for data files and the messages of the data layer.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "zu.h"

namespace zu::data::test {

inline std::vector<std::string>& Messages() {
    static std::vector<std::string> messages;
    return messages;
}

class DataFiles : public ::testing::Test {
protected:
    void SetUp() override {
        Messages().clear();
        SetZuRunMessage([](const char* text) { Messages().emplace_back(text); });
        dir_ =
            std::filesystem::temp_directory_path() / ("zu_data_" + std::to_string(::getpid()) + "_" +
                                                      ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override {
        SetZuRunMessage(nullptr);
        std::filesystem::remove_all(dir_);
    }

    [[nodiscard]] std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void WriteText(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name), std::ios::binary) << text;
    }
    void WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) const {
        std::ofstream out(Path(name), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    [[nodiscard]] std::string ReadText(const std::string& name) const {
        std::ifstream in(Path(name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    [[nodiscard]] static bool Said(const std::string& text) {
        for (const std::string& m : Messages())
            if (m == text) return true;
        return false;
    }

private:
    std::filesystem::path dir_;
};

}  // namespace zu::data::test
