// Graphics files of any content: read into a drawing, which is then
// written back, so that whatever the reader accepted is also walked.
#include "draw/drawing.h"
#include "fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string file = zu::fuzz::InputFile({reinterpret_cast<const char*>(data), size}, ".zug");
    if (zu::draw::Drawing* drawing = zu::draw::DrawingRead(nullptr, file.c_str())) {
        zu::draw::DrawingWrite((file + ".out").c_str(), drawing);
        zu::draw::DrawingClose(drawing);
    }
    return 0;
}
