#include "schedule_program/batch.h"

#include <algorithm>
#include <array>
#include <future>
#include <optional>
#include <thread>

namespace schedule {

void evaluateAll(Records &reader, const Stressing &stressing, const std::function<void(const Result &, const Record &)> &each)
{
    // Each tendon's results depend on its own records alone. Records are read
    // a batch at a time, a batch and each core's share of it ending where a
    // tendon ends; while one batch is worked out on the cores (its spans, then
    // its tendons), the results of the one before are handed on and the next
    // is read.
    constexpr std::size_t batch = 4096;
    const std::size_t parts = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    struct Batch {
        std::vector<Record> records = std::vector<Record>(batch);
        std::vector<Result> results = std::vector<Result>(batch);
        std::size_t size = 0;
        std::vector<std::future<void>> working; // destroyed, so waited for, before the records
    };
    std::array<Batch, 2> batches;
    std::optional<Record> carried; // read ahead: the first record of the next batch
    TendonMarks marks;
    const auto handOn = [&](Batch &done) {
        for (auto &part : done.working)
            part.get();
        done.working.clear();
        for (std::size_t n = 0; n < done.size; ++n) {
            if (n == 0 || !sameTendon(done.records[n - 1], done.records[n]))
                marks.check(done.records[n], done.results[n]);
            each(done.results[n], done.records[n]);
        }
        done.size = 0;
    };
    const auto slot = [](Batch &b) -> Record & {
        if (b.size == b.records.size()) {
            b.records.emplace_back();
            b.results.emplace_back();
        }
        return b.records[b.size];
    };
    for (std::size_t current = 0; ; current ^= 1) {
        Batch &b = batches[current];
        bool more = true;
        if (carried) {
            slot(b) = std::move(*carried);
            carried.reset();
            ++b.size;
        }
        while (b.size < batch && (more = reader.next(slot(b))))
            ++b.size;
        // A tendon that runs past the batch's end goes with it.
        while (more && b.size > 0) {
            Record &next = carried.emplace();
            if (!(more = reader.next(next))) {
                carried.reset();
                break;
            }
            if (!sameTendon(b.records[b.size - 1], next))
                break;
            slot(b) = std::move(next);
            carried.reset();
            ++b.size;
        }
        const std::size_t share = (b.size + parts - 1) / parts;
        for (std::size_t from = 0; from < b.size;) {
            std::size_t to = std::min(b.size, from + share);
            while (to < b.size && sameTendon(b.records[to - 1], b.records[to]))
                ++to;
            b.working.push_back(std::async(std::launch::async, [&b, &stressing, from, to] {
                for (std::size_t first = from; first < to;) {
                    std::size_t last = first + 1;
                    while (last < to && sameTendon(b.records[last - 1], b.records[last]))
                        ++last;
                    for (std::size_t n = first; n < last; ++n)
                        b.results[n] = evaluate(b.records[n], stressing, last - first == 1);
                    joinTendon(std::span(b.results).subspan(first, last - first),
                               std::span(b.records).subspan(first, last - first), stressing);
                    first = last;
                }
            }));
            from = to;
        }
        handOn(batches[current ^ 1]);
        if (!more && !carried) {
            handOn(b);
            return;
        }
    }
}

} // namespace schedule
