#pragma once

// Excel's "Unicode text": UTF-16 of either byte order, decoded to UTF-8 as
// it is read, so lines, delimiters and quotes are single bytes as in any
// other schedule. A unit that is no character (a lone surrogate) is marked
// where it stands, for the line it falls on to be refused.

#include <streambuf>
#include <string>

namespace schedule {

class Utf16Decoder : public std::streambuf {
public:
    Utf16Decoder(std::streambuf *from, bool bigEndian) : from_(from), bigEndian_(bigEndian) {}
    int brokenLine() const { return broken_; } // the count of line ends before the first bad unit, or -1

protected:
    int_type underflow() override;

private:
    void unit(char16_t u);
    void put(char32_t c);
    void mark();

    std::streambuf *from_;
    bool bigEndian_;
    std::string out_;
    std::streamsize carried_ = 0; // an odd byte left at the end of a chunk,
    char odd_ = '\0';              // which begins the next
    char16_t pendingHigh_ = 0;
    int lines_ = 0, broken_ = -1;
};

} // namespace schedule
