// The site link: a tendon's rows and stressing, written as text (fields split
// by U+001F, rows and options by U+001E, the two parts by U+001D), deflated
// with zlib's checksum and written in the URL-safe base64 alphabet after the
// fragment's mark of its version, "#t1.". A link a character off or cut
// short fails the inflation or the checksum, and is refused whole.

#include "schedule/schedule.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>

namespace schedule {
namespace {

constexpr std::string_view mark = "#t", version = "1.";
constexpr char field = '\x1f', row = '\x1e', part = '\x1d';
constexpr std::string_view alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr std::size_t longest = 1 << 16; // bytes a link may inflate to: a tendon's text is a few hundred
constexpr std::size_t longestUrl = 200;   // the page's address: the code must hold the tendon too

const std::string damaged = "链接已损坏或不完整，未打开 (the link is damaged or cut short)";

std::string base64(const unsigned char *bytes, std::size_t size)
{
    std::string text;
    for (std::size_t at = 0; at < size; at += 3) {
        const std::size_t n = std::min<std::size_t>(3, size - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i)
            group = group << 8 | (i < n ? bytes[at + i] : 0u);
        for (std::size_t i = 0; i <= n; ++i)
            text += alphabet[group >> (18 - 6 * i) & 63];
    }
    return text;
}

std::optional<std::string> unbase64(std::string_view text)
{
    if (text.size() % 4 == 1)
        return std::nullopt;
    std::string bytes;
    std::uint32_t group = 0;
    int bits = 0;
    for (const char c : text) {
        const std::size_t value = alphabet.find(c);
        if (value == std::string_view::npos)
            return std::nullopt;
        group = group << 6 | std::uint32_t(value);
        if ((bits += 6) >= 8) {
            bits -= 8;
            bytes += char(group >> bits & 0xff);
        }
    }
    if ((group & ((1u << bits) - 1)) != 0) // bits past the last byte are written as zeros
        return std::nullopt;
    return bytes;
}

// Where an option comes in the order options are taken; past the last for
// no option.
std::size_t order(std::string_view key)
{
    const auto options = stressingOptions();
    return std::size_t(std::find_if(options.begin(), options.end(), [&](const StressingOption &o) { return o.key == key; })
                       - options.begin());
}

} // namespace

std::string siteUrlProblem(std::string_view url)
{
    const std::string_view host = url.starts_with("https://") ? url.substr(8)
                                  : url.starts_with("http://") ? url.substr(7)
                                                               : std::string_view();
    if (host.empty() || host.front() == '/')
        return "须为 http:// 或 https:// 开头的网址 (the address where the page is served, as http:// or https://...)";
    if (url.size() > longestUrl)
        return "长于 " + std::to_string(longestUrl) + " 个字符 (too long to leave room for the tendon in the code)";
    for (const unsigned char c : url)
        if (c <= ' ' || c == '#' || c >= 0x7f)
            return "含空格、控制字符、# 或非 ASCII 字符 (an address in plain ASCII, with no blanks and no fragment; "
                   "write a Chinese host name as its xn-- form)";
    return {};
}

std::string siteLink(std::string_view siteUrl, std::span<const Record> rows, const Stressing &stressing)
{
    // The options as the page takes them: only those off their defaults.
    const Stressing defaults;
    std::string text;
    for (const StressingOption &o : stressingOptions()) {
        const std::string value = stressing.shown(o.key);
        if (value == defaults.shown(o.key))
            continue;
        if (!text.empty())
            text += row;
        ((text += o.key) += field) += value;
    }
    text += part;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto &fields = rows[r].fields;
        std::size_t used = fields.size();
        while (used > 0 && trimmed(fields[used - 1]).empty())
            --used;
        if (r)
            text += row;
        for (std::size_t f = 0; f < used; ++f) {
            if (f)
                text += field;
            // The separators are never a schedule's text; one a file held goes as '?'.
            for (const char c : trimmed(fields[f]))
                text += c == field || c == row || c == part ? '?' : c;
        }
    }
    uLongf size = compressBound(uLong(text.size()));
    std::vector<unsigned char> packed(size);
    compress2(packed.data(), &size, reinterpret_cast<const Bytef *>(text.data()), uLong(text.size()), Z_BEST_COMPRESSION);
    return std::string(siteUrl) + std::string(mark) + std::string(version) + base64(packed.data(), size);
}

SiteLinkRead readSiteLink(std::string_view link)
{
    const std::size_t at = link.rfind(mark);
    if (at == std::string_view::npos || at + mark.size() >= link.size())
        return {std::nullopt, "不是 Quillmere 现场记录的链接 (not a link to a tendon's site record)"};
    std::string_view rest = link.substr(at + mark.size());
    if (!rest.starts_with(version)) {
        const bool newer = rest.front() >= '2' && rest.front() <= '9';
        return {std::nullopt, newer ? "链接来自较新版本的 Quillmere，请用较新版本打开 (a link from a newer version)"
                                    : "不是 Quillmere 现场记录的链接 (not a link to a tendon's site record)"};
    }
    const auto packed = unbase64(rest.substr(version.size()));
    if (!packed || packed->empty())
        return {std::nullopt, damaged};
    std::string text(longest, '\0');
    uLongf size = text.size();
    if (uncompress(reinterpret_cast<Bytef *>(text.data()), &size, reinterpret_cast<const Bytef *>(packed->data()),
                   uLong(packed->size()))
        != Z_OK)
        return {std::nullopt, damaged};
    text.resize(size);

    const auto parts = splitAt(text, part);
    if (parts.size() != 2)
        return {std::nullopt, damaged};
    SiteTendon tendon;
    Stressing check;
    for (std::string_view option : splitAt(parts[0], row)) {
        const auto pair = splitAt(option, field);
        if (pair.size() != 2 || order(pair[0]) == stressingOptions().size() || check.set(pair[0], pair[1]))
            return {std::nullopt, damaged};
        tendon.options.emplace_back(pair[0], pair[1]);
    }
    for (std::string_view line : splitAt(parts[1], row)) {
        const auto fields = splitAt(line, field);
        if (fields.size() > std::size_t(input::columnCount))
            return {std::nullopt, damaged};
        Record &record = tendon.rows.emplace_back();
        record.line = int(tendon.rows.size());
        std::copy(fields.begin(), fields.end(), record.fields.begin());
        if (record.blank() || (tendon.rows.size() > 1 && !sameTendon(tendon.rows.front(), record)))
            return {std::nullopt, damaged};
    }
    if (tendon.rows.empty())
        return {std::nullopt, damaged};
    // The options in the order they are taken, whatever order the link gave.
    std::stable_sort(tendon.options.begin(), tendon.options.end(),
                     [](const auto &a, const auto &b) { return order(a.first) < order(b.first); });
    return {std::move(tendon), {}};
}

} // namespace schedule
