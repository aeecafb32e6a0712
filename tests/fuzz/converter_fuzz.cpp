// Gauss programs of any content through the converter.
#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "driver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string base = "/tmp/zu-fuzz-g2zu-" + std::to_string(getpid());
    const std::string input = base + ".prg", output = base + ".zu";
    if (FILE* f = std::fopen(input.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    // Earlier outputs would make the converter ask before overwriting.
    std::remove(output.c_str());
    std::remove((base + ".h").c_str());
    char program[] = "g2zu";
    char* args[] = {program, const_cast<char*>(input.c_str()), const_cast<char*>(output.c_str())};
    g2zu::run(3, args);
    return 0;
}
