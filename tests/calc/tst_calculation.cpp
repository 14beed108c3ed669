// The golden table of tendons through the window's handlers on boxes held in
// memory, and through the tendon core on its own.

#include "calc/geometry.h"
#include "calc/tendon.h"
#include "calc/window_handlers.h"
#include "numeric/number_text.h"
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

    // The core's values are the window's texts, for every row that types over no box.
    void core_data() { testing::tendonRows(); }
    void core()
    {
        QFETCH(int, row);
        const QStringList &t = testing::tendons()[row];
        if (!t[3].isEmpty() || !t[4].isEmpty())
            QSKIP("types over a box");
        const calc::Profile profile = t[1] == u"C2a" ? calc::Profile::c2a : calc::Profile::c4;
        calc::ParameterTexts answers;
        const QStringList given = t[2].split(u';');
        for (qsizetype i = 0; i < given.size(); ++i)
            answers[std::size_t(calc::askedParameters(profile)[std::size_t(i)])] = given[i].toStdString();
        const calc::Tendon tendon = calc::computeTendon(profile, answers);
        QStringList shown, segments;
        for (const std::string &text : tendon.parameters)
            shown << QString::fromStdString(text);
        for (int i = 0; i < 4; ++i)
            shown << (i < tendon.coefficients.known ? QString::fromStdString(tendon.coefficients.text[std::size_t(i)]) : QString());
        shown << (tendon.length.total ? QString::number(*tendon.length.total) : QString());
        for (const calc::Segment &segment : tendon.length.segments)
            segments << QString::number(segment.millimetres);
        QCOMPARE(shown, t.mid(5, 14));
        QCOMPARE(segments.join(u';'), t[19]);
        QCOMPARE(tendon.failure ? testing::kindWord(tendon.failure->kind()) : QString(), t[21]);
    }

    // The profile's heights at its key points, from the boxes at the end of the road.
    void geometry_data() { testing::tendonRows(); }
    void geometry()
    {
        QFETCH(int, row);
        const QStringList &t = testing::tendons()[row];
        if (t[22].isEmpty())
            QSKIP("no equations");
        calc::ParameterTexts texts;
        for (int p = 0; p < calc::parameter::count; ++p)
            texts[std::size_t(p)] = t[5 + p].toStdString();
        std::array<double, 4> a{};
        for (int i = 0; i < 4; ++i)
            a[std::size_t(i)] = numeric::readNumber(t[14 + i].toStdString());
        const calc::Profile profile = t[1] == u"C2a" ? calc::Profile::c2a : calc::Profile::c4;
        const calc::ProfileGeometry geometry(profile, calc::readParameters(texts), a);
        const auto mm = [](double height) { return QString::number(calc::wholeMillimetres(height)); };
        QStringList heights{mm(geometry.height(1, 0))};
        for (const calc::Joint &joint : geometry.joints())
            heights << mm(joint.leftHeight) << mm(joint.rightHeight);
        heights << mm(geometry.height(geometry.segmentCount(), geometry.span()));
        QCOMPARE(heights.join(u';'), t[22]);
    }
};

QTEST_APPLESS_MAIN(CalculationTest)
#include "tst_calculation.moc"
