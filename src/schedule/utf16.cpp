#include "schedule/utf16.h"

namespace schedule {

Utf16Decoder::int_type Utf16Decoder::underflow()
{
    out_.clear();
    while (out_.empty()) {
        char in[8192];
        in[0] = odd_;
        std::size_t n = std::size_t(from_->sgetn(in + carried_, std::streamsize(sizeof in) - carried_)) + carried_;
        if (n < 2) {
            if (n == 1 || pendingHigh_)
                mark();
            pendingHigh_ = 0;
            carried_ = 0;
            if (out_.empty())
                return traits_type::eof();
            break;
        }
        const std::size_t whole = n & ~std::size_t(1);
        for (std::size_t i = 0; i < whole; i += 2) {
            const auto a = static_cast<unsigned char>(in[i]), b = static_cast<unsigned char>(in[i + 1]);
            unit(char16_t(bigEndian_ ? (a << 8 | b) : (b << 8 | a)));
        }
        carried_ = std::streamsize(n - whole);
        odd_ = carried_ ? in[whole] : '\0';
    }
    setg(out_.data(), out_.data(), out_.data() + out_.size());
    return traits_type::to_int_type(out_[0]);
}

void Utf16Decoder::unit(char16_t u)
{
    if (pendingHigh_) {
        const char16_t high = pendingHigh_;
        pendingHigh_ = 0;
        if (u >= 0xDC00 && u <= 0xDFFF) {
            put(0x10000 + ((char32_t(high) - 0xD800) << 10) + (u - 0xDC00));
            return;
        }
        mark();
    }
    if (u >= 0xD800 && u <= 0xDBFF)
        pendingHigh_ = u;
    else if (u >= 0xDC00 && u <= 0xDFFF)
        mark();
    else
        put(u);
}

void Utf16Decoder::put(char32_t c)
{
    if (c == '\n')
        ++lines_;
    if (c < 0x80) {
        out_ += char(c);
    } else if (c < 0x800) {
        out_ += char(0xC0 | c >> 6);
        out_ += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out_ += char(0xE0 | c >> 12);
        out_ += char(0x80 | (c >> 6 & 0x3F));
        out_ += char(0x80 | (c & 0x3F));
    } else {
        out_ += char(0xF0 | c >> 18);
        out_ += char(0x80 | (c >> 12 & 0x3F));
        out_ += char(0x80 | (c >> 6 & 0x3F));
        out_ += char(0x80 | (c & 0x3F));
    }
}

void Utf16Decoder::mark()
{
    if (broken_ < 0)
        broken_ = lines_;
    put(0xFFFD);
}

} // namespace schedule
