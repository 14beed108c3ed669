#pragma once

#include "platform/services.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <clocale>
#include <deque>
#include <vector>

namespace testing {

// CTest runs some suites a second time under a German locale. Make sure it
// took, or the second run would prove nothing.
inline void checkCommaLocale()
{
    std::setlocale(LC_ALL, ""); // as QCoreApplication does on start
    if (qEnvironmentVariableIsSet("QUILLMERE_EXPECT_COMMA_LOCALE"))
        QCOMPARE(QByteArray(std::localeconv()->decimal_point), QByteArray(","));
}

// Answers prompts from a script and records every question asked. A question
// with no answer left is a test failure, answered as a cancel.
class ScriptedPrompt final : public platform::Prompt {
public:
    void answer(std::initializer_list<QString> answers)
    {
        answers_.insert(answers_.end(), answers.begin(), answers.end());
    }

    QString ask(const QString &question) override
    {
        asked.append(question);
        if (answers_.empty()) {
            QTest::qFail(qPrintable(QStringLiteral("unexpected prompt: ") + question), __FILE__,
                         __LINE__);
            return QString();
        }
        QString next = answers_.front();
        answers_.pop_front();
        return next;
    }

    // True when every scripted answer was asked for.
    bool allAnswered() const { return answers_.empty(); }

    QStringList asked;

private:
    std::deque<QString> answers_;
};

class RecordingReport final : public platform::FailureReport {
public:
    void report(const numeric::Failure &failure) override { reported.push_back(failure); }

    std::vector<numeric::Failure> reported;
};

struct ScriptedServices {
    ScriptedPrompt prompt;
    RecordingReport failures;
    platform::Services services{prompt, failures};
};

// Fails the running test if a modal dialog is left open, then closes it so the
// run goes on instead of waiting for a hand that never comes.
class ModalWatchdog {
public:
    ModalWatchdog()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                seen_ = modal->windowTitle() + QStringLiteral(": ") + modal->objectName();
                modal->close();
            }
        });
        timer_.start(200);
    }

    // Call at the end of a test: empty when no dialog ever got stuck.
    QString stuckDialog() const { return seen_; }

private:
    QTimer timer_;
    QString seen_;
};

} // namespace testing
