#include "workbook/xml.h"

#include <new>

namespace workbook {

namespace {

constexpr char separator = '\x01'; // between a name's namespace and its local part

} // namespace

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

Xml::Xml(Part &part, Handler &handler) : part_(part), handler_(handler), parser_(XML_ParserCreateNS(nullptr, separator))
{
    if (!parser_)
        throw std::bad_alloc();
    XML_SetUserData(parser_, this);
    XML_SetElementHandler(parser_, &Xml::opened, &Xml::closed);
    XML_SetCharacterDataHandler(parser_, &Xml::characters);
    XML_SetStartDoctypeDeclHandler(parser_, &Xml::doctype);
}

bool Xml::feed()
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

template <typename Event>
void Xml::deliver(void *self, Event event)
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

void XMLCALL Xml::opened(void *self, const char *name, const char **attributes)
{
    deliver(self, [&](Handler &h) { h.open(local(name), attributes); });
}

void XMLCALL Xml::closed(void *self, const char *name)
{
    deliver(self, [&](Handler &h) { h.close(local(name)); });
}

void XMLCALL Xml::characters(void *self, const char *text, int length)
{
    deliver(self, [&](Handler &h) { h.text({text, std::size_t(length)}); });
}

// Entities that expand a billion times hide in a document type; no
// workbook part has one.
void XMLCALL Xml::doctype(void *self, const char *, const char *, const char *, int)
{
    auto *xml = static_cast<Xml *>(self);
    deliver(self, [&](Handler &) {
        throw Unreadable("工作簿的 " + xml->part_.name() + " 含文档类型定义，拒绝读取 (a document type, which no "
                         "workbook part holds)");
    });
}

void appendLimited(std::string &to, std::string_view text, std::size_t limit, const std::string &part)
{
    if (to.size() + text.size() > limit)
        throw Unreadable("工作簿的 " + part + " 中有单元格超过电子表格所能容纳的内容 (a cell larger than a spreadsheet holds)");
    to += text;
}

} // namespace workbook
