#pragma once

// What Quillmere reads from an engineer's workbook: a schedule of tendons on
// one of its worksheets, and the site record (张拉记录) the program and the
// page write, as it comes back from site with the readings typed in.

#include "schedule/schedule.h"
#include "workbook/reader.h"
#include "workbook/xlsx.h"

#include <string>
#include <variant>
#include <vector>

namespace workbook {

// The schedule on a worksheet, read as the CSV reader reads the same sheet
// saved as CSV: the sheet named, else the first in the workbook's order
// whose first rows hold a schedule's header (title rows above it are passed
// over). A cell's field is the text the spreadsheet would save: a number as
// the shortest text of its double, TRUE or FALSE. A cell with an error, a
// formula whose value was never saved, or a date leaves its field empty and
// names itself ("Sheet2!F7") in the record's unreadable, so the row is
// refused where it needs the value. Rows stream in as the sheet is read.
class ScheduleSheet : public schedule::Records {
public:
    // Throws schedule::ReadError, its place the worksheet or the cell, where
    // no worksheet holds a schedule; Unreadable where the workbook is damaged.
    explicit ScheduleSheet(const Workbook &book, const std::string &sheet = {});

    bool next(schedule::Record &record) override;
    std::shared_ptr<const schedule::Header> header() const override { return header_.header; }
    const std::string &sheet() const { return sheet_; }
    // The columns the header names, in its order.
    std::vector<schedule::input::Column> columns() const;

private:
    std::unique_ptr<Workbook::Rows> rows_;
    std::string sheet_;
    schedule::Positions positions_{};
    std::vector<int> inputAt_; // the input column of each worksheet column, -1 for none
    schedule::HeaderColumns header_;
    int width_ = 0; // the header's columns, to its last title
    Row row_;
};

// The worksheets whose first rows hold a schedule's header, in the
// workbook's order.
std::vector<std::string> scheduleSheets(const Workbook &book);

// One jack's readings in a site record read back.
struct ImportedJack {
    std::string tendon;
    int end;                // 0 left, 1 right
    std::string elongation; // the elongation the record checks against, as its cell holds it
    schedule::JackReadings readings;
};

// The site record's jacks, or why the workbook holds none.
std::variant<std::vector<ImportedJack>, std::string> siteRecord(const Workbook &book);

} // namespace workbook
