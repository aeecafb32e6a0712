// Fixture for the consoles: runs zul's driver on a program in pipe mode,
// serving one command line per input request and collecting output and
// messages, in the order they appear, into one transcript.
#pragma once

#include "zu.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <unistd.h>
#include <vector>

namespace zu::test {

struct SessionState {
    std::string transcript;
    std::vector<std::string> input;  // one line per input request
};

inline SessionState& session() {
    static SessionState s;
    return s;
}

class ConsoleSession : public ::testing::Test {
protected:
    void TearDown() override {
        SetZuPipe(-1);
        SetZuMessage(ZuDefaultMessage);
        SetZuRunMessage(ZuDefaultMessage);
        SetZuExit(nullptr);
        for (const std::string& p : paths_) std::remove(p.c_str());
        if (!folder_.empty()) rmdir(folder_.c_str());
    }

    // Writes a program into a file named name in the scratch folder;
    // returns its name.
    std::string writeProgram(const std::string& name, const std::string& text) {
        if (folder_.empty()) {
            char pattern[] = "/tmp/zu_console_XXXXXX";
            if (!mkdtemp(pattern)) return {};
            folder_ = pattern;
        }
        std::string path = folder_ + "/" + name;
        if (FILE* f = std::fopen(path.c_str(), "w")) {
            std::fputs(text.c_str(), f);
            std::fclose(f);
        }
        paths_.push_back(path);
        return name;
    }

    // Runs "zul -b switches... name" in the scratch folder with the given
    // command lines (each ends with a newline unless it already does); the
    // transcript.
    std::string run(const std::vector<std::string>& switches, const std::string& name,
                    const std::vector<std::string>& lines) {
        char previous[4096];
        if (!getcwd(previous, sizeof previous) || (!folder_.empty() && chdir(folder_.c_str()) != 0))
            return "cannot enter the scratch folder";
        session() = {};
        for (const std::string& l : lines) session().input.push_back(!l.empty() && l.back() == '\n' ? l : l + "\n");
        std::vector<std::string> args{"zul", "-b"};
        args.insert(args.end(), switches.begin(), switches.end());
        if (!name.empty()) args.push_back(name);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ZuMainInit();
        SetZuPipe(0);
        SetZuPuts([](const char* t) { session().transcript += t; });
        SetZuGets([](char* buffer, int size) {
            auto& s = session();
            buffer[0] = '\0';
            if (s.input.empty()) return;
            std::snprintf(buffer, static_cast<std::size_t>(size), "%s", s.input.front().c_str());
            s.input.erase(s.input.begin());
        });
        auto message = [](const char* t) {
            ZuFlush();
            session().transcript += std::string(t) + "\n";
        };
        SetZuMessage(message);
        SetZuRunMessage(message);
        SetZuExit([](int) {});
        ZuMain(static_cast<int>(args.size()), argv.data());
        ZuFlush();
        ZuMainExit();
        if (chdir(previous) != 0) return "cannot leave the scratch folder";
        return session().transcript;
    }

    std::string folder_;
    std::vector<std::string> paths_;
};

}  // namespace zu::test
