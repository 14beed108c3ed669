#pragma once

#include "platform/services.h"
#include "window/form1.h"

#include <QApplication>
#include <QLineEdit>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <vector>

namespace testing {

// The texts of boxes Text<first> to Text<last>, in order.
inline QStringList boxTexts(const window::Form1 &form, int first = 1, int last = 15)
{
    QStringList texts;
    for (int n = first; n <= last; ++n)
        texts << form.textBox(n)->text();
    return texts;
}

// Answers prompts from a script. A question with no answer left is a test
// failure, answered as a cancel.
class ScriptedPrompt final : public platform::Prompt {
public:
    void answer(const QStringList &answers) { answers_ += answers; }
    bool allAnswered() const { return answers_.isEmpty(); }

    QString ask(const QString &question) override
    {
        if (answers_.isEmpty())
            QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + question), __FILE__, __LINE__);
        return answers_.isEmpty() ? QString() : answers_.takeFirst();
    }

private:
    QStringList answers_;
};

class RecordingReport final : public platform::FailureReport {
public:
    struct Report {
        numeric::FailureKind kind;
        QString message;
    };
    void report(numeric::FailureKind kind, const QString &message) override { reported.push_back({kind, message}); }
    std::vector<Report> reported;
};

struct ScriptedServices {
    ScriptedPrompt prompt;
    RecordingReport failures;
    platform::Services services{prompt, failures};
};

// The window in its start state, on screen, with scripted dialogs.
struct ScriptedForm {
    ScriptedForm()
    {
        form.Form_Load();
        form.show();
    }
    ScriptedServices scripted;
    window::Form1 form{scripted.services};
};

// Closes any modal dialog left open, so the run goes on instead of waiting for
// a hand that never comes, and remembers it to fail the test.
struct ModalWatchdog {
    ModalWatchdog()
    {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                stuck = modal->windowTitle() + QStringLiteral(": ") + modal->objectName();
                modal->close();
            }
        });
        timer.start(200);
    }
    QTimer timer;
    QString stuck; // empty when no dialog ever got stuck
};

} // namespace testing
