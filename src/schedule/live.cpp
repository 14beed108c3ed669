#include "schedule/live.h"

#include <algorithm>

namespace schedule {

namespace {

// Whether a row shows the same as before: the column at fault, its place in
// its tendon and every cell.
bool sameShown(const Result *a, const Result *b)
{
    if (a == b)
        return true;
    return a && b && a->fault == b->fault && a->spans == b->spans && a->cells == b->cells;
}

} // namespace

void Schedule::stressWith(const Stressing &stressing)
{
    stressing_ = stressing;
    unsaid_.assign(unsaid_.size(), true);
}

bool Schedule::linked(std::size_t n) const
{
    return n > 0 && n < spans_.size() && spans_[n - 1] && spans_[n] && sameTendon(records_[n - 1], records_[n]);
}

std::vector<std::size_t> Schedule::edit(std::size_t from, std::vector<Record> given, std::size_t total)
{
    const std::size_t before = records_.size();
    records_.resize(total);
    spans_.resize(total);
    shown_.resize(total);
    unsaid_.resize(total);
    bool marksMoved = false;
    std::size_t at = from;
    for (Record &record : given) {
        if (at >= total)
            break;
        // A mark changed, or a row emptied or filled, may regroup rows around it.
        marksMoved = marksMoved || record.fields[input::tendon] != records_[at].fields[input::tendon]
                     || record.blank() != records_[at].blank();
        records_[at] = std::move(record);
        spans_[at].reset();
        if (!records_[at].blank())
            spans_[at] = std::make_shared<const Result>(evaluate(records_[at], stressing_));
        ++at;
    }

    // The tendons to join again: those of the rows given; every tendon where
    // a mark moved; where only the number of rows changed, every tendon from
    // the old end or the new on, the rows before them keeping their places.
    std::size_t begin = std::min(from, total), end = std::min(at, total);
    if (marksMoved) {
        begin = 0;
        end = total;
    } else if (total != before) {
        begin = std::min({begin, before, total ? total - 1 : 0});
        end = total;
    }
    while (begin > 0 && begin < total && linked(begin))
        --begin;
    while (end < total && linked(end))
        ++end;
    const std::vector<Shared> was(shown_.begin() + std::ptrdiff_t(begin), shown_.begin() + std::ptrdiff_t(end));
    join(begin, end);

    std::vector<std::size_t> changed;
    for (std::size_t n = begin; n < end; ++n) {
        if (!unsaid_[n] && sameShown(shown_[n].get(), was[n - begin].get()))
            continue;
        unsaid_[n] = false;
        changed.push_back(n);
    }
    return changed;
}

void Schedule::join(std::size_t begin, std::size_t end)
{
    TendonMarks marks;
    for (std::size_t n = 0; n < begin; ++n)
        if (spans_[n] && !linked(n))
            marks.passed(records_[n]);
    for (std::size_t n = begin; n < end;) {
        if (!spans_[n]) {
            shown_[n++].reset();
            continue;
        }
        std::size_t last = n + 1;
        while (last < end && linked(last))
            ++last;
        if (last - n == 1 && !marks.usedBefore(records_[n])) {
            marks.passed(records_[n]);
            shown_[n] = spans_[n];
            ++n;
            continue;
        }
        std::vector<Result> tendon; // copies: the spans' own results are kept for the next joining
        for (std::size_t k = n; k < last; ++k)
            tendon.push_back(*spans_[k]);
        joinTendon(tendon, std::span(records_).subspan(n, last - n), stressing_);
        marks.check(records_[n], tendon.front());
        for (Result &row : tendon)
            shown_[n++] = std::make_shared<const Result>(std::move(row));
    }
}

TendonRows Schedule::tendon(const Place &place, std::vector<const Result *> &rows) const
{
    rows.clear();
    for (std::size_t n = place.first; n < place.last; ++n)
        rows.push_back(shown_[n].get());
    return {records().subspan(place.first, place.last - place.first), rows};
}

std::optional<Schedule::Place> Schedule::tendonOf(std::size_t n) const
{
    if (n >= shown_.size() || !shown_[n] || !shown_[n]->ok())
        return std::nullopt;
    std::size_t first = n, last = n + 1;
    while (linked(first))
        --first;
    while (linked(last))
        ++last;
    bool whole = true;
    for (std::size_t k = first; k < last; ++k)
        whole = whole && shown_[k] && shown_[k]->ok();
    if (!whole)
        return Place{n, n + 1, false};
    return Place{first, last, true};
}

} // namespace schedule
