// The tendon's profile as drawn on an image: the lowest point of the drawn
// curve stands where k2 puts it along the drawn beam; the stress drawn under
// it falls lowest where the two jacks' parts meet; and the sheet's figures
// come out the same from both painters, QPainter's and the SVG.

#include "calc/geometry.h"
#include "sheet/figure.h"
#include "sheet/pages.h"
#include "sheet/sheet.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

namespace {

// Where along the drawn beam (0 at its left face, 1 at its right) the curve
// comes lowest. The beam's faces are lines mostly in ink; columns where a
// marker or dimension line runs down are left out.
double lowestAlongBeam(const QImage &image)
{
    const auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    std::vector<int> rows, columns;
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int x = 0; x < image.width(); ++x)
            count += ink(x, y);
        if (count > image.width() / 3)
            rows.push_back(y);
    }
    // The top face is the first such line, the bottom face the next; the
    // dimension lines below come after.
    const int top = rows.front();
    const int bottom = *std::find_if(rows.begin(), rows.end(), [&](int y) { return y > top + 3; });
    for (int x = 0; x < image.width(); ++x) {
        int count = 0;
        for (int y = top; y <= bottom; ++y)
            count += ink(x, y);
        if (count > (bottom - top) * 9 / 10)
            columns.push_back(x);
    }
    const int left = columns.front(), right = columns.back();
    int lowestX = left, lowestY = top;
    for (int x = left + 3; x < right - 3; ++x) {
        int count = 0, deepest = -1;
        for (int y = top + 3; y < bottom - 3; ++y)
            if (ink(x, y))
                ++count, deepest = y;
        if (count > 0 && count <= 8 && deepest > lowestY) // the curve, not a marker line
            lowestX = x, lowestY = deepest;
    }
    return double(lowestX - left) / (right - left);
}

// Where along the stress drawing's axis (0 at the left end, 1 at the right)
// the stress line comes lowest, -1 where it leaves a gap: the axis ends are
// the two longest vertical runs of ink, and columns with a long run (the
// dividing mark) are left out.
double lowestStress(const QImage &image)
{
    const auto ink = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    std::vector<int> runs(std::size_t(image.width()));
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            runs[std::size_t(x)] += ink(x, y);
    const int tallest = *std::max_element(runs.begin(), runs.end());
    int left = -1, right = -1;
    for (int x = 0; x < image.width(); ++x)
        if (runs[std::size_t(x)] > tallest * 3 / 4)
            (left < 0 ? left : right) = x;
    int lowestX = left, lowestY = 0;
    for (int x = left + 4; x < right - 4; ++x) {
        if (runs[std::size_t(x)] > tallest / 4)
            continue; // the dividing mark
        int y = 0;
        while (y < image.height() - 40 && !ink(x, y)) // above the baseline and its label
            ++y;
        if (y == image.height() - 40)
            return -1; // the line does not run the whole length
        if (y > lowestY)
            lowestX = x, lowestY = y;
    }
    return double(lowestX - left) / (right - left);
}

// Whether the segment a–b passes through the box [x0, x1] × [y0, y1]
// (clipped to it, Liang and Barsky's way).
bool crosses(figure::Point a, figure::Point b, double x0, double y0, double x1, double y1)
{
    double from = 0, to = 1;
    const double dx = b.x - a.x, dy = b.y - a.y;
    for (const auto &[p, q] : {std::pair{-dx, a.x - x0}, std::pair{dx, x1 - a.x}, std::pair{-dy, a.y - y0}, std::pair{dy, y1 - a.y}}) {
        if (p == 0) {
            if (q < 0)
                return false;
            continue;
        }
        const double t = q / p;
        if (p < 0)
            from = std::max(from, t);
        else
            to = std::min(to, t);
    }
    return from <= to;
}

// A paint device that keeps what is painted on it, one word a primitive
// ("line", "polyline", "rect", "circle") or the text painted.
class Recorder : public QPaintDevice {
public:
    QStringList painted;

    QPaintEngine *paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth: case PdmHeight: return 4000;
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return 600;
        case PdmDepth: return 32;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(QPaintDevice::devicePixelRatioFScale());
        default: return 1;
        }
    }

private:
    class Engine : public QPaintEngine {
    public:
        explicit Engine(QStringList &painted) : painted_(painted) {}
        bool begin(QPaintDevice *) override { return true; }
        bool end() override { return true; }
        void updateState(const QPaintEngineState &) override {}
        Type type() const override { return User; }
        void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
        void drawLines(const QLineF *, int count) override { shape(QStringList(count, QStringLiteral("line"))); }
        void drawRects(const QRectF *, int count) override { shape(QStringList(count, QStringLiteral("rect"))); }
        void drawEllipse(const QRectF &) override { shape({QStringLiteral("circle")}); }
        void drawPath(const QPainterPath &) override { shape({QStringLiteral("polyline")}); }
        void shape(const QStringList &words)
        {
            painted_ += words;
            end_ = {-1e9, -1e9};
        }
        // Qt paints a text in runs, a run a script's font: a run that goes
        // on where the last one ended is the same text.
        void drawTextItem(const QPointF &at, const QTextItem &text) override
        {
            if (qAbs(at.y() - end_.y()) < 0.01 && qAbs(at.x() - end_.x()) < 1 && !painted_.isEmpty())
                painted_.back() += text.text();
            else
                painted_ << text.text();
            end_ = at + QPointF(text.width(), 0);
        }

    private:
        QStringList &painted_;
        QPointF end_{-1e9, -1e9};
    };
    mutable Engine engine_{painted};
};

// The same from the SVG: its elements in order, a text by what it says.
QStringList inSvg(const std::string &svg)
{
    QStringList found;
    static const QRegularExpression element(QStringLiteral("<(line|polyline|rect|circle)\\b|<text[^>]*>([^<]*)</text>"));
    for (auto match = element.globalMatch(QString::fromStdString(svg)); match.hasNext();) {
        const auto m = match.next();
        found << (m.captured(1).isEmpty() ? m.captured(2) : m.captured(1));
    }
    return found;
}

} // namespace

class SheetTest : public QObject {
    Q_OBJECT

private slots:
    void lowestPointWhereK2PutsIt()
    {
        for (const double k2 : {0.5, 0.62, 0.35}) {
            const calc::HeldParameters held{100, 100, 100, 0.1, k2, 0.1, 20000, 1000, 0};
            calc::Coefficients c;
            calc::computeEquations(calc::Profile::c4, held, c);
            std::array<double, 4> a{};
            for (std::size_t i = 0; i < 4; ++i)
                a[i] = std::stod(c.text[i]);
            QImage image(1400, 520, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            sheet::drawProfile(painter, QRectF(0, 0, 1400, 520), calc::ProfileGeometry(calc::Profile::c4, held, a), held);
            painter.end();
            QVERIFY2(qAbs(lowestAlongBeam(image) - k2) < 0.03, qPrintable(QString::number(lowestAlongBeam(image))));
        }
    }

    void stressLowestWhereTheJacksMeet()
    {
        // An asymmetric C4 meets left of its lowest point, a one-end tendon at its far end.
        const calc::Tendon t = calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", ""});
        schedule::Stressed s;
        s.pieces = calc::tensioningPieces(t);
        for (calc::Ends ends : {calc::Ends::both, calc::Ends::left}) {
            s.stressing.ends = ends;
            s.tensioning = calc::tension(s.pieces, s.stressing.friction(), 1395, ends, 195000, 0);
            s.anchoring = calc::anchor(s.pieces, s.stressing.friction(), 1395, ends, calc::LockOff::together, 195000, 6, s.tensioning);
            QImage image(1400, 300, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            sheet::drawStress(painter, QRectF(0, 0, 1400, 300), calc::geometryOf(t), s);
            painter.end();
            const double expected = ends == calc::Ends::both ? 7440.0 / 17970 : 1.0; // the meeting point's run, or the far end
            QVERIFY2(qAbs(lowestStress(image) - expected) < 0.02, qPrintable(QString::number(lowestStress(image))));
        }
    }

    // No label of the profile or the stress drawing is crossed by a line:
    // each text's box, as wide as its characters stand, clear of every line
    // and polyline, whichever end is jacked and however the zones end.
    void labelsClearOfLines()
    {
        const char *const rows[][6]{{"C4", "150", "90", "120", "17970", "both,together"}, {"C4", "150", "90", "120", "17970", "both,left-first"},
                                    {"C4", "150", "90", "120", "17970", "both,right-first"}, {"C4", "150", "90", "120", "17970", "left,together"},
                                    {"C4", "150", "90", "120", "17970", "right,together"}, {"C4", "100", "80", "100", "8000", "both,left-first"},
                                    {"C2a", "100", "100", "", "4000", "both,together"}, {"C2a", "100", "100", "", "4000", "right,together"}};
        for (const auto &row : rows) {
            schedule::Record record;
            const bool c4 = std::string_view(row[0]) == "C4";
            const std::string_view jacking = row[5];
            const std::array<std::string, 9> parameters{row[1], row[2], row[3], c4 ? "0.12" : "", c4 ? "0.45" : "", c4 ? "0.08" : "",
                                                        row[4], c4 ? "1200" : "300", c4 ? "" : "0"};
            record.fields[schedule::input::name] = "T";
            record.fields[schedule::input::profile] = row[0];
            for (std::size_t p = 0; p < parameters.size(); ++p)
                record.fields[schedule::input::e1 + p] = parameters[p];
            record.fields[schedule::input::ends] = jacking.substr(0, jacking.find(','));
            record.fields[schedule::input::lockOff] = jacking.substr(jacking.find(',') + 1);
            const schedule::Result result = schedule::evaluate(record);
            QVERIFY2(result.stressed, qPrintable(QString::fromStdString(result.cells[schedule::output::message])));
            const calc::ProfileGeometry g = calc::geometryOf(*result.tendon);
            for (const figure::Figure &drawn : {figure::profile({15, 20, 180, 62}, g, calc::readParameters(result.tendon->parameters)),
                                                figure::stress({15, 90, 180, 28}, g.span(), *result.stressed)}) {
                std::vector<std::pair<figure::Point, figure::Point>> lines;
                for (const figure::Item &item : drawn.items) {
                    if (const auto *line = std::get_if<figure::Line>(&item))
                        lines.emplace_back(line->from, line->to);
                    if (const auto *polyline = std::get_if<figure::Polyline>(&item))
                        for (std::size_t n = 0; n + 1 < polyline->points.size(); ++n)
                            lines.emplace_back(polyline->points[n], polyline->points[n + 1]);
                }
                for (const figure::Item &item : drawn.items) {
                    const auto *text = std::get_if<figure::Text>(&item);
                    if (!text)
                        continue;
                    const double w = figure::textWidth(text->text, text->points), h = text->points * 0.3528 * 0.7;
                    const double left = text->align == figure::Align::left     ? text->x
                                        : text->align == figure::Align::centre ? text->x + (text->width - w) / 2
                                                                               : text->x + text->width - w;
                    const double top = text->y + 3 - h / 2;
                    for (const auto &[a, b] : lines)
                        QVERIFY2(!crosses(a, b, left + 0.1, top + 0.1, left + w - 0.1, top + h - 0.1),
                                 qPrintable(QString("%1 %2: %3 crossed").arg(row[0], row[5], QString::fromStdString(text->text))));
                }
            }
        }
    }

    void samePrimitivesOnBothPainters()
    {
        const calc::Tendon t = calc::computeTendon(calc::Profile::c4, {"150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", ""});
        schedule::Stressed s;
        s.pieces = calc::tensioningPieces(t);
        s.tensioning = calc::tension(s.pieces, s.stressing.friction(), 1395, calc::Ends::both, 195000, 0);
        s.anchoring = calc::anchor(s.pieces, s.stressing.friction(), 1395, calc::Ends::both, calc::LockOff::together, 195000, 6, s.tensioning);
        const calc::ProfileGeometry g = calc::geometryOf(t);
        const figure::Area profileArea{15, 20, 180, 62}, stressArea{15, 90, 180, 28};
        Recorder recorder;
        QPainter painter(&recorder);
        const double unit = 600 / 25.4;
        const auto box = [&](const figure::Area &a) { return QRectF(a.left * unit, a.top * unit, a.width * unit, a.height * unit); };
        sheet::drawProfile(painter, box(profileArea), g, calc::readParameters(t.parameters));
        sheet::drawStress(painter, box(stressArea), g, s);
        painter.end();
        const std::string svg = figure::svg(figure::profile(profileArea, g, calc::readParameters(t.parameters)))
                                + figure::svg(figure::stress(stressArea, g.span(), s));
        QCOMPARE(recorder.painted, inSvg(svg));
        QVERIFY(recorder.painted.contains(QStringLiteral("lf=8838 | 9272")) && recorder.painted.contains(QStringLiteral("e3=120")));

        // Whole pages, as the schedule lays them out: a tendon through two
        // spans and a failed row.
        const char *rows[][12]{{"A", "C4", "150", "90", "120", "0.12", "0.45", "0.08", "17970", "1200", "", "T"},
                               {"B", "C4", "120", "90", "150", "0.08", "0.45", "0.12", "17970", "1200", "", "T"},
                               {"C", "C4", "100", "100", "100", "0.6", "0.5", "0.1", "20000", "1000", "", ""}};
        std::vector<schedule::Record> records(3);
        std::vector<schedule::Result> results(3);
        for (std::size_t n = 0; n < records.size(); ++n) {
            for (int column = 0; column <= schedule::input::lg2; ++column)
                records[n].fields[std::size_t(column)] = rows[n][column];
            records[n].fields[schedule::input::tendon] = rows[n][11];
        }
        figure::Sheet sheet(1000);
        for (const std::size_t first : {0, 2}) {
            const std::size_t last = schedule::tendonEnd(records, first);
            schedule::workOutTendon(std::span(records).subspan(first, last - first), {}, std::span(results).subspan(first, last - first));
            std::vector<const schedule::Result *> tendon;
            for (std::size_t n = first; n < last; ++n)
                tendon.push_back(&results[n]);
            sheet.add({{}, tendon});
        }
        QCOMPARE(sheet.pages.size(), std::size_t(5)); // a page a span, two for the tendon, the failure's
        for (const figure::Figure &page : sheet.pages) {
            Recorder onPage;
            QPainter pagePainter(&onPage);
            sheet::paint(pagePainter, page);
            pagePainter.end();
            QCOMPARE(onPage.painted, inSvg(figure::svg(page)));
        }
    }
};

QTEST_MAIN(SheetTest)
#include "tst_sheet.moc"
