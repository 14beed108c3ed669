#pragma once

#include <QString>

namespace platform {

// A modal question with a one-line answer. Handlers ask their parameter
// questions only through this, so tests can answer them by script.
class Prompt {
public:
    virtual ~Prompt() = default;

    // Returns the text typed, or "" when the engineer cancels.
    virtual QString ask(const QString &question) = 0;
};

// The window is Chinese throughout, whatever the desktop's language: so are
// its dialogs' buttons. Their accessible names follow the captions.
QString okCaption();     // 确定
QString cancelCaption(); // 取消

// The real prompt: a QInputDialog titled "Quillmere" showing only the question,
// with an empty answer line. Return accepts, Escape cancels.
class DialogPrompt final : public Prompt {
public:
    QString ask(const QString &question) override;
};

} // namespace platform
