#include "workbook/reader.h"

#include "numeric/decimal.h"
#include "numeric/number_text.h"

#include <expat.h>
#include <unzip.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <exception>
#include <map>
#include <optional>

namespace workbook {

namespace {

// What a workbook may hold before it is taken for no honest workbook.
// An XML part rarely packs more than twenty to one (a sheet of identical
// rows, measured); deflate can pack a thousand to one, which only a bomb
// uses. Small parts are never held to the ratio.
constexpr std::uint64_t ratio = 100, freeInflation = std::uint64_t(16) << 20, largestPart = std::uint64_t(4) << 30;
constexpr std::size_t largestCell = 128 << 10;          // 32767 characters of 4 bytes each, and more
constexpr std::size_t largestRow = 16 << 20;            // a row's cells together
constexpr std::size_t largestStrings = std::size_t(256) << 20; // the shared strings together
constexpr std::size_t mostStrings = std::size_t(8) << 20;
constexpr int lastColumn = 16383, lastRow = 1048576;   // XFD1048576, a worksheet's last cell
constexpr std::size_t mostSheets = 10000;
constexpr std::size_t chunk = 64 << 10;

std::string damaged(const std::string &part, const std::string &what)
{
    return "工作簿已损坏，" + part + " 无法读取 (the workbook is damaged: " + what + ")";
}

// The package in memory, as minizip reads a file.
struct Memory {
    std::span<const char> bytes;
    std::uint64_t at = 0;
};

voidpf ZCALLBACK memoryOpen(voidpf opaque, const void *, int) { return new Memory{*static_cast<Memory *>(opaque)}; }

uLong ZCALLBACK memoryRead(voidpf, voidpf stream, void *buffer, uLong size)
{
    auto *m = static_cast<Memory *>(stream);
    const std::uint64_t n = std::min<std::uint64_t>(size, m->bytes.size() - m->at);
    std::memcpy(buffer, m->bytes.data() + m->at, std::size_t(n));
    m->at += n;
    return uLong(n);
}

uLong ZCALLBACK memoryWrite(voidpf, voidpf, const void *, uLong) { return 0; }

ZPOS64_T ZCALLBACK memoryTell(voidpf, voidpf stream) { return static_cast<Memory *>(stream)->at; }

long ZCALLBACK memorySeek(voidpf, voidpf stream, ZPOS64_T offset, int origin)
{
    auto *m = static_cast<Memory *>(stream);
    const std::uint64_t base = origin == ZLIB_FILEFUNC_SEEK_CUR ? m->at
                               : origin == ZLIB_FILEFUNC_SEEK_END ? m->bytes.size() : 0;
    if (offset > m->bytes.size() - base)
        return -1;
    m->at = base + offset;
    return 0;
}

int ZCALLBACK memoryClose(voidpf, voidpf stream)
{
    delete static_cast<Memory *>(stream);
    return 0;
}

int ZCALLBACK memoryError(voidpf, voidpf) { return 0; }

} // namespace

struct Workbook::Package {
    std::string path;
    Memory memory;

    unzFile open() const
    {
        unzFile zip = nullptr;
        if (!path.empty()) {
            zip = unzOpen64(path.c_str());
        } else {
            zlib_filefunc64_def functions{memoryOpen, memoryRead, memoryWrite, memoryTell, memorySeek,
                                          memoryClose, memoryError, const_cast<Memory *>(&memory)};
            zip = unzOpen2_64("workbook", &functions);
        }
        if (!zip)
            throw Unreadable("不是 XLSX 工作簿，或工作簿已损坏 (no workbook: its zip package cannot be opened)");
        return zip;
    }
};

namespace {

// One part of the package, inflated a chunk at a time, held to the limits.
class Part {
public:
    // A part of its own package, as a worksheet streams.
    Part(const Workbook::Package &package, const std::string &name) : Part(package.open(), unzClose, name) {}
    // A part of a package already open, read to its end before the next.
    Part(unzFile package, const std::string &name) : Part(package, [](unzFile) { return 0; }, name) {}

    Part(unzFile package, int (*close)(unzFile), const std::string &name) : zip_(package, close), name_(name)
    {
        // Part names are case-insensitive.
        if (unzLocateFile(zip(), name.c_str(), 2) != UNZ_OK)
            return;
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip(), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            throw Unreadable(damaged(name, "its entry"));
        if (info.flag & 1)
            throw Unreadable("工作簿已加密，无法读取：请在电子表格程序中去掉密码另存后再读 (an encrypted workbook: save a copy "
                             "without its password)");
        if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
            throw Unreadable(damaged(name, "an unknown compression"));
        if (unzOpenCurrentFile(zip()) != UNZ_OK)
            throw Unreadable(damaged(name, "its data"));
        // minizip inflates no more than the entry's compressed size, so the
        // bound holds even where the sizes the entry states are false.
        bound_ = std::min(largestPart, std::max<std::uint64_t>(freeInflation, info.compressed_size * ratio));
        open_ = true;
    }
    ~Part()
    {
        if (open_)
            unzCloseCurrentFile(zip());
    }
    Part(const Part &) = delete;
    Part &operator=(const Part &) = delete;

    bool exists() const { return open_; }
    const std::string &name() const { return name_; }

    // The next bytes; 0 at the end, once the checksum is found right.
    std::size_t read(char *to, std::size_t size)
    {
        if (!open_)
            return 0;
        const int n = unzReadCurrentFile(zip(), to, unsigned(size));
        if (n < 0)
            throw Unreadable(damaged(name_, "its data do not inflate"));
        inflated_ += std::uint64_t(n);
        if (inflated_ > bound_)
            throw Unreadable("工作簿的 " + name_ + " 解压后远大于其压缩大小，拒绝读取 (a part inflates far beyond its size, "
                             "as a zip bomb does)");
        if (n == 0) {
            open_ = false;
            if (unzCloseCurrentFile(zip()) == UNZ_CRCERROR)
                throw Unreadable(damaged(name_, "its checksum is wrong"));
        }
        return std::size_t(n);
    }

private:
    unzFile zip() const { return zip_.get(); }

    std::unique_ptr<void, int (*)(unzFile)> zip_;
    std::string name_;
    std::uint64_t inflated_ = 0, bound_ = 0;
    bool open_ = false;
};

// What an XML part's events go to: elements by their local name, whatever
// namespace prefix the writer chose (the strict and the transitional
// schema's are both read).
class Handler {
public:
    virtual ~Handler() = default;
    virtual void open(std::string_view name, const char **attributes) = 0;
    virtual void close(std::string_view name) = 0;
    virtual void text(std::string_view) {}
    // Where in the part the handler stands, for a message ("cell N6"); ""
    // where it cannot say.
    virtual std::string where() const { return {}; }
};

constexpr char separator = '\x01'; // between a name's namespace and its local part

std::string_view local(const char *name)
{
    const std::string_view whole(name);
    const std::size_t at = whole.rfind(separator);
    return at == std::string_view::npos ? whole : whole.substr(at + 1);
}

std::optional<std::string_view> attribute(const char **attributes, std::string_view name)
{
    for (; attributes[0]; attributes += 2)
        if (local(attributes[0]) == name)
            return std::string_view(attributes[1]);
    return std::nullopt;
}

// expat over a part. A handler's exception stops the parser and is thrown
// again once expat has returned, never through it.
class Xml {
public:
    Xml(Part &part, Handler &handler) : part_(part), handler_(handler), parser_(XML_ParserCreateNS(nullptr, separator))
    {
        if (!parser_)
            throw std::bad_alloc();
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &Xml::opened, &Xml::closed);
        XML_SetCharacterDataHandler(parser_, &Xml::characters);
        XML_SetStartDoctypeDeclHandler(parser_, &Xml::doctype);
    }
    ~Xml() { XML_ParserFree(parser_); }
    Xml(const Xml &) = delete;
    Xml &operator=(const Xml &) = delete;

    // Parses the next chunk of the part; false once all of it is parsed.
    bool feed()
    {
        void *buffer = XML_GetBuffer(parser_, int(chunk));
        if (!buffer)
            throw std::bad_alloc();
        const std::size_t n = part_.read(static_cast<char *>(buffer), chunk);
        const bool last = n == 0;
        const XML_Status status = XML_ParseBuffer(parser_, int(n), last);
        if (failure_)
            std::rethrow_exception(failure_);
        if (status != XML_STATUS_OK) {
            const std::string at = handler_.where();
            throw Unreadable(damaged(part_.name(), (at.empty() ? "" : at + ", ") + "XML, line "
                                                       + std::to_string(XML_GetCurrentLineNumber(parser_)) + ": "
                                                       + XML_ErrorString(XML_GetErrorCode(parser_))));
        }
        return !last;
    }
    void all()
    {
        while (feed()) {
        }
    }

private:
    template <typename Event>
    static void deliver(void *self, Event event)
    {
        auto *xml = static_cast<Xml *>(self);
        if (xml->failure_)
            return;
        try {
            event(xml->handler_);
        } catch (...) {
            xml->failure_ = std::current_exception();
            XML_StopParser(xml->parser_, XML_FALSE);
        }
    }
    static void XMLCALL opened(void *self, const char *name, const char **attributes)
    {
        deliver(self, [&](Handler &h) { h.open(local(name), attributes); });
    }
    static void XMLCALL closed(void *self, const char *name)
    {
        deliver(self, [&](Handler &h) { h.close(local(name)); });
    }
    static void XMLCALL characters(void *self, const char *text, int length)
    {
        deliver(self, [&](Handler &h) { h.text({text, std::size_t(length)}); });
    }
    // Entities that expand a billion times hide in a document type; no
    // workbook part has one.
    static void XMLCALL doctype(void *self, const char *, const char *, const char *, int)
    {
        auto *xml = static_cast<Xml *>(self);
        deliver(self, [&](Handler &) {
            throw Unreadable("工作簿的 " + xml->part_.name() + " 含文档类型定义，拒绝读取 (a document type, which no "
                             "workbook part holds)");
        });
    }

    Part &part_;
    Handler &handler_;
    XML_Parser parser_;
    std::exception_ptr failure_;
};

void appendLimited(std::string &to, std::string_view text, std::size_t limit, const std::string &part)
{
    if (to.size() + text.size() > limit)
        throw Unreadable("工作簿的 " + part + " 中有单元格超过电子表格所能容纳的内容 (a cell larger than a spreadsheet holds)");
    to += text;
}

// A relationship's target, a part name from the package's root: relative to
// the folder of the part it belongs to, or absolute.
std::string resolved(const std::string &from, std::string_view target)
{
    std::vector<std::string> segments;
    if (!target.starts_with('/'))
        for (std::size_t at = 0, slash; (slash = from.find('/', at)) != std::string::npos; at = slash + 1)
            segments.push_back(from.substr(at, slash - at));
    for (std::size_t at = 0; at <= target.size();) {
        std::size_t slash = target.find('/', at);
        if (slash == std::string_view::npos)
            slash = target.size();
        const std::string_view segment = target.substr(at, slash - at);
        if (segment == "..") {
            if (!segments.empty())
                segments.pop_back();
        } else if (!segment.empty() && segment != ".") {
            segments.emplace_back(segment);
        }
        at = slash + 1;
    }
    std::string name;
    for (const std::string &segment : segments)
        name += (name.empty() ? "" : "/") + segment;
    return name;
}

// The relationships of a part (its _rels/NAME.rels), by id: type and target.
struct Relationship {
    std::string id, type, target;
};

class Relationships : public Handler {
public:
    std::vector<Relationship> found;
    void open(std::string_view name, const char **attributes) override
    {
        if (name != "Relationship" || attribute(attributes, "TargetMode").value_or("") == "External")
            return;
        found.push_back({std::string(attribute(attributes, "Id").value_or("")),
                         std::string(attribute(attributes, "Type").value_or("")),
                         std::string(attribute(attributes, "Target").value_or(""))});
    }
    void close(std::string_view) override {}
};

std::vector<Relationship> relationshipsOf(unzFile package, const std::string &part)
{
    const std::size_t slash = part.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    Part rels(package, folder + "_rels/" + part.substr(folder.size()) + ".rels");
    Relationships handler;
    if (rels.exists())
        Xml(rels, handler).all();
    for (Relationship &r : handler.found)
        r.target = resolved(part, r.target);
    return handler.found;
}

// The relationship type's last word, the same in the strict and the
// transitional schema ("…/officeDocument").
bool ofType(const Relationship &r, std::string_view type)
{
    return r.type.size() > type.size() && r.type.ends_with(type) && r.type[r.type.size() - type.size() - 1] == '/';
}

class SheetList : public Handler {
public:
    std::vector<std::pair<std::string, std::string>> sheets; // name, relationship id
    void open(std::string_view name, const char **attributes) override
    {
        if (name != "sheet")
            return;
        if (sheets.size() == mostSheets)
            throw Unreadable("工作簿的工作表过多 (more worksheets than a workbook holds)");
        sheets.emplace_back(attribute(attributes, "name").value_or(""), attribute(attributes, "id").value_or(""));
    }
    void close(std::string_view) override {}
};

class SharedStrings : public Handler {
public:
    SharedStrings(std::string &strings, std::vector<std::uint32_t> &starts, const std::string &part)
        : strings_(strings), starts_(starts), part_(part)
    {
    }
    void open(std::string_view name, const char **) override
    {
        if (name == "si") {
            if (starts_.size() == mostStrings)
                throw Unreadable("工作簿的 " + part_ + " 中的文字超过电子表格所能容纳的内容 (more text than a spreadsheet holds)");
            starts_.push_back(std::uint32_t(strings_.size()));
            begun_ = strings_.size();
        } else if (name == "rPh") {
            ++phonetic_;
        } else if (name == "t" && !phonetic_ && !starts_.empty()) {
            inText_ = true;
        }
    }
    void close(std::string_view name) override
    {
        if (name == "t")
            inText_ = false;
        else if (name == "rPh")
            --phonetic_;
    }
    void text(std::string_view text) override
    {
        if (!inText_)
            return;
        if (strings_.size() - begun_ + text.size() > largestCell || strings_.size() + text.size() > largestStrings)
            throw Unreadable("工作簿的 " + part_ + " 中的文字超过电子表格所能容纳的内容 (more text than a spreadsheet holds)");
        strings_ += text;
    }

private:
    std::string &strings_;
    std::vector<std::uint32_t> &starts_;
    const std::string &part_;
    std::size_t begun_ = 0;
    int phonetic_ = 0; // the phonetic guide over East Asian text is no part of it
    bool inText_ = false;
};

// Whether a number format shows a date or a time: a year, month, day, hour
// or second outside quoted text, escapes and [colour] or [$-804] brackets;
// [h], [mm] and [ss] are elapsed time.
bool dateFormat(std::string_view code)
{
    for (std::size_t at = 0; at < code.size(); ++at) {
        const char c = code[at];
        if (c == '"') {
            at = code.find('"', at + 1);
            if (at == std::string_view::npos)
                return false;
        } else if (c == '\\' || c == '_' || c == '*') {
            ++at;
        } else if (c == '[') {
            const std::size_t end = code.find(']', at);
            if (end == std::string_view::npos)
                return false;
            const std::string_view inside = code.substr(at + 1, end - at - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                return true;
            at = end;
        } else if (std::string_view("yYmMdDhHsS").find(c) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

// The built-in number formats that show dates and times, Chinese, Japanese
// and Korean ones included.
bool builtInDate(long id) { return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) || (id >= 50 && id <= 58); }

class Styles : public Handler {
public:
    std::map<long, bool> custom;     // number format id: a date
    std::vector<long> formats;       // each cell style's number format
    void open(std::string_view name, const char **attributes) override
    {
        const auto number = [&](std::string_view key) {
            const std::string text(attribute(attributes, key).value_or("0"));
            return std::strtol(text.c_str(), nullptr, 10);
        };
        if (name == "numFmt" && custom.size() < mostStyles)
            custom[number("numFmtId")] = dateFormat(attribute(attributes, "formatCode").value_or(""));
        else if (name == "cellXfs")
            inCellStyles_ = true;
        else if (name == "xf" && inCellStyles_ && formats.size() < mostStyles)
            formats.push_back(number("numFmtId"));
    }
    void close(std::string_view name) override
    {
        if (name == "cellXfs")
            inCellStyles_ = false;
    }

private:
    static constexpr std::size_t mostStyles = 1 << 20;
    bool inCellStyles_ = false;
};

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

Workbook::Workbook(const std::string &path) : package_(std::make_unique<Package>(Package{path, {}}))
{
    load();
}

Workbook::Workbook(std::span<const char> bytes) : package_(std::make_unique<Package>(Package{{}, Memory{bytes}}))
{
    load();
}

Workbook::~Workbook() = default;

void Workbook::load()
{
    // The parts before the worksheets are read one after another from one
    // opening of the package.
    const std::unique_ptr<void, int (*)(unzFile)> zip(package_->open(), unzClose);
    const auto packageRels = relationshipsOf(zip.get(), "");
    const auto office = std::find_if(packageRels.begin(), packageRels.end(),
                                     [](const Relationship &r) { return ofType(r, "officeDocument"); });
    const std::string book = office == packageRels.end() ? "xl/workbook.xml" : office->target;
    SheetList list;
    {
        Part part(zip.get(), book);
        if (!part.exists()) {
            // LibreOffice's own format is a zip package too, its kind in
            // its first part.
            Part kind(zip.get(), "mimetype");
            char text[64]{};
            if (kind.exists() && std::string_view(text, kind.read(text, sizeof text - 1)).starts_with("application/vnd.oasis.opendocument"))
                throw Unreadable("是 OpenDocument 文件 (.ods)，不是 XLSX 工作簿：请在 LibreOffice 或 WPS 中另存为 Excel 2007-365 "
                                 "(.xlsx) 后再读 (an OpenDocument file: save it as .xlsx)");
            throw Unreadable("不是 XLSX 工作簿：压缩包中没有工作簿 (a zip package with no workbook in it)");
        }
        Xml(part, list).all();
    }
    const auto rels = relationshipsOf(zip.get(), book);
    for (const auto &[name, id] : list.sheets)
        for (const Relationship &r : rels)
            if (r.id == id && ofType(r, "worksheet")) {
                names_.push_back(name);
                parts_.push_back(r.target);
            }
    for (const Relationship &r : rels) {
        if (ofType(r, "sharedStrings") && starts_.empty()) {
            Part part(zip.get(), r.target);
            SharedStrings handler(strings_, starts_, r.target);
            if (part.exists())
                Xml(part, handler).all();
        } else if (ofType(r, "styles") && dateStyles_.empty()) {
            Part part(zip.get(), r.target);
            Styles handler;
            if (part.exists())
                Xml(part, handler).all();
            for (long id : handler.formats)
                dateStyles_.push_back(builtInDate(id) || handler.custom[id]);
        }
    }
}

std::unique_ptr<Workbook::Rows> Workbook::rows(std::size_t sheet) const
{
    return std::make_unique<SheetRows>(*this, parts_.at(sheet));
}

} // namespace workbook
