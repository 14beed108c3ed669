// The golden table of tendons down the calculation core alone, on boxes held
// in memory.

#include "calc/window_handlers.h"
#include "support/tendon_table.h"

#include <QTest>

#include <array>
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
        return answers_.isEmpty() ? std::string() : answers_.takeFirst().toStdString();
    }

    QString select(int profile, const QStringList &answers) override
    {
        selected_ = profile;
        answers_ = answers;
        return failure(profile == calc::profile::c2a ? calc::enterC2a : calc::enterC4);
    }
    QString click(int command) override
    {
        return failure(command == 1 ? calc::computeCoefficients : calc::computeStrandLength);
    }
    void type(int box, const QString &text) override { boxes_.at(box) = text.toStdString(); }
    QString shown(int box) const override { return QString::fromStdString(boxes_.at(box)); }

private:
    QString failure(void (*handler)(calc::WindowView &))
    {
        try {
            handler(*this);
        } catch (const numeric::Failure &failure) {
            return testing::kindWord(failure.kind());
        }
        return {};
    }

    std::array<std::string, 16> boxes_; // [1]..[15]
    int selected_ = 0;
    QStringList answers_;
};

} // namespace

class CalculationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { testing::checkCommaLocale(); }
    void tendon_data() { testing::tendonRows(); }
    void tendon()
    {
        MemoryWindow window;
        testing::walk(window);
    }
};

QTEST_APPLESS_MAIN(CalculationTest)
#include "tst_calculation.moc"
