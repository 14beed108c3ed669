#include "schedule/stream.h"

#include <algorithm>
#include <array>
#include <future>
#include <optional>
#include <thread>

namespace schedule {

void workOutAll(Records &reader, const Stressing &stressing, const std::function<void(const TendonRows &)> &each)
{
    // Each tendon's results depend on its own records alone. Records are read
    // a batch at a time, a batch and each core's share of it ending where a
    // tendon ends; while one batch is worked out on the cores, the tendons of
    // the one before are handed on and the next is read.
    constexpr std::size_t batch = 4096;
    const std::size_t parts = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    struct Batch {
        std::vector<Record> records = std::vector<Record>(batch);
        std::vector<Result> results = std::vector<Result>(batch);
        std::size_t size = 0;
        std::vector<std::future<void>> working; // destroyed, so waited for, before the records
        std::span<const Record> read() const { return std::span(records).first(size); }
    };
    std::array<Batch, 2> batches;
    std::optional<Record> carried; // read ahead: the first record of the next batch
    TendonMarks marks;
    std::vector<const Result *> rows; // of the tendon being handed on
    const auto handOn = [&](Batch &done) {
        for (auto &part : done.working)
            part.get();
        done.working.clear();
        for (std::size_t first = 0, last; first < done.size; first = last) {
            last = tendonEnd(done.read(), first);
            marks.check(done.records[first], done.results[first]);
            rows.clear();
            for (std::size_t n = first; n < last; ++n)
                rows.push_back(&done.results[n]);
            each({done.read().subspan(first, last - first), rows});
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
            to = tendonEnd(b.read(), to - 1);
            b.working.push_back(std::async(std::launch::async, [&b, &stressing, from, to] {
                for (std::size_t first = from, last; first < to; first = last) {
                    last = tendonEnd(b.read(), first);
                    workOutTendon(b.read().subspan(first, last - first), stressing,
                                  std::span(b.results).subspan(first, last - first));
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
