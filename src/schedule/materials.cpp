#include "schedule/materials.h"

namespace schedule {

StrandOrder strandOrder(const Stressed &stressed, long count)
{
    const Stressing &s = stressed.stressing;
    const double metres = s.cut(stressed.length) * double(s.strands) * double(count) / 1000;
    return {s.size, metres, metres * s.size->mass};
}

void Materials::add(const Result &row)
{
    if (row.spans == 0)
        return;
    if (!row.stressed) {
        leftOut += row.count;
        return;
    }
    const Stressed &stressed = *row.stressed;
    const Stressing &s = stressed.stressing;
    const StrandOrder order = strandOrder(stressed, row.count);
    Strand &bought = strand[order.size->diameter];
    bought.size = order.size->name;
    bought.metres += order.metres;
    bought.kilograms += order.kilograms;
    const int live = calc::jackedEnds(s.ends);
    auto &[atJacks, atDeadEnds] = anchors[s.strands];
    atJacks += row.count * live;
    atDeadEnds += row.count * (2 - live);
    duct[s.strands] += stressed.length * double(row.count) / 1000;
    tendons += row.count;
}

} // namespace schedule
