#pragma once

// What the page's core hands the page: plain JavaScript values, or JSON
// where it hands over much at once, built as they go; and the separators of
// a schedule's rows in bulk, which can never be typed.

#include "numeric/number_text.h"
#include "schedule/fields.h"

#include <emscripten/val.h>

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace page {

inline constexpr char recordSeparator = '\x1e', fieldSeparator = '\x1f';

using schedule::splitAt;

// A JSON text written as it goes: what the page reads in bulk (a schedule's
// records), where one text parsed by the browser reaches the page well
// over twice as soon as as many values made one by one (ten thousand rows
// pasted: 0.4 s against 1 s).
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

// A JavaScript value built as it goes, the page's plain objects, arrays,
// texts, numbers, booleans and null: open('{') an object or open('[') an
// array, key() before each member of an object, close() when it is done.
class Value {
public:
    Value &open(char bracket)
    {
        stack_.push_back({bracket == '{' ? emscripten::val::object() : emscripten::val::array(), {}, bracket == '['});
        return *this;
    }
    Value &close(char)
    {
        const emscripten::val done = std::move(stack_.back().value);
        stack_.pop_back();
        if (stack_.empty())
            result_ = done;
        else
            put(done);
        return *this;
    }
    Value &key(std::string_view name)
    {
        stack_.back().key = name;
        return *this;
    }
    Value &text(std::string_view s) { return put(emscripten::val(std::string(s))); }
    Value &number(double value) { return put(emscripten::val(value)); }
    Value &boolean(bool value) { return put(emscripten::val(value)); }
    // A verdict not yet known is null.
    Value &known(const std::optional<bool> &value) { return put(value ? emscripten::val(*value) : emscripten::val::null()); }
    Value &null() { return put(emscripten::val::null()); }
    emscripten::val done() { return std::move(result_); }

private:
    Value &put(const emscripten::val &value)
    {
        Frame &top = stack_.back();
        if (top.array)
            top.value.call<void>("push", value);
        else
            top.value.set(top.key, value);
        return *this;
    }
    struct Frame {
        emscripten::val value;
        std::string key;
        bool array;
    };
    std::vector<Frame> stack_;
    emscripten::val result_ = emscripten::val::undefined();
};

} // namespace page
