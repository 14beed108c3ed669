// One tendon worked out as a schedule row (entry, equations, length, stressing,
// every result text), built natively and as WebAssembly so the two can be
// set side by side: the median of 9 runs of 20,000 rows, C4 and C2a in turn.
//   build/bench/bench_core            native
//   node build/wasm/bench/bench_core.js   the page's core

#include "schedule/schedule.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

int main()
{
    std::vector<schedule::Record> records(2);
    records[0].fields = {"KL1-1", "C4", "150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", "", "2",
                         "1395", "metal", "", "", "2", "7"};
    records[1].fields = {"L2", "C2a", "150", "90", "", "", "", "", "16010", "1100", "300", "1",
                         "1302", "plastic", "", "", "1", "12"};
    constexpr int rows = 20'000, runs = 9;
    std::vector<double> perTendon;
    std::size_t check = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int n = 0; n < rows; ++n)
            check += schedule::evaluate(records[std::size_t(n % 2)]).cells[schedule::output::length].size();
        const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
        perTendon.push_back(took.count() / rows);
    }
    std::sort(perTendon.begin(), perTendon.end());
    std::printf("one tendon: %.2f us (median of %d runs of %d; fastest %.2f us)\n", perTendon[runs / 2], runs, rows,
                perTendon.front());
    return check == std::size_t(rows) * runs * 5 ? 0 : 1; // both lengths have five digits
}
