// A monkey at the window: 20,000 random clicks, prompt answers and box texts
// from a fixed seed, including texts no engineer should type. After each event
// the program must still stand, every failure must be one of the four kinds,
// a failed click must leave the boxes it did not reach as they were, and what
// the program writes into the result box must be empty or a whole number of
// millimetres.

#include "calc/messages.h"
#include "support/scripted_services.h"
#include "support/window_boxes.h"
#include "window/form1.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>

#include <random>

using window::Form1;

namespace {

// Texts from the boxes' whole range: sound numbers, edges of the rules, words,
// control characters, emoji, right-to-left text and, rarely, a megabyte.
class TextSource {
public:
    explicit TextSource(std::mt19937_64 &random) : random_(random) {}

    QString next()
    {
        static const QStringList fixed{
            "", "100", "0.1", "0.5", "0.6", "20000", "1000", "0", "-5", "12.5", "4E-05", "1E-05",
            "-4E-06", "30000", "40000", "32767.5", "-32768.5", "1e400", "-1e400", "1e-400", "-0",
            "NaN", "nan", "inf", "-Infinity", " 无此值 ", " 无此方程 ", "1,5", "20 000",
            QStringLiteral("\u0001\u0002\t\n\r42"), QStringLiteral("😀123"),
            QStringLiteral("١٢٣"), QStringLiteral("שלום 5"), QStringLiteral("\u202E12"),
            QStringLiteral("１２"), QString(QChar(0xD800)) + "7", "1e", "-.5e-3x", "0x1F",
        };
        const int pick = int(random_() % 1000);
        if (pick == 0 && ++huge_ <= 3)
            return QString(1'000'000, QLatin1Char('9'));
        if (pick < 300) {
            // A number of any size, as %g would write it.
            std::uniform_real_distribution<double> exponent(-12, 12);
            const double value = std::pow(10.0, exponent(random_)) * (random_() & 1 ? 1 : -1);
            return QString::number(value, 'g', int(random_() % 17) + 1);
        }
        return fixed.at(int(random_() % fixed.size()));
    }

private:
    std::mt19937_64 &random_;
    int huge_ = 0;
};

class RandomPrompt final : public platform::Prompt {
public:
    explicit RandomPrompt(TextSource &texts) : texts_(texts) {}
    QString ask(const QString &) override { return texts_.next(); }

private:
    TextSource &texts_;
};

QString q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

} // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

private slots:
    void twentyThousandRandomEvents();
};

void MonkeyTest::twentyThousandRandomEvents()
{
    std::mt19937_64 random(20190606);
    TextSource texts(random);
    RandomPrompt prompt(texts);
    testing::RecordingReport failures;
    platform::Services services{prompt, failures};
    Form1 form(services);
    form.Form_Load();
    form.show();

    const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]{1,5}$"));
    int clicks = 0, failed = 0;
    for (int event = 0; event < 20'000; ++event) {
        const int what = int(random() % 100);
        if (what >= 45) {
            form.textBox(int(random() % 15) + 1)->setText(texts.next());
            continue;
        }

        const QStringList before = QStringList{QString()} + testing::boxTexts(form); // [n] is Text n
        const std::size_t reportsBefore = failures.reported.size();
        QString handler;
        if (what < 15) {
            const int option = int(random() % 2) + 1;
            handler = form.optionButton(option)->isChecked() ? QString() : QStringLiteral("Option%1").arg(option);
            QTest::mouseClick(form.optionButton(option), Qt::LeftButton);
        } else {
            const int command = int(random() % 4) + 1;
            handler = QStringLiteral("Command%1").arg(command);
            QTest::mouseClick(form.commandButton(command), Qt::LeftButton);
        }
        ++clicks;

        const QStringList after = QStringList{QString()} + testing::boxTexts(form);
        const QString context = QStringLiteral("event %1, %2").arg(event).arg(handler);
        // The result box as the program leaves it (the monkey types into it too).
        const QString length = after[14];
        if (length != before[14] && !length.isEmpty()) {
            QVERIFY2(wholeNumber.match(length).hasMatch(), qPrintable(context + ": " + length.left(40)));
            const int millimetres = length.toInt();
            QVERIFY2(millimetres >= -32768 && millimetres <= 32767, qPrintable(context));
        }

        const std::size_t reports = failures.reported.size() - reportsBefore;
        QVERIFY2(reports <= 1, qPrintable(context));
        if (reports == 0)
            continue;
        ++failed;
        const numeric::FailureKind kind = failures.reported.back().kind();
        QVERIFY2(kind == numeric::FailureKind::Overflow || kind == numeric::FailureKind::DivisionByZero
                     || kind == numeric::FailureKind::InvalidOperation
                     || kind == numeric::FailureKind::InvalidArgument,
                 qPrintable(context));

        // What a failed click may have changed, and nothing else.
        const auto unchanged = [&](std::initializer_list<int> numbers) {
            for (int n : numbers)
                QVERIFY2(after[n] == before[n], qPrintable(context + QStringLiteral(": Text%1").arg(n)));
        };
        const QString enterParameters = q(calc::status::enterParameters);
        if (handler == QLatin1String("Command1")) {
            // Coefficients up to the failing one may have been written.
            unchanged({1, 2, 3, 4, 5, 6, 7, 8, 9, 14, 15});
        } else if (handler == QLatin1String("Command2")) {
            unchanged({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15});
            QCOMPARE(after[14], QString());
        } else if (handler == QLatin1String("Option1")) {
            unchanged({1, 2, 7, 8, 9, 10, 11, 12, 13, 14});
            QCOMPARE(after[15], enterParameters);
        } else if (handler == QLatin1String("Option2")) {
            unchanged({14});
            QCOMPARE(after[9], q(calc::placeholder::noValue));
            for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13})
                QCOMPARE(after[n], QString());
            QCOMPARE(after[15], enterParameters);
        } else {
            QFAIL(qPrintable(context + QStringLiteral(": a failure where none can happen")));
        }
    }
    qInfo("%d clicks, %d failed and reported", clicks, failed);
    QVERIFY(failed > 100); // the monkey did reach the failure paths
}

QTEST_MAIN(MonkeyTest)
#include "tst_monkey.moc"
