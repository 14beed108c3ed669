// The golden table of tendons down the calculation core alone, on boxes held
// in memory.

#include "calc/coefficients.h"
#include "calc/profile_entry.h"
#include "calc/strand_length.h"
#include "support/tendon_table.h"

#include <QTest>

#include <array>
#include <deque>
#include <string>

namespace {

class MemoryWindow final : public calc::WindowView, public testing::Road {
public:
    MemoryWindow() { boxes_[calc::box::status] = calc::status::chooseProfile; }

    std::string text(int box) const override { return boxes_.at(box); }
    void setText(int box, std::string_view text) override { boxes_.at(box) = text; }
    bool isSelected(int profile) const override { return selected_ == profile; }
    std::string ask(std::string_view) override
    {
        if (answers_.empty()) {
            QTest::qFail("a prompt beyond the answers", __FILE__, __LINE__);
            return {};
        }
        std::string next = answers_.front().toStdString();
        answers_.pop_front();
        return next;
    }

    std::optional<numeric::FailureKind> select(int profile, const QStringList &answers) override
    {
        selected_ = profile;
        answers_.assign(answers.begin(), answers.end());
        return failure(profile == calc::profile::c2a ? calc::enterC2a : calc::enterC4);
    }
    std::optional<numeric::FailureKind> click(int command) override
    {
        return failure(command == 1 ? calc::computeCoefficients : calc::computeStrandLength);
    }
    void type(int box, const QString &text) override { boxes_.at(box) = text.toStdString(); }
    QString shown(int box) const override { return QString::fromStdString(boxes_.at(box)); }

private:
    std::optional<numeric::FailureKind> failure(void (*handler)(calc::WindowView &))
    {
        try {
            handler(*this);
        } catch (const numeric::Failure &failure) {
            return failure.kind();
        }
        return std::nullopt;
    }

    std::array<std::string, 16> boxes_; // [1]..[15]
    int selected_ = 0;
    std::deque<QString> answers_;
};

} // namespace

class CalculationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void tendon_data() { testing::tendonRows(); }
    void tendon()
    {
        QFETCH(int, row);
        MemoryWindow window;
        testing::walk(testing::tendons()[row], window);
    }
};

QTEST_APPLESS_MAIN(CalculationTest)
#include "tst_calculation.moc"
