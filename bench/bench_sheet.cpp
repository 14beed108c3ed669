// The calculation sheets of 1,000 realistic tendons, C4 and C2a in turn,
// written as one PDF, as quillmere-schedule --sheet does.

#include "schedule/schedule.h"
#include "sheet/sheet.h"

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

void sheets1000(benchmark::State &state)
{
    std::vector<schedule::Result> results;
    for (int n = 0; n < 1000; ++n) {
        schedule::Record record;
        record.fields = n % 2 ? std::array<std::string, schedule::input::columnCount>{"KL" + std::to_string(n), "C4", "150", "90", "120", "0.12", "0.45", "0.08", std::to_string(6000 + n * 23), "1200", "", "2"}
                              : std::array<std::string, schedule::input::columnCount>{"L" + std::to_string(n), "C2a", "150", "90", "", "", "", "", std::to_string(6000 + n * 23), "1100", "300", "1"};
        results.push_back(schedule::evaluate(record));
    }
    QTemporaryDir dir;
    for (auto _ : state) {
        sheet::SheetWriter writer(dir.filePath(QStringLiteral("sheets.pdf")), 1000);
        for (const schedule::Result &result : results) {
            const schedule::Result *const rows[]{&result};
            writer.add({{}, rows});
        }
        if (!writer.finish())
            state.SkipWithError("the sheets were not written");
    }
    state.counters["sheets/s"] = benchmark::Counter(double(state.iterations()) * 1000, benchmark::Counter::kIsRate);
}
BENCHMARK(sheets1000)->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
