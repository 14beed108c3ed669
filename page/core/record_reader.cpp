#include "record_reader.h"

#include "numeric/number_text.h"

#include <unzip.h>

#include <map>
#include <memory>

namespace {

// One part of the workbook's package, or nothing where it has no such part.
std::optional<std::string> part(unzFile zip, const std::string &name)
{
    if (unzLocateFile(zip, name.c_str(), 0) != UNZ_OK || unzOpenCurrentFile(zip) != UNZ_OK)
        return std::nullopt;
    std::string text;
    char buffer[1 << 16];
    int n = 0;
    while ((n = unzReadCurrentFile(zip, buffer, sizeof buffer)) > 0)
        text.append(buffer, std::size_t(n));
    unzCloseCurrentFile(zip);
    if (n < 0)
        return std::nullopt;
    return text;
}

std::string unescaped(std::string_view text)
{
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '&') {
            out += text[at++];
            continue;
        }
        const std::size_t end = text.find(';', at);
        if (end == std::string_view::npos) {
            out += text.substr(at);
            break;
        }
        const std::string_view entity = text.substr(at + 1, end - at - 1);
        static const std::map<std::string_view, char> named{{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
        if (const auto found = named.find(entity); found != named.end()) {
            out += found->second;
        } else if (entity.size() > 1 && entity[0] == '#') {
            const bool hex = entity[1] == 'x' || entity[1] == 'X';
            unsigned long code = std::stoul(std::string(entity.substr(hex ? 2 : 1)), nullptr, hex ? 16 : 10);
            // The code point as UTF-8.
            if (code < 0x80) {
                out += char(code);
            } else if (code < 0x800) {
                out += char(0xC0 | (code >> 6));
                out += char(0x80 | (code & 0x3F));
            } else if (code < 0x10000) {
                out += char(0xE0 | (code >> 12));
                out += char(0x80 | ((code >> 6) & 0x3F));
                out += char(0x80 | (code & 0x3F));
            } else {
                out += char(0xF0 | (code >> 18));
                out += char(0x80 | ((code >> 12) & 0x3F));
                out += char(0x80 | ((code >> 6) & 0x3F));
                out += char(0x80 | (code & 0x3F));
            }
        }
        at = end + 1;
    }
    return out;
}

// Each element `name` in a text: its opening tag's attributes and what it holds.
struct Element {
    std::string_view tag, body;
    std::string attribute(std::string_view name) const
    {
        for (std::size_t at = tag.find(name); at != std::string_view::npos; at = tag.find(name, at + 1)) {
            const bool starts = at > 0 && (tag[at - 1] == ' ' || tag[at - 1] == '\n' || tag[at - 1] == '\t');
            if (!starts || tag.substr(at + name.size(), 2) != "=\"")
                continue;
            const std::size_t from = at + name.size() + 2, to = tag.find('"', from);
            return unescaped(tag.substr(from, to - from));
        }
        return {};
    }
};

template <typename Each>
void elements(std::string_view text, std::string_view name, Each each)
{
    const std::string open = "<" + std::string(name);
    for (std::size_t at = text.find(open); at != std::string_view::npos; at = text.find(open, at + 1)) {
        const char after = at + open.size() < text.size() ? text[at + open.size()] : '>';
        if (after != ' ' && after != '>' && after != '/' && after != '\n')
            continue; // a longer name that begins the same
        const std::size_t close = text.find('>', at);
        if (close == std::string_view::npos)
            return;
        const std::string_view tag = text.substr(at, close - at);
        std::string_view body;
        if (tag.back() != '/') {
            const std::string end = "</" + std::string(name) + ">";
            const std::size_t stop = text.find(end, close);
            body = text.substr(close + 1, (stop == std::string_view::npos ? text.size() : stop) - close - 1);
        }
        each(Element{tag, body});
    }
}

// All the text an element holds in its <t> elements.
std::string texts(std::string_view body)
{
    std::string out;
    elements(body, "t", [&](const Element &t) { out += unescaped(t.body); });
    return out;
}

// "AB12" as its column from 0 and its row from 1.
std::pair<int, int> reference(std::string_view r)
{
    int column = 0, row = 0;
    std::size_t at = 0;
    for (; at < r.size() && r[at] >= 'A' && r[at] <= 'Z'; ++at)
        column = column * 26 + (r[at] - 'A' + 1);
    for (; at < r.size() && r[at] >= '0' && r[at] <= '9'; ++at)
        row = row * 10 + (r[at] - '0');
    return {column - 1, row};
}

} // namespace

std::variant<std::vector<ImportedJack>, std::string> readSiteRecord(const std::string &path)
{
    const std::unique_ptr<void, int (*)(unzFile)> zip(unzOpen64(path.c_str()), unzClose);
    if (!zip)
        return std::string("不是 XLSX 工作簿。");
    const auto workbook = part(zip.get(), "xl/workbook.xml");
    const auto relations = part(zip.get(), "xl/_rels/workbook.xml.rels");
    if (!workbook || !relations)
        return std::string("不是 XLSX 工作簿。");
    // The worksheet named 张拉记录, by its relation to the workbook.
    std::string id, target;
    elements(*workbook, "sheet", [&](const Element &sheet) {
        if (sheet.attribute("name") == "张拉记录" && id.empty())
            id = sheet.attribute("r:id");
    });
    elements(*relations, "Relationship", [&](const Element &relation) {
        if (!id.empty() && relation.attribute("Id") == id)
            target = relation.attribute("Target");
    });
    if (target.empty())
        return std::string("工作簿中没有“张拉记录”工作表。");
    target = target.front() == '/' ? target.substr(1) : "xl/" + target;
    const auto sheet = part(zip.get(), target);
    if (!sheet)
        return std::string("工作簿的“张拉记录”工作表无法读取。");
    std::vector<std::string> shared;
    if (const auto strings = part(zip.get(), "xl/sharedStrings.xml"))
        elements(*strings, "si", [&](const Element &si) { shared.push_back(texts(si.body)); });

    // The cells' texts by row and column: strings as written, numbers as
    // the record's own number texts.
    std::map<int, std::map<int, std::string>> cells;
    elements(*sheet, "c", [&](const Element &c) {
        const auto [column, row] = reference(c.attribute("r"));
        const std::string type = c.attribute("t");
        std::string text;
        if (type == "inlineStr") {
            text = texts(c.body);
        } else {
            std::string value;
            elements(c.body, "v", [&](const Element &v) { value = unescaped(v.body); });
            if (type == "s") {
                const std::size_t n = value.empty() ? shared.size() : std::stoul(value);
                text = n < shared.size() ? shared[n] : std::string();
            } else if (type.empty() || type == "n") {
                const std::optional<double> number = schedule::plainValue(value);
                text = number ? numeric::writeNumber(*number) : value;
            } else {
                text = value;
            }
        }
        if (column >= 0 && row > 0)
            cells[row][column] = text;
    });
    int head = 0;
    for (const auto &[row, columns] : cells)
        if (const auto first = columns.find(schedule::recordColumn::mark); first != columns.end() && first->second == "编号") {
            head = row;
            break;
        }
    if (!head)
        return std::string("“张拉记录”工作表没有表头（编号）。");
    std::vector<ImportedJack> jacks;
    for (auto row = cells.upper_bound(head); row != cells.end(); ++row) {
        const auto cell = [&](int column) {
            const auto found = row->second.find(column);
            return found == row->second.end() ? std::string() : found->second;
        };
        const std::string end = cell(schedule::recordColumn::end);
        if (end != "左端" && end != "右端")
            continue;
        ImportedJack jack{cell(schedule::recordColumn::mark), end == "右端", cell(schedule::recordColumn::elongation), {}};
        for (int kind = 0; kind < schedule::reading::count; ++kind)
            jack.readings.typed[std::size_t(kind)] = cell(schedule::recordColumn::readings[kind]);
        // "L0 2026-12-07T08:30:00.000Z；L1 ...": when each was taken.
        const std::string times = cell(schedule::recordColumn::times);
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
    if (jacks.empty())
        return std::string("“张拉记录”工作表中没有张拉端的记录。");
    return jacks;
}
