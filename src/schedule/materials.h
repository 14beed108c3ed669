#pragma once

// What a schedule's tendons take from the store: the strand to order for all
// copies of a tendon, and the bill of materials of the whole schedule, strand
// by size, anchors by holes at jacked and at dead ends, duct by the strands
// it holds.

#include "schedule/schedule.h"

#include <map>

namespace schedule {

// The strand cut for every copy of a stressed tendon: its cut length (its
// strand where no allowance is given) × strands × count, and its mass.
struct StrandOrder {
    const StrandSize *size;
    double metres, kilograms;
};
StrandOrder strandOrder(const Stressed &stressed, long count);

class Materials {
public:
    // A tendon by its first row, where its figures stand; a tendon with no
    // figures is counted as left out.
    void add(const Result &row);

    struct Strand {
        std::string_view size;
        double metres = 0, kilograms = 0;
    };
    std::map<double, Strand> strand;            // by nominal diameter
    std::map<long, std::pair<long, long>> anchors; // sets by holes: at jacked ends, at dead ends
    std::map<long, double> duct;                // metres by the strands it holds
    long tendons = 0, leftOut = 0;              // copies counted, and those of tendons with no figures
};

// The bill as the workbook and the sheet give it: tables of a title, their
// columns' headings and rows of texts (numbers as the results write them),
// and what the figures take in.
struct BillTable {
    std::string_view title;
    std::vector<std::string_view> headings;
    std::vector<std::vector<std::string>> rows;
};
std::vector<BillTable> billTables(const Materials &materials);
inline constexpr std::string_view billBasis =
    "钢绞线长度 = 下料长度（未给预留长度时为钢绞线长）× 每束根数 × 根数，重量按 GB/T 5224 的每米理论重量；"
    "锚具按每束张拉端与固定端各一套；孔道长度按钢绞线长 × 根数，未计伸出构件的部分。";

} // namespace schedule
