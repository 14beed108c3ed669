#pragma once

// A workbook (XLSX) read as a spreadsheet program saved it, whichever
// program that was: its package opened with minizip, every XML part read by
// expat as a stream of events, a worksheet's rows handed on one at a time, so
// a sheet of a million rows takes the memory of one. Plain C++, built for
// the program and for the page.
//
// A workbook arrives from anywhere, so nothing in it is trusted: a part may
// inflate only so far beyond its size in the package, a cell and a row hold
// only what a spreadsheet can hold, and a part with a document type (where
// entity expansion hides) is refused. Each limit is checked before the
// memory is spent.

#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace workbook {

// The file cannot be read as a workbook at all, and why, in the engineer's
// words.
class Unreadable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A cell as the spreadsheet holds it.
struct Cell {
    enum Kind {
        string,  // as typed, rich-text runs joined, phonetic guides left out
        number,  // the shortest text that reads back as the double stored
        boolean, // TRUE or FALSE
        error,   // "#N/A", "#DIV/0!", ...
        unsaved, // a formula whose value was never saved
        date,    // a number shown as a date or time, or a date cell
    };
    int column = 0; // from 0 for column A
    Kind kind = string;
    std::string text;
};

struct Row {
    int number = 0;          // from 1, as the spreadsheet numbers it
    std::vector<Cell> cells; // those with something in them, left to right
};

// "F7": a cell's name from its column (0 for A) and row.
std::string cellName(int column, int row);

// Whether bytes begin as a zip package, as every workbook does.
bool isPackage(std::string_view bytes);
// Why bytes that begin as a compound document (an Excel 97-2003 workbook, or
// an encrypted workbook, which Office wraps in one) cannot be read; "" for
// other bytes.
std::string compoundDocument(std::string_view bytes);

class SheetRows;

class Workbook {
public:
    // A workbook in a file, or in bytes the caller keeps while it is read.
    explicit Workbook(const std::string &path);
    explicit Workbook(std::span<const char> bytes);
    ~Workbook();
    Workbook(const Workbook &) = delete;
    Workbook &operator=(const Workbook &) = delete;

    // The worksheets' names, in the workbook's order (chart sheets are none).
    const std::vector<std::string> &sheets() const { return names_; }

    class Rows {
    public:
        virtual ~Rows() = default;
        // The next row with a cell that holds something; false after the
        // last. Throws Unreadable where the sheet's part is damaged.
        virtual bool next(Row &row) = 0;
    };
    // A worksheet's rows as they stream in; one sheet at a time.
    std::unique_ptr<Rows> rows(std::size_t sheet) const;

    struct Package;

private:
    friend class SheetRows;
    void load();

    std::unique_ptr<Package> package_;
    std::vector<std::string> names_, parts_;
    // Shared strings end to end, each starting at its offset.
    std::string strings_;
    std::vector<std::uint32_t> starts_;
    std::vector<bool> dateStyles_; // by cell style index
};

} // namespace workbook
