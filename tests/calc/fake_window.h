#pragma once

// The window as the calculations see it, held in memory: fifteen box texts,
// the selected profile and a script of prompt answers.

#include "calc/window_view.h"

#include <QTest>

#include <array>
#include <deque>
#include <string>
#include <vector>

namespace testing {

class FakeWindow final : public calc::WindowView {
public:
    std::array<std::string, 16> boxes; // boxes[1]..boxes[15]
    int selected = 0;                  // 0 none, 1 C2a, 2 C4
    std::deque<std::string> answers;   // "" answers as a cancel would
    std::vector<std::string> asked;

    std::string text(int box) const override { return boxes.at(box); }
    void setText(int box, std::string_view text) override { boxes.at(box) = text; }
    bool isSelected(int profile) const override { return selected == profile; }

    std::string ask(std::string_view question) override
    {
        asked.emplace_back(question);
        if (answers.empty()) {
            QTest::qFail("a prompt beyond the script", __FILE__, __LINE__);
            return {};
        }
        std::string next = answers.front();
        answers.pop_front();
        return next;
    }

    // Every box holds its own name, so a box a handler must not touch shows it.
    void fillWithNames()
    {
        for (int n = 1; n <= 15; ++n)
            boxes.at(n) = "Text" + std::to_string(n);
    }
};

} // namespace testing
