#pragma once

// A workbook's XML parts as expat reads them: a stream of events, elements
// by their local name whatever namespace prefix the writer chose (the strict
// and the transitional schema's are both read), a document type refused.
// For the reader's own files only.

#include "workbook/package.h"

#include <expat.h>

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace workbook {

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

// An element's or attribute's name without its namespace.
std::string_view local(const char *name);
// An attribute's value by its local name; none where it is not given.
std::optional<std::string_view> attribute(const char **attributes, std::string_view name);

// expat over a part. A handler's exception stops the parser and is thrown
// again once expat has returned, never through it.
class Xml {
public:
    Xml(Part &part, Handler &handler);
    ~Xml() { XML_ParserFree(parser_); }
    Xml(const Xml &) = delete;
    Xml &operator=(const Xml &) = delete;

    // Parses the next chunk of the part; false once all of it is parsed.
    bool feed();
    void all()
    {
        while (feed()) {
        }
    }

private:
    template <typename Event>
    static void deliver(void *self, Event event);
    static void XMLCALL opened(void *self, const char *name, const char **attributes);
    static void XMLCALL closed(void *self, const char *name);
    static void XMLCALL characters(void *self, const char *text, int length);
    static void XMLCALL doctype(void *self, const char *, const char *, const char *, int);

    Part &part_;
    Handler &handler_;
    XML_Parser parser_;
    std::exception_ptr failure_;
};

// A cell's text grown by more, refused past `limit` bytes (in `part`).
void appendLimited(std::string &to, std::string_view text, std::size_t limit, const std::string &part);

} // namespace workbook
