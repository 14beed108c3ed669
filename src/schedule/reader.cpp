#include "schedule/schedule.h"
#include "schedule/utf16.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace schedule {

namespace {

constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF";

struct Alias {
    std::string_view name;
    input::Column column;
};

constexpr Alias aliases[]{
    {"name", input::name}, {"编号", input::name},   {"profile", input::profile},
    {"线型", input::profile}, {"e1", input::e1},     {"e2", input::e2},
    {"e3", input::e3},       {"k1", input::k1},     {"k2", input::k2},
    {"k3", input::k3},       {"lc", input::lc},     {"lg1", input::lg1},
    {"lg2", input::lg2},     {"count", input::count}, {"根数", input::count},
    {"sigma_con", input::sigmaCon}, {"张拉控制应力", input::sigmaCon}, {"duct", input::duct},
    {"孔道", input::duct},   {"kappa", input::kappa}, {"mu", input::mu},
    {"ends", input::ends},   {"张拉端数", input::ends}, {"strands", input::strands},
    {"每束根数", input::strands}, {"set", input::set}, {"锚具回缩", input::set},
    {"tendon", input::tendon}, {"束号", input::tendon}, {"张拉端", input::ends},
    {"lock_off", input::lockOff}, {"锁定顺序", input::lockOff}, {"strand_size", input::strandSize},
    {"公称直径", input::strandSize},
};

// Without these a schedule says nothing any profile can compute.
constexpr input::Column needed[]{input::name, input::profile, input::e1, input::e2, input::lc,
                                 input::lg1};

std::string lowerAscii(std::string text)
{
    for (char &c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

// The byte at which a text stops being UTF-8, or npos: overlong forms,
// surrogates and code points beyond U+10FFFF are not UTF-8.
std::size_t utf8Invalid(std::string_view s)
{
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        const int length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                                      : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
        if (length == 0 || i + std::size_t(length) > s.size())
            return i;
        const auto b1 = static_cast<unsigned char>(length > 1 ? s[i + 1] : 0x80);
        if ((b == 0xE0 && b1 < 0xA0) || (b == 0xED && b1 > 0x9F) || (b == 0xF0 && b1 < 0x90)
            || (b == 0xF4 && b1 > 0x8F))
            return i;
        for (int k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(s[i + std::size_t(k)]) & 0xC0) != 0x80)
                return i;
        i += std::size_t(length);
    }
    return std::string_view::npos;
}

constexpr char delimiters[]{'\t', ',', ';'};

std::string delimiterName(char delimiter)
{
    return delimiter == '\t' ? "制表符 (tab)" : delimiter == ';' ? "分号“;”(semicolon)" : "逗号“,”(comma)";
}

// How many fields a line splits into at a delimiter outside quotes.
std::size_t fieldsAt(std::string_view line, char delimiter)
{
    std::size_t count = 1;
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == delimiter && !quoted)
            ++count;
    }
    return count;
}

// The delimiter of a header line: the one that splits it into the most
// columns the program knows, else into the most fields.
char headerDelimiter(std::string_view line)
{
    char best = ',';
    std::pair<int, std::size_t> most{-1, 0};
    for (const char delimiter : delimiters) {
        int named = 0;
        for (std::string_view rest = line;;) {
            const std::size_t at = rest.find(delimiter);
            std::string_view title = rest.substr(0, at);
            if (title.size() >= 2 && title.front() == '"' && title.back() == '"')
                title = title.substr(1, title.size() - 2);
            named += input::named(title).has_value();
            if (at == std::string_view::npos)
                break;
            rest.remove_prefix(at + 1);
        }
        const std::pair<int, std::size_t> here{named, fieldsAt(line, delimiter)};
        if (here > most) {
            most = here;
            best = delimiter;
        }
    }
    return best;
}

} // namespace

std::string_view Header::named(int column) const
{
    const std::string_view own = trimmed(titles[std::size_t(column)]);
    return own.empty() ? input::title(column) : own;
}

std::string_view columnName(const Header *header, int column)
{
    return header ? header->named(column) : input::title(column);
}

HeaderColumns headerOf(const std::vector<std::string> &titles, const Positions &positions)
{
    auto header = std::make_shared<Header>();
    HeaderColumns made;
    std::vector<bool> known(titles.size());
    for (int column = 0; column < input::columnCount; ++column)
        if (const int at = positions[std::size_t(column)]; at >= 0 && std::size_t(at) < titles.size()) {
            header->titles[std::size_t(column)] = std::string(trimmed(titles[std::size_t(at)]));
            known[std::size_t(at)] = true;
        }
    for (std::size_t at = 0; at < titles.size(); ++at)
        if (!known[at] && !trimmed(titles[at]).empty() && !input::named(titles[at])) {
            header->others.emplace_back(trimmed(titles[at]));
            made.others.push_back(int(at));
        }
    made.header = std::move(header);
    return made;
}

std::string_view input::title(int column)
{
    return std::find_if(std::begin(aliases), std::end(aliases), [&](const Alias &a) { return a.column == column; })->name;
}

std::string_view input::chinese(int column)
{
    for (const Alias &alias : aliases)
        if (alias.column == column && static_cast<unsigned char>(alias.name.front()) >= 0x80)
            return alias.name;
    return {};
}

std::optional<input::Column> input::named(std::string_view text)
{
    const std::string title = lowerAscii(std::string(trimmed(text)));
    for (const Alias &alias : aliases)
        if (title == alias.name)
            return alias.column;
    return std::nullopt;
}

namespace {

// The positions a row of titles names (the first, where it names a column
// twice), how many it names, and where it first names one twice.
struct Named {
    Positions positions;
    int count = 0;
    std::optional<std::size_t> twice;
};

Named namedIn(const std::vector<std::string> &titles)
{
    Named found;
    found.positions.fill(-1);
    for (std::size_t index = 0; index < titles.size(); ++index) {
        const std::optional<input::Column> column = input::named(titles[index]);
        if (column && found.positions[*column] < 0) {
            found.positions[*column] = int(index);
            ++found.count;
        } else if (column && !found.twice) {
            found.twice = index;
        }
    }
    return found;
}

ReadError twice(const std::vector<std::string> &titles, int line, std::size_t index)
{
    return ReadError(line, int(index) + 1, "列 " + lowerAscii(std::string(trimmed(titles[index]))) + " 出现两次 (a column appears twice)");
}

} // namespace

bool HeaderSearch::offer(const std::vector<std::string> &titles, int line)
{
    const Named found = namedIn(titles);
    const bool whole = std::all_of(std::begin(needed), std::end(needed), [&](input::Column c) { return found.positions[c] >= 0; });
    // A title row may repeat a word; a header may not.
    if (whole && found.twice)
        throw twice(titles, line, *found.twice);
    if (found.count > named_ || whole) {
        positions_ = found.positions;
        named_ = found.count;
        line_ = line;
    }
    return whole;
}

ReadError HeaderSearch::failure(bool text) const
{
    for (input::Column column : needed)
        if (named_ > 0 && positions_[column] < 0)
            return ReadError(line_, 0, "缺少列 " + std::string(input::title(column)) + " (a needed column is missing)");
    // A worksheet's rows have cells; a text's lines may fail only for their separator.
    const std::string rows = std::to_string(searched), none = "没有表头：前 " + rows + " 行中没有一行列出 name, profile, e1, e2, lc, lg1";
    if (!text)
        return ReadError(0, 0, none + " (no header naming the columns among the first " + rows + " rows)");
    return ReadError(0, 0, none + "（以逗号、分号或制表符分隔）(no header naming the columns, split by commas, semicolons or tabs, "
                                  "among the first " + rows + " rows)");
}

Reader::Reader(std::istream &in, bool part) : in_(&in)
{
    // A byte-order mark of UTF-16 (neither byte begins UTF-8, and FF is no
    // GB18030 byte): the file is decoded as it is read.
    if (const int first = in.peek(); first == 0xFF || first == 0xFE) {
        in.get();
        const int second = in.peek();
        if (second == (first == 0xFF ? 0xFE : 0xFF)) {
            in.get();
            utf16_ = std::make_unique<Utf16Decoder>(in.rdbuf(), first == 0xFE);
            decoding_ = std::make_unique<std::istream>(utf16_.get());
            in_ = decoding_.get();
            encoding_ = first == 0xFE ? Encoding::utf16be : Encoding::utf16le;
        } else {
            in.unget();
        }
    }
    std::vector<std::string> titles;
    HeaderSearch search;
    for (int n = 0; n < (part ? 1 : HeaderSearch::searched); ++n) {
        if (!fields(titles, true)) {
            if (n == 0)
                throw ReadError(1, 0, "没有表头 (the schedule has no header line)");
            break;
        }
        if (part) {
            const Named found = namedIn(titles);
            if (found.twice)
                throw twice(titles, start_, *found.twice);
            position_ = found.positions;
        } else if (!search.offer(titles, start_)) {
            continue;
        } else {
            position_ = search.positions();
        }
        width_ = int(titles.size());
        header_ = headerOf(titles, position_);
        return;
    }
    throw search.failure(true);
}

std::vector<input::Column> Reader::columns() const
{
    std::vector<std::pair<int, input::Column>> named;
    for (int column = 0; column < input::columnCount; ++column)
        if (position_[std::size_t(column)] >= 0)
            named.emplace_back(position_[std::size_t(column)], input::Column(column));
    std::sort(named.begin(), named.end());
    std::vector<input::Column> columns;
    for (const auto &[at, column] : named)
        columns.push_back(column);
    return columns;
}

bool Record::blank() const
{
    return unreadable.empty() && std::all_of(fields.begin(), fields.end(), [](const std::string &f) { return trimmed(f).empty(); });
}

struct Reader::Converter {
    explicit Converter(iconv_t d) : descriptor(d) {}
    ~Converter() { iconv_close(descriptor); }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;
    iconv_t descriptor;
};

Reader::~Reader() = default;

bool Reader::physicalLine(std::string &line)
{
    if (!std::getline(*in_, line))
        return false;
    ++line_;
    if (utf16_ && utf16_->brokenLine() >= 0 && utf16_->brokenLine() < line_)
        throw ReadError(utf16_->brokenLine() + 1, 0, "不是 UTF-16 编码的字节 (bytes that are not UTF-16)");
    if (line.ends_with('\r'))
        line.pop_back();
    return true;
}

// A schedule is in one encoding: the first line that is not plain ASCII
// decides between UTF-8 and GB18030, what a spreadsheet on a Chinese desktop
// saves. The delimiters, quotes and line ends are single bytes in both, so a
// line can be decoded on its own.
std::string Reader::decoded(std::string raw)
{
    if (utf16_ || std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return raw;
    const std::size_t invalid = utf8Invalid(raw);
    if (encoding_ == Encoding::undecided)
        encoding_ = invalid == std::string::npos ? Encoding::utf8 : Encoding::gb18030;
    if (encoding_ == Encoding::utf8) {
        if (invalid != std::string::npos)
            throw ReadError(line_, int(invalid) + 1, "不是 UTF-8 编码的字节 (bytes that are not UTF-8)");
        return raw;
    }
    if (!gb18030_) {
        const iconv_t descriptor = iconv_open("UTF-8", "GB18030");
        if (descriptor == iconv_t(-1))
            throw ReadError(line_, 0, "无法读取 GB18030 编码 (GB18030 is not available)");
        gb18030_ = std::make_unique<Converter>(descriptor);
    }
    std::string out(raw.size() * 2 + 4, '\0');
    char *from = raw.data(), *to = out.data();
    std::size_t left = raw.size(), room = out.size();
    iconv(gb18030_->descriptor, nullptr, nullptr, nullptr, nullptr);
    if (iconv(gb18030_->descriptor, &from, &left, &to, &room) == std::size_t(-1)) {
        throw ReadError(line_, int(from - raw.data()) + 1,
                        "既非 UTF-8 也非 GB18030 编码的字节 (bytes in no supported encoding)");
    }
    out.resize(out.size() - room);
    return out;
}

// RFC 4180: a field that starts with a quote runs to the matching quote, a
// doubled quote inside it stands for one, and it may hold delimiters and line
// ends. The header line tells the delimiter: a tab where a spreadsheet's copy
// was pasted, a semicolon where Excel saves CSV with decimal commas, else a
// comma.
bool Reader::fields(std::vector<std::string> &fields, bool header)
{
    std::string line;
    if (!physicalLine(line))
        return false;
    start_ = line_;
    if (line_ == 1 && line.starts_with(byteOrderMark))
        line.erase(0, byteOrderMark.size());
    line = decoded(std::move(line));
    if (header)
        delimiter_ = headerDelimiter(line);
    line_text_ = line;

    fields.assign(1, std::string());
    bool quoted = false, atFieldStart = true;
    for (std::size_t i = 0;; ++i) {
        if (i == line.size()) {
            if (!quoted)
                break;
            std::string more;
            if (!physicalLine(more))
                throw ReadError(start_, 0, "引号未闭合 (a quoted field is not closed)");
            line += '\n';
            line += decoded(std::move(more));
        }
        const char c = line[i];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else
                quoted = false;
        } else if (c == '"' && atFieldStart) {
            quoted = true;
        } else if (c == delimiter_) {
            fields.emplace_back();
            atFieldStart = true;
            continue;
        } else {
            fields.back() += c;
        }
        atFieldStart = false;
    }
    return true;
}

// Records with nothing in them (blank lines, or only delimiters as a
// spreadsheet writes after its last row) are skipped.
bool Reader::next(Record &record)
{
    std::vector<std::string> found;
    do {
        if (!fields(found, false))
            return false;
    } while (std::all_of(found.begin(), found.end(), [](const std::string &f) { return trimmed(f).empty(); }));
    record.line = start_;
    for (int column = 0; column < input::columnCount; ++column) {
        const int at = position_[std::size_t(column)];
        record.fields[std::size_t(column)] = at >= 0 && std::size_t(at) < found.size() ? found[std::size_t(at)] : "";
    }
    record.header = header_.header;
    record.others.clear();
    for (const int at : header_.others)
        record.others.push_back(std::size_t(at) < found.size() ? found[std::size_t(at)] : "");
    record.unreadable.clear();
    record.refused.clear();
    // A field past the header's last column belongs to no column: taken, it
    // would be lost, or a shifted row read as if it were right.
    std::string beyond;
    for (std::size_t at = std::size_t(width_); at < found.size(); ++at)
        if (!trimmed(found[at]).empty())
            beyond += (beyond.empty() ? "“" : "、“") + std::string(trimmed(found[at])) + "”";
    if (!beyond.empty())
        record.refused = "比表头多出字段 " + beyond + "：表头只有 " + std::to_string(width_)
                         + " 列 (the row has more fields than the header)";
    // One field where the header has several: a line split by another separator.
    if (found.size() == 1 && width_ > 1)
        for (const char other : delimiters)
            if (other != delimiter_ && fieldsAt(line_text_, other) > 1)
                record.refused = "此行以" + delimiterName(other) + "分隔，表头以" + delimiterName(delimiter_)
                                 + "分隔：请整个文件用同一分隔符 (the row and the header are split by different separators)";
    return true;
}

} // namespace schedule
