#pragma once

// A schedule of tendons as a spreadsheet keeps it, and each tendon's results
// as the window would show them. Plain C++: reading the schedule, working out
// its rows through the tendon core, and the result columns.
//
// The schedule is read as it streams in, one record at a time, so a schedule
// of any length takes the same memory.

#include "calc/tendon.h"

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace schedule {

// The input columns, by role.
namespace input {
enum Column { name, profile, e1, e2, e3, k1, k2, k3, lc, lg1, lg2, count, columnCount };
}

// One data record of the schedule: its fields by column ("" where the
// schedule has no such column or the record ends early), and the line it
// starts on.
struct Record {
    int line = 0;
    std::array<std::string, input::columnCount> fields;
};

// The schedule cannot be read at all. Line and column are 1-based; 0 where
// they do not apply.
class ReadError : public std::runtime_error {
public:
    ReadError(int line, int column, const std::string &message)
        : std::runtime_error(message), line(line), column(column)
    {
    }
    int line, column;
};

// Reads CSV (RFC 4180 quoting) or tab-separated text, told apart by the header
// line; UTF-8 with or without a byte-order mark, or GB18030; CRLF or LF.
// Blank records are skipped. The header names the columns in any order, in
// any case, in English or as 编号, 线型 and 根数; columns it does not know are
// ignored, and count, e3, k1, k2, k3 and lg2 may be left out.
class Reader {
public:
    explicit Reader(std::istream &in); // reads the header
    ~Reader();
    Reader(const Reader &) = delete;
    Reader &operator=(const Reader &) = delete;

    // The next data record; false at the end of the schedule.
    bool next(Record &record);

private:
    bool physicalLine(std::string &line);
    std::string decoded(std::string raw);
    bool fields(std::vector<std::string> &fields, bool header);

    std::istream &in_;
    char delimiter_ = ',';
    int line_ = 0, start_ = 0; // the last line read, the line the last record began on
    enum class Encoding { undecided, utf8, gb18030 } encoding_ = Encoding::undecided;
    struct Converter;
    std::unique_ptr<Converter> gb18030_; // closed also when the header cannot be read
    std::array<int, input::columnCount> position_{}; // field index of each column, -1 if absent
};

// The result columns, in order.
namespace output {
enum Column {
    name, profile, e1, e2, e3, k1, k2, k3, lc, lg1, lg2, count,
    a1, a2, a3, a4, l1, l2, l3, l4, length, total, status, message,
    columnCount
};
std::string_view title(int column);
// Whether a column holds numbers (where its text is one).
bool numeric(int column);
} // namespace output

struct Result {
    std::array<std::string, output::columnCount> cells;
    bool ok() const { return cells[output::status] == "ok"; }
    // The tendon as computed, where the row got that far; the count as read.
    std::optional<calc::Tendon> tendon;
    long count = 1;
};

// A record worked out as the window works out the same answers: entry as the
// prompts take them, then the equations and the length. A field the profile
// needs must be wholly a number; a field that is not, an unknown profile or a
// count that is no positive whole number refuses the row with status
// "input". A failed row keeps what was computed before the failure.
Result evaluate(const Record &record);

// "2019.06.0006", as the window's credits show it.
std::string versionText();

// Whether a text is wholly a plain decimal number ("12", "-0.5", "1e5",
// blanks around it allowed), as a schedule field must be.
bool plainNumber(std::string_view text);

} // namespace schedule
