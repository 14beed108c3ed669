#include "schedule_program/batch.h"

#include <algorithm>
#include <array>
#include <future>
#include <thread>

namespace schedule {

void evaluateAll(Reader &reader, const Stressing &stressing, const std::function<void(const Result &)> &each)
{
    // Each result depends on its own record alone. Records are read a batch
    // at a time; while one batch is worked out, shared between the machine's
    // cores, the results of the one before are handed on and the next is read.
    constexpr std::size_t batch = 4096;
    const std::size_t parts = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1, 8);
    struct Batch {
        std::vector<Record> records = std::vector<Record>(batch);
        std::vector<Result> results = std::vector<Result>(batch);
        std::size_t size = 0;
        std::vector<std::future<void>> working; // destroyed, so waited for, before the records
    };
    std::array<Batch, 2> batches;
    const auto handOn = [&](Batch &done) {
        for (auto &part : done.working)
            part.get();
        done.working.clear();
        for (std::size_t n = 0; n < done.size; ++n)
            each(done.results[n]);
        done.size = 0;
    };
    for (std::size_t current = 0; ; current ^= 1) {
        Batch &b = batches[current];
        bool more = true;
        while (b.size < batch && (more = reader.next(b.records[b.size])))
            ++b.size;
        const std::size_t share = (b.size + parts - 1) / parts;
        for (std::size_t from = 0; from < b.size; from += share) {
            b.working.push_back(std::async(std::launch::async, [&b, &stressing, from, to = std::min(b.size, from + share)] {
                for (std::size_t n = from; n < to; ++n)
                    b.results[n] = evaluate(b.records[n], stressing);
            }));
        }
        handOn(batches[current ^ 1]);
        if (!more) {
            handOn(b);
            return;
        }
    }
}

} // namespace schedule
