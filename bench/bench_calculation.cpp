// One full C4 calculation (coefficients, then strand length) on box texts held
// in memory, and one segment length on its own.


#include "calc/tendon.h"
#include "calc/window_handlers.h"
#include <benchmark/benchmark.h>

#include <array>
#include <string>

namespace {

class MemoryWindow final : public calc::WindowView {
public:
    std::array<std::string, 16> boxes{"", "100", "100", "100", "0.1", "0.5", "0.1", "20000",
                                      "1000", " 无此值 ", "", "", "", "", "",
                                      " 请点击：计算抛物线方程 "};

    std::string text(int box) const override { return boxes[box]; }
    void setText(int box, std::string_view text) override { boxes[box] = text; }
    bool isSelected(int profile) const override { return profile == calc::profile::c4; }
    std::string ask(std::string_view) override { return {}; }
};

void c4Calculation(benchmark::State &state)
{
    MemoryWindow window;
    for (auto _ : state) {
        calc::computeCoefficients(window);
        calc::computeStrandLength(window);
        benchmark::DoNotOptimize(window.boxes[14]);
    }
    if (window.boxes[14] != "20086")
        state.SkipWithError("wrong strand length");
}
BENCHMARK(c4Calculation);

void segmentLength(benchmark::State &state)
{
    double x = 8000, p = 50000;
    for (auto _ : state) {
        benchmark::DoNotOptimize(x);
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(calc::segmentLength(x, p));
    }
}
BENCHMARK(segmentLength);

} // namespace

BENCHMARK_MAIN();
