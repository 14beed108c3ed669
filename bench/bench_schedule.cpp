// A schedule of 100,000 realistic tendons, C4 and C2a in turn, each stressed
// by its own columns, read from text, worked out (on all cores) and written
// as CSV, as quillmere-schedule does; and 100,000 rows as continuous tendons
// of three spans. Reported as rows a second.

#include "schedule/csv.h"
#include "schedule/stream.h"
#include "schedule/schedule.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

std::string scheduleText(int rows)
{
    std::string text = "name,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2,count,sigma_con,duct,ends,strands\n";
    const char *stressing[]{",1395,metal,2,7\n", ",1302,plastic,1,12\n", ",,钢管,2,\n", ",1290,unbonded,1,5\n"};
    for (int n = 0; n < rows; ++n) {
        const int lc = 6000 + (n * 37) % 26000;
        text += n % 2 ? "KL" + std::to_string(n) + ",C4,150,90,120,0.12,0.45,0.08," + std::to_string(lc) + ",1200,,2"
                      : "L" + std::to_string(n) + ",C2a,150,90,,,,," + std::to_string(lc) + ",1100,300,1";
        text += stressing[n % 4];
    }
    return text;
}

// 100,000 rows as tendons of three C4 spans each, jacked at both ends.
std::string continuousText(int rows)
{
    std::string text = "name,tendon,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2,count,ends,strands\n";
    const char *spans[]{",C4,150,90,120,0.12,0.45,0.08,", ",C4,120,100,120,0.1,0.5,0.1,", ",C4,120,90,150,0.08,0.55,0.12,"};
    for (int n = 0; n < rows; ++n) {
        const int lc = 6000 + (n / 3 * 37) % 20000;
        text += "S" + std::to_string(n) + ",T" + std::to_string(n / 3) + spans[n % 3] + std::to_string(lc) + ",1200,,2,2,7\n";
    }
    return text;
}

void run(benchmark::State &state, const std::string &text)
{
    std::int64_t tendons = 0;
    for (auto _ : state) {
        std::FILE *out = std::tmpfile();
        std::istringstream in(text);
        schedule::Reader reader(in);
        const auto writer = schedule::csvWriter(out);
        schedule::workOutAll(reader, {}, [&](const schedule::TendonRows &tendon) {
            if (!tendon.whole())
                state.SkipWithError("a tendon failed");
            writer->write(tendon);
            tendons += std::int64_t(tendon.rows.size());
        });
        writer->finish();
        std::fclose(out);
    }
    state.counters["rows/s"] = benchmark::Counter(double(tendons), benchmark::Counter::kIsRate);
}

void schedule100000(benchmark::State &state) { run(state, scheduleText(100'000)); }
BENCHMARK(schedule100000)->Unit(benchmark::kMillisecond)->UseRealTime();

void continuous100000(benchmark::State &state) { run(state, continuousText(100'000)); }
BENCHMARK(continuous100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
