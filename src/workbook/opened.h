#pragma once

// A schedule opened as what its bytes hold says, not as its name says: a
// workbook (a zip package) or CSV text; an Excel 97-2003 or an encrypted
// workbook is refused with what to do. The program and the page open a
// schedule by this alone.

#include "schedule/schedule.h"
#include "workbook/reader.h"
#include "workbook/records.h"

#include <istream>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace workbook {

class OpenedSchedule {
public:
    // The schedule `in` holds, from its start: the file at `path`, or
    // standard input where `path` is "" (a workbook is then read whole into
    // memory, a text as it comes, so a schedule piped in row by row is worked
    // out as it comes). A workbook's schedule is on `worksheet`, else on the
    // first worksheet with a header; a text with a worksheet named is
    // refused, as the command line's --worksheet is for a workbook. Throws
    // schedule::ReadError where the header cannot be read, Unreadable where
    // a workbook is damaged.
    OpenedSchedule(std::istream &in, const std::string &path, const std::string &worksheet = {});
    // The schedule whose bytes are in memory (`worksheet`, for a workbook).
    explicit OpenedSchedule(std::string bytes, const std::string &worksheet = {});
    ~OpenedSchedule();
    OpenedSchedule(const OpenedSchedule &) = delete;
    OpenedSchedule &operator=(const OpenedSchedule &) = delete;

    // Whether bytes begin as a workbook does: a zip package, or a compound
    // document (refused, saying why).
    static bool workbookBytes(std::string_view head);

    // Why the schedule is not open (then there are no records); "" where it is.
    const std::string &refused() const { return refused_; }
    schedule::Records &records() { return *records_; }
    // The columns its header names, in its order.
    std::vector<schedule::input::Column> columns() const;
    // The workbook and the worksheet it is read from; none for text.
    const Workbook *book() const { return book_.get(); }
    const ScheduleSheet *sheet() const { return sheet_; }

private:
    void openWorkbook(const std::string &path, const std::string &worksheet);
    void openText(std::istream &in, const std::string &worksheet);

    class Prefixed;
    std::string bytes_; // a workbook read into memory
    std::unique_ptr<Prefixed> prefixed_;
    std::unique_ptr<std::istream> text_;
    std::unique_ptr<Workbook> book_;
    std::unique_ptr<schedule::Records> records_;
    ScheduleSheet *sheet_ = nullptr;
    schedule::Reader *reader_ = nullptr;
    std::string refused_;
};

} // namespace workbook
