// The parts of a workbook before its worksheets: the package's
// relationships to the workbook part, the worksheets it lists, the shared
// strings and the styles that tell a date from a number.

#include "workbook/xml.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

namespace workbook {

namespace {

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

} // namespace

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

} // namespace workbook
