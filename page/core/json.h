#pragma once

// What the page's core hands the page as JSON, written as it goes, and the
// separators of the texts the page hands the core, which can never be typed.

#include "numeric/number_text.h"
#include "schedule/fields.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace page {

inline constexpr char recordSeparator = '\x1e', fieldSeparator = '\x1f';

using schedule::splitAt;

class Json {
public:
    Json &text(std::string_view s)
    {
        comma();
        out_ += '"';
        for (char c : s) {
            if (c == '"' || c == '\\') {
                out_ += '\\';
                out_ += c;
            } else if (static_cast<unsigned char>(c) < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out_ += escaped;
            } else {
                out_ += c;
            }
        }
        out_ += '"';
        return *this;
    }
    Json &number(double value)
    {
        comma();
        out_ += numeric::writeNumber(value);
        return *this;
    }
    Json &key(std::string_view name)
    {
        text(name);
        out_ += ':';
        fresh_ = true;
        return *this;
    }
    Json &open(char bracket)
    {
        comma();
        out_ += bracket;
        fresh_ = true;
        return *this;
    }
    Json &close(char bracket)
    {
        out_ += bracket;
        fresh_ = false;
        return *this;
    }
    Json &raw(std::string_view literal)
    {
        comma();
        out_ += literal;
        return *this;
    }
    std::string done() { return std::move(out_); }

private:
    void comma()
    {
        if (!fresh_)
            out_ += ',';
        fresh_ = false;
    }
    std::string out_;
    bool fresh_ = true;
};

} // namespace page
