#include "schedule/materials.h"

#include "numeric/number_text.h"

namespace schedule {

StrandOrder strandOrder(const Stressed &stressed, long count)
{
    const Stressing &s = stressed.stressing;
    const double metres = s.cut(stressed.length) * double(s.strands) * double(count) / 1000;
    return {s.size, metres, metres * s.size->mass};
}

void Materials::add(const Result &row)
{
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

std::vector<BillTable> billTables(const Materials &m)
{
    std::vector<BillTable> tables{{"钢绞线（1×7，GB/T 5224）", {"公称直径 (mm)", "长度 (m)", "重量 (t)"}, {}},
                                  {"锚具", {"孔数", "张拉端 (套)", "固定端 (套)"}, {}},
                                  {"孔道", {"每孔钢绞线根数", "长度 (m)"}, {}}};
    for (const auto &[diameter, bought] : m.strand)
        tables[0].rows.push_back({std::string(bought.size), numeric::writeNumber(bought.metres), fixed(bought.kilograms / 1000, 3)});
    for (const auto &[holes, sets] : m.anchors)
        tables[1].rows.push_back({std::to_string(holes), std::to_string(sets.first), std::to_string(sets.second)});
    for (const auto &[strands, metres] : m.duct)
        tables[2].rows.push_back({std::to_string(strands), numeric::writeNumber(metres)});
    return tables;
}

} // namespace schedule
