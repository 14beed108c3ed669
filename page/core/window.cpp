// The calculator window as the page shows it: the window's design, and its
// handlers run over the box texts the page holds, as the window's own run
// over its boxes. The page cannot wait inside a handler for its prompt, so a
// profile's entry is held here between questions and taken an answer at a
// time: each call says what the handler wrote, in order, the question to
// put next, and the failure that stopped it.

#include "page.h"
#include "values.h"

#include "calc/messages.h"
#include "calc/window_handlers.h"
#include "diagrams/atlas.h"
#include "schedule/schedule.h"
#include "window/control_table.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace page {

namespace {

// The boxes as the page holds them (Text1..Text15) and which profile is
// selected, and every box the handler writes, in order.
class PageView final : public calc::WindowView {
public:
    PageView(std::vector<std::string> texts, std::array<bool, 2> selected) : texts_(std::move(texts)), selected_(selected)
    {
        texts_.resize(calc::box::status);
    }

    std::string text(int box) const override { return texts_.at(std::size_t(box - 1)); }
    void setText(int box, std::string_view text) override
    {
        texts_.at(std::size_t(box - 1)) = text;
        writes_.emplace_back(box, text);
    }
    bool isSelected(int profile) const override { return selected_.at(std::size_t(profile - 1)); }
    // The entry is stepped (ParameterEntry), never asked through the view.
    std::string ask(std::string_view) override { return {}; }

    std::vector<std::pair<int, std::string>> takeWrites() { return std::exchange(writes_, {}); }

private:
    std::vector<std::string> texts_;
    std::array<bool, 2> selected_;
    std::vector<std::pair<int, std::string>> writes_;
};

// A profile's entry between two questions.
struct Entering {
    Entering(PageView view, calc::Profile profile) : view(std::move(view)), entry(this->view, profile) {}
    PageView view;
    calc::ParameterEntry entry;
};
std::unique_ptr<Entering> entering;

// {writes: [[box, text]], question: text or null, failure: {kind, report}
// or null}: kind 0 overflow, 1 division by zero, 2 invalid operation, 3
// invalid argument; the report as the window's failure box shows it.
emscripten::val answered(PageView &view, std::optional<std::string_view> question, const numeric::Failure *failure)
{
    Value out;
    out.open('{').key("writes").open('[');
    for (const auto &[box, text] : view.takeWrites())
        out.open('[').number(box).text(text).close(']');
    out.close(']').key("question");
    if (question)
        out.text(*question);
    else
        out.null();
    out.key("failure");
    if (failure)
        out.open('{').key("kind").number(int(failure->kind())).key("report").text(calc::failureReport(*failure)).close('}');
    else
        out.null();
    return out.close('}').done();
}

} // namespace

// The window's controls by the design's own table (twips of the client
// area), its credits, and the status line's words.
emscripten::val windowDesign()
{
    Value out;
    out.open('{').key("width").number(window::clientArea.width).key("height").number(window::clientArea.height);
    out.key("twipsPerPixel").number(platform::twipsPerPixel).key("controls").open('[');
    for (const window::ControlSpec &c : window::controlTable())
        out.open('{').key("name").text(std::string(window::kindPrefix(c.kind)) + std::to_string(c.number))
            .key("caption").text(c.caption).key("left").number(c.rect.left).key("top").number(c.rect.top)
            .key("width").number(c.rect.width).key("height").number(c.rect.height).key("tab").number(c.tabIndex)
            .key("red").boolean(c.looks & window::RedText).key("boldSong").boolean(c.looks & window::BoldSong)
            .key("centred").boolean(c.looks & window::Centred).close('}');
    out.close(']').key("credits").open('[');
    for (const std::string &line : window::credits(schedule::versionText()))
        out.text(line);
    out.close(']').key("status").open('{').key("chooseProfile").text(calc::status::chooseProfile)
        .key("enterParameters").text(calc::status::enterParameters).key("computeEquations")
        .text(calc::status::computeEquations).key("computeLength").text(calc::status::computeLength)
        .key("readResult").text(calc::status::readResult).close('}');
    return out.close('}').done();
}

// The window's answers as a row of the schedule named `name` (fields in the
// order of the input columns): its profile and the parameters it uses as
// their boxes stand, a placeholder no value and C2a's k2, fixed at 0.5, left
// to the profile; null where no profile is selected.
emscripten::val windowRecord(const emscripten::val &texts, const emscripten::val &selected, const std::string &name)
{
    const std::vector<std::string> boxes = emscripten::vecFromJSArray<std::string>(texts);
    const std::vector<bool> options = emscripten::vecFromJSArray<bool>(selected);
    const bool c2a = !options.empty() && options[0], c4 = options.size() > 1 && options[1];
    if (!c2a && !c4)
        return emscripten::val::null();
    std::array<std::string, schedule::input::columnCount> fields;
    fields[schedule::input::name] = name;
    fields[schedule::input::profile] = c2a ? "C2a" : "C4";
    for (int box = calc::box::e1; box <= calc::box::lg2 && std::size_t(box) <= boxes.size(); ++box) {
        const std::string &text = boxes[std::size_t(box - 1)];
        if (text != calc::placeholder::noValue && !(c2a && box == calc::box::k2))
            fields[std::size_t(schedule::input::e1 + box - calc::box::e1)] = std::string(schedule::trimmed(text));
    }
    Value out;
    out.open('[');
    for (const std::string &field : fields)
        out.text(field);
    return out.close(']').done();
}

// A handler of the window ("Option1_Click" ... "Command2_Click") run over
// the box texts given (Text1..Text15) and the options selected ([Option1,
// Option2]). A profile's handler stops at its first question, which
// windowAnswer answers; a click meanwhile drops the entry.
emscripten::val windowClick(const std::string &handler, const emscripten::val &texts, const emscripten::val &selected)
{
    entering.reset();
    const std::vector<bool> options = emscripten::vecFromJSArray<bool>(selected);
    PageView view(emscripten::vecFromJSArray<std::string>(texts),
                  {options.size() > 0 && options[0], options.size() > 1 && options[1]});
    try {
        if (handler == "Option1_Click" || handler == "Option2_Click") {
            entering = std::make_unique<Entering>(std::move(view), handler == "Option1_Click" ? calc::Profile::c2a : calc::Profile::c4);
            return answered(entering->view, entering->entry.question(), nullptr);
        }
        if (handler == "Command1_Click")
            calc::computeCoefficients(view);
        else if (handler == "Command2_Click")
            calc::computeStrandLength(view);
    } catch (const numeric::Failure &failure) {
        return answered(view, std::nullopt, &failure);
    }
    return answered(view, std::nullopt, nullptr);
}

// An atlas diagram (101 C2a, 102 C4) as the diagram buttons show it in a
// picture area of bw x bh twips inside: {svg, left, top, width, height},
// where it is drawn in twips of the area, placed as the window places its
// bitmap of the same drawing (15 twips a pixel).
emscripten::val windowDiagram(int resource, double bw, double bh)
{
    const diagrams::Size size = diagrams::atlasSize(resource);
    const diagrams::Placement at = diagrams::place(float(size.width * platform::twipsPerPixel),
                                                   float(size.height * platform::twipsPerPixel), float(bw), float(bh));
    return Value().open('{').key("svg").text(diagrams::atlasSvg(resource)).key("left").number(at.left).key("top")
        .number(at.top).key("width").number(at.width).key("height").number(at.height).close('}').done();
}

// The answer to the question last put ("" for a cancel), as the window's
// prompt takes it: the next question, or the entry written, or its failure.
emscripten::val windowAnswer(const std::string &typed)
{
    if (!entering) { // no question stands: nothing is written
        PageView idle({}, {});
        return answered(idle, std::nullopt, nullptr);
    }
    try {
        entering->entry.answer(typed);
    } catch (const numeric::Failure &failure) {
        const emscripten::val out = answered(entering->view, std::nullopt, &failure);
        entering.reset();
        return out;
    }
    const std::optional<std::string_view> question = entering->entry.question();
    const emscripten::val out = answered(entering->view, question, nullptr);
    if (!question)
        entering.reset();
    return out;
}

} // namespace page
