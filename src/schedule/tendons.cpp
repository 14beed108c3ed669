#include "schedule/tendons.h"

#include <algorithm>

namespace schedule {

bool TendonRows::whole() const
{
    return std::all_of(rows.begin(), rows.end(), [](const Result *row) { return row->ok(); });
}

std::size_t tendonEnd(std::span<const Record> records, std::size_t first)
{
    std::size_t last = first + 1;
    while (last < records.size() && sameTendon(records[last - 1], records[last]))
        ++last;
    return std::min(last, records.size());
}

void workOutTendon(std::span<const Record> records, const Stressing &stressing, std::span<Result> rows)
{
    for (std::size_t n = 0; n < records.size(); ++n)
        rows[n] = evaluate(records[n], stressing, records.size() == 1);
    joinTendon(rows, records, stressing);
}

} // namespace schedule
