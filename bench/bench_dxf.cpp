// The construction drawing of 1,000 and of 10,000 tendons (C4 and C2a in
// turn, and tendons of three spans), worked out beforehand and written as
// DXF to a scratch file, as quillmere-schedule --dxf writes it.

#include "drawing/dxf.h"
#include "schedule/schedule.h"
#include "schedule/tendons.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

// The rows worked out, and each tendon's rows among them.
struct Worked {
    std::vector<schedule::Result> results;
    std::vector<std::vector<const schedule::Result *>> tendons;
};

Worked tendons(int count, bool spans)
{
    std::string text = "name,tendon,profile,e1,e2,e3,k1,k2,k3,lc,lg1,lg2\n";
    for (int n = 0; n < count; ++n) {
        const std::string lc = std::to_string(6000 + (n * 37) % 20000);
        const std::string mark = spans ? "T" + std::to_string(n / 3) : "";
        text += n % 2 ? "KL" + std::to_string(n) + "," + mark + ",C4,150,90,120,0.12,0.45,0.08," + lc + ",1200,\n"
                      : "L" + std::to_string(n) + "," + mark + ",C2a,150,90,,,,," + lc + ",1100,300\n";
    }
    std::istringstream in(text);
    schedule::Reader reader(in);
    std::vector<schedule::Record> records;
    for (schedule::Record record; reader.next(record);)
        records.push_back(record);
    Worked worked;
    worked.results.resize(records.size());
    for (std::size_t first = 0, last; first < records.size(); first = last) {
        last = schedule::tendonEnd(records, first);
        schedule::workOutTendon(std::span(records).subspan(first, last - first), {}, std::span(worked.results).subspan(first, last - first));
        auto &tendon = worked.tendons.emplace_back();
        for (std::size_t n = first; n < last; ++n)
            tendon.push_back(&worked.results[n]);
    }
    return worked;
}

void drawn(benchmark::State &state, int count, bool spans)
{
    const Worked worked = tendons(count, spans);
    long bytes = 0;
    for (auto _ : state) {
        std::FILE *out = std::tmpfile();
        drawing::DxfWriter writer(out, 1000, false);
        for (const auto &tendon : worked.tendons)
            writer.write({{}, tendon});
        if (!writer.finish())
            state.SkipWithError("not written");
        bytes = std::ftell(out);
        std::fclose(out);
    }
    state.counters["MB"] = double(bytes) / 1e6;
}

void tendons1000(benchmark::State &state) { drawn(state, 1000, false); }
BENCHMARK(tendons1000)->Unit(benchmark::kMillisecond)->UseRealTime();
void tendons10000(benchmark::State &state) { drawn(state, 10000, false); }
BENCHMARK(tendons10000)->Unit(benchmark::kMillisecond)->UseRealTime();
void spans3000(benchmark::State &state) { drawn(state, 3000, true); }
BENCHMARK(spans3000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
