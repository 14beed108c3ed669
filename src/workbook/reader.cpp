#include "workbook/reader.h"
#include "workbook/xml.h"

#include "numeric/decimal.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

namespace workbook {

namespace {

// "AB12" as column 27 (from 0) and row 12.
bool reference(std::string_view name, int &column, int &row)
{
    std::size_t at = 0;
    long c = 0, r = 0;
    for (; at < name.size() && at < 3 && name[at] >= 'A' && name[at] <= 'Z'; ++at)
        c = c * 26 + (name[at] - 'A' + 1);
    const std::size_t letters = at;
    for (; at < name.size() && at - letters < 7 && name[at] >= '0' && name[at] <= '9'; ++at)
        r = r * 10 + (name[at] - '0');
    if (letters == 0 || at != name.size() || c - 1 > lastColumn || r > lastRow || (at > letters && r < 1))
        return false;
    column = int(c - 1);
    row = at > letters ? int(r) : 0;
    return true;
}

} // namespace

std::string cellName(int column, int row)
{
    std::string letters;
    for (int c = column + 1; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), char('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

bool isPackage(std::string_view bytes) { return bytes.starts_with("PK\x03\x04") || bytes.starts_with("PK\x05\x06"); }

std::string compoundDocument(std::string_view bytes)
{
    if (!bytes.starts_with("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"))
        return {};
    // Office keeps an encrypted workbook as the stream EncryptedPackage,
    // named in UTF-16 in the compound document's directory.
    const std::string_view name("E\0n\0c\0r\0y\0p\0t\0e\0d\0P\0a\0c\0k\0a\0g\0e\0", 32);
    if (bytes.find(name) != std::string_view::npos)
        return "工作簿已加密，无法读取：请在电子表格程序中去掉密码另存后再读 (an encrypted workbook: save a copy without its "
               "password)";
    return "这是 Excel 97-2003 工作簿 (.xls)，请在电子表格程序中另存为 .xlsx 或 CSV (an Excel 97-2003 workbook: save it as "
           ".xlsx or CSV)";
}

class SheetRows final : public Workbook::Rows, Handler {
public:
    SheetRows(const Workbook &book, const std::string &part) : book_(book), part_(*book.package_, part), xml_(part_, *this)
    {
        if (!part_.exists())
            throw Unreadable(damaged(part, "the worksheet is missing"));
    }

    bool next(Row &row) override
    {
        while (ready_.empty() && !ended_)
            ended_ = !xml_.feed();
        if (ready_.empty())
            return false;
        row = std::move(ready_.front());
        ready_.pop_front();
        return true;
    }

private:
    std::string where() const override { return inCell_ ? "cell " + cellName(column_, row_.number) : std::string(); }

    void open(std::string_view name, const char **attributes) override
    {
        if (name == "sheetData") {
            inData_ = true;
        } else if (!inData_) {
        } else if (name == "row") {
            // Rows and the cells in them come in order, each once, as a
            // spreadsheet writes them; a sheet that says otherwise is damaged.
            const std::string r(attribute(attributes, "r").value_or(""));
            const int previous = row_.number;
            row_.number = r.empty() ? row_.number + 1 : int(std::strtol(r.c_str(), nullptr, 10));
            if (row_.number <= previous || row_.number > lastRow || r.size() > 7)
                throw Unreadable(damaged(part_.name(), "row " + (r.empty() ? std::to_string(row_.number) : r)));
            row_.cells.clear();
            column_ = -1;
            rowBytes_ = 0;
        } else if (name == "c") {
            int row = 0;
            const int previous = column_;
            const auto r = attribute(attributes, "r");
            if (!r)
                ++column_;
            else if (!reference(*r, column_, row) || (row && row != row_.number) || column_ <= previous)
                throw Unreadable(damaged(part_.name(), "cell " + std::string(*r)));
            if (column_ > lastColumn)
                throw Unreadable(damaged(part_.name(), "a cell past the last column"));
            type_ = attribute(attributes, "t").value_or("n");
            const std::string s(attribute(attributes, "s").value_or("0"));
            style_ = std::strtoul(s.c_str(), nullptr, 10);
            value_.clear();
            inCell_ = true;
            hasValue_ = hasFormula_ = false;
        } else if (!inCell_) {
        } else if (name == "v") {
            inValue_ = hasValue_ = true;
        } else if (name == "f") {
            hasFormula_ = true;
        } else if (name == "is") {
            inInline_ = hasValue_ = true;
        } else if (name == "rPh" && inInline_) {
            ++phonetic_;
        } else if (name == "t" && inInline_ && !phonetic_) {
            inValue_ = true;
        }
    }

    void close(std::string_view name) override
    {
        if (name == "v" || name == "t") {
            inValue_ = false;
        } else if (name == "rPh" && inInline_) {
            --phonetic_;
        } else if (name == "is") {
            inInline_ = false;
        } else if (name == "c" && inCell_) {
            inCell_ = false;
            finishCell();
        } else if (name == "row" && inData_) {
            if (!row_.cells.empty())
                ready_.push_back(std::move(row_));
        } else if (name == "sheetData") {
            inData_ = false;
        }
    }

    void text(std::string_view text) override
    {
        if (inValue_)
            appendLimited(value_, text, largestCell, part_.name());
    }

    void finishCell()
    {
        Cell cell{column_, Cell::string, {}};
        if (type_ == "s") {
            if (!hasValue_)
                return;
            const unsigned long n = std::strtoul(value_.c_str(), nullptr, 10);
            if (value_.empty() || n >= book_.starts_.size())
                throw Unreadable(damaged(part_.name(), "cell " + cellName(column_, row_.number) + " names a text the workbook lacks"));
            const std::size_t from = book_.starts_[n], to = n + 1 < book_.starts_.size() ? book_.starts_[n + 1] : book_.strings_.size();
            cell.text = book_.strings_.substr(from, to - from);
        } else if (!hasValue_ || (value_.empty() && type_ != "str" && type_ != "inlineStr")) {
            if (!hasFormula_)
                return; // formatted, but empty
            cell.kind = Cell::unsaved;
        } else if (type_ == "b") {
            cell.kind = Cell::boolean;
            cell.text = value_ == "1" || value_ == "true" ? "TRUE" : "FALSE";
        } else if (type_ == "e") {
            cell.kind = Cell::error;
            cell.text = value_;
        } else if (type_ == "d") {
            cell.kind = Cell::date;
            cell.text = value_;
        } else if (type_ == "n") {
            cell.kind = style_ < book_.dateStyles_.size() && book_.dateStyles_[style_] ? Cell::date : Cell::number;
            cell.text = shortest(value_);
        } else {
            cell.text = value_; // inline and formula strings
        }
        if (cell.text.empty() && cell.kind == Cell::string)
            return;
        rowBytes_ += cell.text.size();
        if (rowBytes_ > largestRow)
            throw Unreadable("工作簿的 " + part_.name() + " 第 " + std::to_string(row_.number)
                             + " 行超过电子表格所能容纳的内容 (a row larger than a spreadsheet holds)");
        row_.cells.push_back(std::move(cell));
    }

    // A number as the spreadsheet stores it ("0.10000000000000001") as the
    // shortest text of the same double ("0.1"). One beyond a double's range
    // (Gnumeric keeps long doubles: 1e400 as "1.00000000000000000003e+400")
    // as it would be typed, its digits to 17 places ("1e400"), for the
    // schedule's own rules to refuse; a text that is no number, as written.
    static std::string shortest(const std::string &stored)
    {
        const std::size_t sign = stored.starts_with('-') ? 1 : 0;
        double value = 0;
        const auto [end, error] = numeric::readDecimal(stored.data() + sign, stored.data() + stored.size(), value);
        if (end != stored.data() + stored.size() || error == std::errc::invalid_argument)
            return stored;
        if (error == std::errc())
            return numeric::writeShortest(sign ? -value : value);
        std::string digits;
        long exponent = 0;
        bool point = false;
        std::size_t at = sign;
        for (; at < stored.size() && stored[at] != 'e' && stored[at] != 'E'; ++at) {
            if (stored[at] == '.') {
                point = true;
            } else if (digits.empty() && stored[at] == '0') {
                exponent -= point ? 1 : 0;
            } else {
                digits += stored[at];
                exponent += point ? 0 : 1;
            }
        }
        // An exponent past a billion is beyond a double whichever it is, and
        // is kept as a billion, so adding to it cannot overflow.
        if (at < stored.size())
            exponent += std::clamp(std::strtol(stored.c_str() + at + 1, nullptr, 10), -1'000'000'000L, 1'000'000'000L);
        if (digits.size() > 17) {
            const bool up = digits[17] >= '5';
            digits.resize(17);
            for (std::size_t n = digits.size(); up && n-- > 0;) {
                if (digits[n] != '9') {
                    ++digits[n];
                    break;
                }
                digits[n] = '0';
                if (n == 0) {
                    digits.insert(0, 1, '1');
                    ++exponent;
                }
            }
        }
        while (digits.size() > 1 && digits.back() == '0')
            digits.pop_back();
        if (digits.empty())
            return stored;
        return std::string(sign, '-') + digits.front() + (digits.size() > 1 ? "." + digits.substr(1) : "") + "e"
               + std::to_string(exponent - 1);
    }

    const Workbook &book_;
    Part part_;
    Xml xml_;
    std::deque<Row> ready_;
    bool ended_ = false;
    Row row_;
    int column_ = -1, phonetic_ = 0;
    std::string type_, value_;
    unsigned long style_ = 0;
    std::size_t rowBytes_ = 0;
    bool inData_ = false, inCell_ = false, inValue_ = false, inInline_ = false, hasValue_ = false, hasFormula_ = false;
};

std::unique_ptr<Workbook::Rows> Workbook::rows(std::size_t sheet) const
{
    return std::make_unique<SheetRows>(*this, parts_.at(sheet));
}

} // namespace workbook
