#pragma once

// The construction drawing as a DXF file (AutoCAD 2007, AC1021: UTF-8 text,
// so every reader decodes the Chinese as written), by a small writer of group
// codes: each tendon a block named by its mark, inserted in model space one
// under the other, in millimetres ($INSUNITS 4), text on the Chinese drafting
// fonts (gbenor.shx with gbcbig.shx). Handles are counted from the start, and
// nothing in the file depends on the time or the machine, so the program and
// the page write the same schedule to the same bytes. The tendons' blocks
// are streamed to a scratch file as they come, so a schedule of any length
// takes the memory of one tendon and a name for each.

#include "drawing/drawing.h"
#include "schedule/csv.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace drawing {

class DxfWriter : public schedule::ResultWriter {
public:
    // The file goes to `out` when finished; the setting-out stations are
    // `step` mm apart; `polylines` writes each parabola as chords within
    // 0.05 mm of it, for readers that draw splines badly.
    DxfWriter(std::FILE *out, double step, bool polylines);
    ~DxfWriter() override;

    void write(const schedule::TendonRows &tendon) override;
    bool finish() override;

    // The schedule's rows, counted from 1, with their names, that have no
    // block: rows that failed, and the spans of a tendon one of whose spans
    // failed.
    const std::vector<std::pair<long, std::string>> &leftOut() const { return leftOut_; }

    struct Blocks;

private:
    std::FILE *out_;
    double step_;
    bool polylines_;
    std::unique_ptr<Blocks> blocks_;
    long row_ = 0; // the rows written
    std::vector<std::pair<long, std::string>> leftOut_;
};

} // namespace drawing
