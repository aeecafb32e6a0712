// Time to save a drawing of 10^6 points: a random walk drawn as a line and
// a cloud drawn as symbols, each rendered onto its sheet and written as
// Encapsulated PostScript and as PNG.  Prints the wall time of each save.
//
//     build/release/stage/bin/draw_bench [folder]
#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "draw/drawing.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

void Save(zu::draw::Drawing* d, const std::string& name, bool png) {
    const auto start = Clock::now();
    zu::draw::DrawDrawing(d);
    const int ok = png ? zu::draw::GDIsaveWithCairo(name.c_str(), *d->sheet, zu::draw::CairoForm::kPng)
                       : zu::draw::GDIsaveAsPostScriptFile(name.c_str(), *d->sheet, 1);
    std::printf("%-28s %6.3f s%s\n", name.c_str(), Seconds(start), ok ? "" : "  (not written)");
}

}  // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? std::string(argv[1]) + "/" : "";
    constexpr int n = 1000000;
    std::mt19937_64 generator(42);
    std::normal_distribution<double> normal;
    std::vector<double> walk(n), x(n), y(n);
    double level = 0;
    for (int i = 0; i < n; ++i) {
        level += normal(generator);
        walk[static_cast<std::size_t>(i)] = level;
        x[static_cast<std::size_t>(i)] = normal(generator);
        y[static_cast<std::size_t>(i)] = normal(generator);
    }
    zu::draw::Drawing* line = zu::draw::DrawingOpen();
    zu::draw::IDrawVector(line, 0, walk.data(), n, "random walk", 1, 1, 2, false);
    Save(line, folder + "bench_line.eps", false);
    Save(line, folder + "bench_line.png", true);
    zu::draw::DrawingClose(line);

    zu::draw::Drawing* cloud = zu::draw::DrawingOpen();
    zu::draw::IDrawXVector(cloud, 0, y.data(), n, "cloud", x.data(), "x", 2, false);
    zu::draw::SetDrawVecSymbolUse(cloud, 0, 1);
    Save(cloud, folder + "bench_symbols.eps", false);
    Save(cloud, folder + "bench_symbols.png", true);
    zu::draw::DrawingClose(cloud);
    return 0;
}
