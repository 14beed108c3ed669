#include "calc/box_values.h"

#include "calc/messages.h"
#include "numeric/failure.h"
#include "numeric/number_text.h"

#include <string>

namespace calc {

namespace {

template <class Read>
auto reading(const WindowView &view, int box, std::string_view name, bool whole, Read read)
{
    const std::string text = view.text(box);
    try {
        return read(text);
    } catch (const numeric::Failure &failure) {
        throw numeric::Failure(failure.kind(), valueOutOfRange(name, text, whole));
    }
}

} // namespace

double readReal(const WindowView &view, int box, std::string_view name)
{
    return reading(view, box, name, false,
                   [](const std::string &text) { return numeric::readNumber(text); });
}

double readHeld(const WindowView &view, int box, std::string_view name)
{
    return reading(view, box, name, false, [](const std::string &text) {
        return numeric::heldAsText(numeric::readNumber(text));
    });
}

std::int16_t readWhole(const WindowView &view, int box, std::string_view name)
{
    return reading(view, box, name, true, [](const std::string &text) {
        return numeric::roundToShort(numeric::readNumber(text));
    });
}

} // namespace calc
