#pragma once

// The schedule as the page keeps it while the engineer edits it: its rows,
// each worked out as a span, joined into tendons; an edit works out again
// only the rows it changed and joins only the tendons they belong to, and
// says which rows' results changed. A row with nothing in it is no tendon,
// as a blank line of a schedule file is none.

#include "schedule/tendons.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace schedule {

class Schedule {
public:
    explicit Schedule(const Stressing &stressing = {}) : stressing_(stressing) {}

    // How rows are stressed from now on. Each row is worked out again when
    // it is next given, and then said to have changed.
    void stressWith(const Stressing &stressing);
    const Stressing &stressing() const { return stressing_; }

    // Rows from `from` on replaced by `given`, the schedule then `total` rows
    // long (given rows past it dropped; the other rows keep what they were
    // worked out to). The tendons the given rows belong to are joined again:
    // every tendon where a mark changed or a row was emptied or filled; every
    // tendon from the old end or the new on where only the length changed.
    // The rows whose results changed, in order.
    std::vector<std::size_t> edit(std::size_t from, std::vector<Record> given, std::size_t total);

    std::size_t size() const { return records_.size(); }
    std::span<const Record> records() const { return records_; }
    // Row n as worked out and joined; none for a row with nothing in it.
    const Result *row(std::size_t n) const { return n < shown_.size() ? shown_[n].get() : nullptr; }

    // Where the tendon of an ok row stands: its rows [first, last) where all
    // of them are ok (`whole`), else the row alone. None for another row.
    struct Place {
        std::size_t first, last;
        bool whole;
    };
    std::optional<Place> tendonOf(std::size_t n) const;
    // The rows of a place tendonOf gave, `rows` holding them.
    TendonRows tendon(const Place &place, std::vector<const Result *> &rows) const;

    // Every tendon from row `from` on, in order, handed to `each` (a
    // writer's) until it gives false; the row after the last handed.
    template <typename Each>
    std::size_t eachTendon(std::size_t from, Each each) const
    {
        std::vector<const Result *> rows;
        for (std::size_t n = from; n < shown_.size();) {
            if (!shown_[n]) {
                ++n;
                continue;
            }
            std::size_t last = n + 1;
            while (linked(last))
                ++last;
            const TendonRows tendon = this->tendon({n, last, true}, rows);
            n = last;
            if (!each(tendon))
                return n;
        }
        return shown_.size();
    }
    // Every row worked out, in order.
    template <typename Each>
    void eachRow(Each each) const
    {
        for (std::size_t n = 0; n < shown_.size(); ++n)
            if (shown_[n])
                each(*shown_[n]);
    }

private:
    // Whether row n goes on with the tendon of row n - 1.
    bool linked(std::size_t n) const;
    void join(std::size_t begin, std::size_t end);

    Stressing stressing_;
    std::vector<Record> records_;
    // Each row worked out as a span, and as shown, joined into its tendon: a
    // tendon of one span whose mark no tendon before it used is shown as it
    // was worked out, the two sharing one result, so joining ten thousand
    // rows again copies none.
    using Shared = std::shared_ptr<const Result>;
    std::vector<Shared> spans_, shown_;
    std::vector<bool> unsaid_; // not said to have changed since the stressing changed
};

} // namespace schedule
