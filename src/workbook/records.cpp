#include "workbook/records.h"

#include <algorithm>
#include <map>
#include <optional>

namespace workbook {

namespace {

// A row's texts by column from A, as a header's titles.
std::vector<std::string> titles(const Row &row)
{
    std::vector<std::string> out;
    for (const Cell &cell : row.cells) {
        if (std::size_t(cell.column) >= out.size())
            out.resize(std::size_t(cell.column) + 1);
        out[std::size_t(cell.column)] = cell.text;
    }
    return out;
}

// The place a ReadError names on a worksheet: the cell of its row and
// column, the row's first where it names no column, the sheet where it
// names no row.
std::string placeOf(const std::string &sheet, const schedule::ReadError &error)
{
    if (error.line <= 0)
        return sheet;
    return sheet + "!" + cellName(std::max(0, error.column - 1), error.line);
}

struct Found {
    std::unique_ptr<Workbook::Rows> rows;
    schedule::Positions positions;
    std::vector<std::string> titles;
};

// The header among a worksheet's first rows, its rows read on from there;
// else why not.
std::variant<Found, schedule::ReadError> headerOf(const Workbook &book, std::size_t sheet)
{
    std::unique_ptr<Workbook::Rows> rows = book.rows(sheet);
    schedule::HeaderSearch search;
    const std::string &name = book.sheets()[sheet];
    try {
        for (Row row; rows->next(row) && row.number <= schedule::HeaderSearch::searched;)
            if (std::vector<std::string> header = titles(row); search.offer(header, row.number))
                return Found{std::move(rows), search.positions(), std::move(header)};
        const schedule::ReadError failure = search.failure();
        return schedule::ReadError(failure.line, failure.column, failure.what(), placeOf(name, failure));
    } catch (const schedule::ReadError &error) {
        throw schedule::ReadError(error.line, error.column, error.what(), placeOf(name, error));
    }
}

const char *why(Cell::Kind kind)
{
    switch (kind) {
    case Cell::error:
        return " 是错误值 ";
    case Cell::unsaved:
        return " 是未存计算结果的公式：请在电子表格程序中打开并保存后再读 (a formula with no saved value: open and save the workbook in the spreadsheet program first)";
    case Cell::date:
        return " 是日期，不是数 (a date where a number is wanted)";
    default:
        return "";
    }
}

} // namespace

ScheduleSheet::ScheduleSheet(const Workbook &book, const std::string &sheet)
{
    const std::vector<std::string> &names = book.sheets();
    if (!sheet.empty() && std::find(names.begin(), names.end(), sheet) == names.end()) {
        std::string all;
        for (const std::string &name : names)
            all += (all.empty() ? "" : ", ") + name;
        throw schedule::ReadError(0, 0, "工作簿中没有名为 " + sheet + " 的工作表（有：" + all + "）(no worksheet of that name)");
    }
    std::optional<schedule::ReadError> first;
    for (std::size_t n = 0; n < names.size(); ++n) {
        if (!sheet.empty() && names[n] != sheet)
            continue;
        auto found = headerOf(book, n);
        if (auto *failure = std::get_if<schedule::ReadError>(&found)) {
            // Of sheets with no header, the first that names a column says
            // which it lacks.
            if (!first || (first->line == 0 && failure->line > 0))
                first = *failure;
            continue;
        }
        auto &[rows, positions, header] = std::get<Found>(found);
        rows_ = std::move(rows);
        positions_ = positions;
        header_ = schedule::headerOf(header, positions);
        width_ = int(header.size());
        sheet_ = names[n];
        for (int column = 0; column < schedule::input::columnCount; ++column)
            if (const int at = positions_[std::size_t(column)]; at >= 0) {
                if (std::size_t(at) >= inputAt_.size())
                    inputAt_.resize(std::size_t(at) + 1, -1);
                inputAt_[std::size_t(at)] = column;
            }
        return;
    }
    if (names.empty())
        throw schedule::ReadError(0, 0, "工作簿中没有工作表 (the workbook has no worksheet)");
    if (first && (first->line > 0 || !sheet.empty()))
        throw *first;
    throw schedule::ReadError(0, 0, "工作簿中没有钢绞线表：没有一张工作表的前 " + std::to_string(schedule::HeaderSearch::searched)
                                        + " 行列出 name, profile, e1, e2, lc, lg1 (no worksheet holds a schedule's header)",
                              sheet);
}

bool ScheduleSheet::next(schedule::Record &record)
{
    for (;;) {
        if (!rows_->next(row_))
            return false;
        // As a CSV line: a row with nothing but blanks in it is none.
        if (std::all_of(row_.cells.begin(), row_.cells.end(), [](const Cell &c) {
                return (c.kind == Cell::string || c.kind == Cell::number) && schedule::trimmed(c.text).empty();
            }))
            continue;
        record.line = row_.number;
        for (std::string &field : record.fields)
            field.clear();
        record.unreadable.clear();
        record.refused.clear();
        record.header = header_.header;
        record.others.assign(header_.others.size(), {});
        std::string beyond;
        for (Cell &cell : row_.cells) {
            const int column = std::size_t(cell.column) < inputAt_.size() ? inputAt_[std::size_t(cell.column)] : -1;
            if (cell.column >= width_ && !schedule::trimmed(cell.text).empty())
                beyond += (beyond.empty() ? "" : "、") + sheet_ + "!" + cellName(cell.column, row_.number) + "“" + cell.text + "”";
            const auto other = std::find(header_.others.begin(), header_.others.end(), cell.column);
            if (other != header_.others.end())
                record.others[std::size_t(other - header_.others.begin())] = cell.text;
            if (column < 0)
                continue;
            if (const std::string because = why(cell.kind); !because.empty())
                record.unreadable.emplace_back(column, sheet_ + "!" + cellName(cell.column, row_.number) + because
                                                           + (cell.kind == Cell::error ? cell.text + " (an error value)" : ""));
            else
                record.fields[std::size_t(column)] = std::move(cell.text);
        }
        // A value past the header's last title belongs to no column.
        if (!beyond.empty())
            record.refused = "表头右侧有内容 " + beyond + "：不属于任何列 (cells right of the header's last column)";
        return true;
    }
}

std::vector<schedule::input::Column> ScheduleSheet::columns() const
{
    std::vector<schedule::input::Column> named;
    for (const int column : inputAt_)
        if (column >= 0)
            named.push_back(schedule::input::Column(column));
    return named;
}

std::vector<std::string> scheduleSheets(const Workbook &book)
{
    std::vector<std::string> found;
    for (std::size_t n = 0; n < book.sheets().size(); ++n) {
        try {
            if (std::holds_alternative<Found>(headerOf(book, n)))
                found.push_back(book.sheets()[n]);
        } catch (const schedule::ReadError &) {
            found.push_back(book.sheets()[n]); // a header, if a faulty one: opening it says what is wrong
        }
    }
    return found;
}

std::variant<std::vector<ImportedJack>, std::string> siteRecord(const Workbook &book)
{
    const auto sheet = std::find(book.sheets().begin(), book.sheets().end(), "张拉记录");
    if (sheet == book.sheets().end())
        return std::string("工作簿中没有“张拉记录”工作表。");
    const auto rows = book.rows(std::size_t(sheet - book.sheets().begin()));
    namespace column = schedule::recordColumn;
    bool headed = false;
    std::vector<ImportedJack> jacks;
    for (Row row; rows->next(row);) {
        std::map<int, std::string> cells;
        for (Cell &cell : row.cells)
            cells[cell.column] = std::move(cell.text);
        const auto cell = [&](int at) {
            const auto found = cells.find(at);
            return found == cells.end() ? std::string() : found->second;
        };
        if (!headed) {
            headed = cell(column::mark) == "编号";
            continue;
        }
        const std::string end = cell(column::end);
        if (end != schedule::endName(0) && end != schedule::endName(1))
            continue;
        ImportedJack jack{cell(column::mark), end == schedule::endName(1), cell(column::elongation), {}};
        for (int kind = 0; kind < schedule::reading::count; ++kind)
            jack.readings.typed[std::size_t(kind)] = cell(column::readings[kind]);
        // "L0 2026-12-07T08:30:00.000Z；L1 ...": when each was taken.
        const std::string times = cell(column::times);
        for (std::size_t from = 0; from < times.size();) {
            std::size_t to = times.find("；", from);
            if (to == std::string::npos)
                to = times.size();
            const std::string item = times.substr(from, to - from);
            const std::size_t space = item.find(' ');
            for (int kind = 0; kind < schedule::reading::count && space != std::string::npos; ++kind)
                if (item.substr(0, space) == schedule::reading::title(kind))
                    jack.readings.at[std::size_t(kind)] = item.substr(space + 1);
            from = to + std::string_view("；").size();
        }
        jacks.push_back(std::move(jack));
    }
    if (!headed)
        return std::string("“张拉记录”工作表没有表头（编号）。");
    if (jacks.empty())
        return std::string("“张拉记录”工作表中没有张拉端的记录。");
    return jacks;
}

} // namespace workbook
