#include "sheet/sheet.h"

#include "calc/anchoring.h"
#include "sheet/figure.h"
#include "calc/continuous.h"
#include "calc/messages.h"
#include "numeric/number_text.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace sheet {

namespace {

// WenQuanYi Micro Hei keeps digits, Latin letters and Chinese intact in the
// PDF's text layer, so a checker's search and pdftotext find what the page shows.
const QString face = QStringLiteral("WenQuanYi Micro Hei");
constexpr double pageWidth = 210, pageHeight = 297, margin = 15;

QString q(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString mmText(double value) { return QString::number(calc::wholeMillimetres(value)); }

// Lengths in millimetres of paper, converted once at the device's resolution.
class Paper {
public:
    explicit Paper(QPainter &painter) : p(painter), unit(painter.device()->logicalDpiX() / 25.4) {}

    QPointF at(double x, double y) const { return {x * unit, y * unit}; }
    QRectF box(double x, double y, double w, double h) const { return {x * unit, y * unit, w * unit, h * unit}; }

    void font(double points, bool bold = false)
    {
        QFont f(face);
        f.setPointSizeF(points);
        f.setBold(bold);
        p.setFont(f);
    }
    void pen(double width, Qt::PenStyle style = Qt::SolidLine, QColor colour = Qt::black)
    {
        p.setPen(QPen(colour, width * unit, style, Qt::FlatCap));
    }
    void text(double x, double y, double w, const QString &s, int align = Qt::AlignLeft)
    {
        p.drawText(box(x, y, w, 6), int(align) | Qt::AlignVCenter | Qt::TextDontClip, s);
    }
    void line(double x0, double y0, double x1, double y1) { p.drawLine(at(x0, y0), at(x1, y1)); }

    QPainter &p;
    double unit;
};


// The same schedule gives the same file: the writer stamps the clock time
// and tags each embedded font subset with letters of its own choosing. Both
// are replaced by fixed texts of the same length, so no offset moves.
bool makeReproducible(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray pdf = file.readAll();
    const QByteArray stamp = "/CreationDate (D:", release = "20190606000000"; // the program's date
    for (qsizetype at = pdf.indexOf(stamp); at >= 0; at = pdf.indexOf(stamp, at + 1)) {
        const qsizetype digits = at + stamp.size();
        for (qsizetype i = 0; i < release.size() && digits + i < pdf.size() && QChar::isDigit(uchar(pdf[digits + i])); ++i)
            pdf[digits + i] = release[i];
    }
    const QByteArray names[]{"/FontName /", "/BaseFont /"};
    for (const QByteArray &name : names) {
        for (qsizetype at = pdf.indexOf(name); at >= 0; at = pdf.indexOf(name, at + 1)) {
            const qsizetype tag = at + name.size();
            if (tag + 7 > pdf.size() || pdf[tag + 6] != '+')
                continue;
            // Letters from the font's own name.
            quint32 hash = 2166136261u;
            for (qsizetype i = tag + 7; i < pdf.size() && QChar::isLetterOrNumber(uchar(pdf[i])); ++i)
                hash = (hash ^ uchar(pdf[i])) * 16777619u;
            for (int i = 0; i < 6; ++i, hash /= 26)
                pdf[tag + i] = char('A' + hash % 26);
        }
    }
    return file.seek(0) && file.write(pdf) == pdf.size();
}

QString fixed(double value, int decimals) { return QString::number(value, 'f', decimals); }

// A figure painted: millimetres of paper to the device's units.
void paint(QPainter &painter, const figure::Figure &figure)
{
    Paper paper(painter);
    const auto style = [](figure::Dash dash) {
        switch (dash) {
        case figure::Dash::dash: return Qt::DashLine;
        case figure::Dash::dot: return Qt::DotLine;
        case figure::Dash::dashDot: return Qt::DashDotLine;
        case figure::Dash::solid: break;
        }
        return Qt::SolidLine;
    };
    const auto pen = [&](const figure::Pen &p) { paper.pen(p.width, style(p.dash), QColor::fromRgb(p.colour)); };
    for (const figure::Item &item : figure.items) {
        if (const auto *line = std::get_if<figure::Line>(&item)) {
            pen(line->pen);
            paper.line(line->from.x, line->from.y, line->to.x, line->to.y);
        } else if (const auto *polyline = std::get_if<figure::Polyline>(&item)) {
            pen(polyline->pen);
            QPainterPath path;
            for (std::size_t n = 0; n < polyline->points.size(); ++n) {
                const QPointF at = paper.at(polyline->points[n].x, polyline->points[n].y);
                n ? path.lineTo(at) : path.moveTo(at);
            }
            painter.drawPath(path);
        } else if (const auto *rect = std::get_if<figure::Rect>(&item)) {
            pen(rect->pen);
            painter.drawRect(paper.box(rect->x, rect->y, rect->width, rect->height));
        } else if (const auto *circle = std::get_if<figure::Circle>(&item)) {
            pen(circle->pen);
            painter.drawEllipse(paper.at(circle->centre.x, circle->centre.y), circle->radius * paper.unit, circle->radius * paper.unit);
        } else if (const auto *text = std::get_if<figure::Text>(&item)) {
            paper.font(text->points, text->bold);
            const int align = text->align == figure::Align::left ? Qt::AlignLeft
                              : text->align == figure::Align::centre ? Qt::AlignHCenter
                                                                    : Qt::AlignRight;
            paper.text(text->x, text->y, text->width, QString::fromStdString(text->text), align);
        }
    }
}

// A device's rectangle as the paper's millimetres.
figure::Area areaOf(QPainter &painter, const QRectF &area)
{
    const double unit = painter.device()->logicalDpiX() / 25.4;
    return {area.left() / unit, area.top() / unit, area.width() / unit, area.height() / unit};
}

} // namespace

void drawProfile(QPainter &painter, const QRectF &area, const calc::ProfileGeometry &g,
                 const calc::HeldParameters &parameters)
{
    paint(painter, figure::profile(areaOf(painter, area), g, parameters));
}

void drawStress(QPainter &painter, const QRectF &area, const calc::ProfileGeometry &g,
                const schedule::Stressed &stressed)
{
    drawStress(painter, area, g.span(), stressed);
}

void drawSpans(QPainter &painter, const QRectF &area, const std::vector<const calc::Tendon *> &spans,
               const std::vector<double> &starts, const QStringList &names)
{
    std::vector<std::string> named;
    for (const QString &name : names)
        named.push_back(name.toStdString());
    paint(painter, figure::spans(areaOf(painter, area), spans, starts, named));
}

void drawStress(QPainter &painter, const QRectF &area, double length, const schedule::Stressed &stressed)
{
    paint(painter, figure::stress(areaOf(painter, area), length, stressed));
}

class SheetWriter::Pages {
public:
    Pages(const QString &path, double step) : path_(path), writer_(path), step_(step)
    {
        writer_.setPageSize(QPageSize(QPageSize::A4));
        writer_.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer_.setResolution(600);
        writer_.setCreator(QStringLiteral("quillmere-schedule"));
        writer_.setTitle(QStringLiteral("预应力钢绞线计算书"));
    }

    void add(const schedule::Result &result)
    {
        addSpan(result);
        // A tendon through several spans gets a page of its own after them.
        if (result.spans > 1)
            tendon_.clear();
        if (result.spans != 1 && open_ && (result.spans > 1 || !tendon_.empty())) {
            tendon_.push_back(result);
            if (tendon_.size() == std::size_t(tendon_.front().spans))
                addTendon();
        }
    }

    void addSpan(const schedule::Result &result)
    {
        if (!painter_.isActive())
            open_ = painter_.begin(&writer_);
        else
            writer_.newPage();
        if (!open_)
            return;
        Paper paper(painter_);
        double y = title(paper, result);
        const auto &c = result.cells;
        if (!result.ok() || !result.tendon) {
            paper.font(10, true);
            paper.text(margin, y, 180, QStringLiteral("计算未完成 (%1)").arg(q(c[schedule::output::status])));
            paper.font(9);
            painter_.drawText(paper.box(margin, y + 8, 180, 40), Qt::TextWordWrap,
                              q(c[schedule::output::message]) + QStringLiteral("\n请按上述说明改正钢绞线表中的该行后重新计算。"));
            return;
        }
        const calc::Tendon &t = *result.tendon;
        const calc::ProfileGeometry g = calc::geometryOf(t);
        const calc::HeldParameters held = calc::readParameters(t.parameters);
        y = body(paper, y, result, t, g);
        drawProfile(painter_, paper.box(margin, y, calc::sheetDrawingWidth, calc::sheetProfileHeight), g, held);
        y += 64;
        // The stress is drawn under the profile it runs along: a tendon
        // through further spans gives its figures in the tensioning block.
        if (result.stressed && !throughSpans(result)) {
            drawStress(painter_, paper.box(margin, y, calc::sheetDrawingWidth, calc::sheetStressHeight), g, *result.stressed);
            y += 29;
        }
        y = checks(paper, y, t, g, held);
        const auto retitle = [&] { return title(paper, result); };
        if (result.stressed && !throughSpans(result)) // a continuous tendon's on its own page
            y = tensioning(paper, room(y, tensioningHeight(result), retitle), result);
        settingOut(paper, room(y + 2, 40, retitle), result, g);
    }

    // The page of a tendon through several spans: its spans, all of them
    // drawn end to end to one scale with the supports, the stress along the
    // whole strand, the depths where spans meet, its tensioning and the
    // setting-out heights across its spans.
    void addTendon()
    {
        const schedule::Result &head = tendon_.front();
        const auto &c = head.cells;
        namespace out = schedule::output;
        writer_.newPage();
        Paper paper(painter_);
        const auto retitle = [&] {
            paper.font(15, true);
            paper.text(margin, margin, 180, QStringLiteral("束 %1  预应力钢绞线计算书（连续 %2 跨）")
                                                 .arg(q(c[out::tendon])).arg(tendon_.size()));
            paper.pen(0.3);
            paper.line(margin, margin + 14, pageWidth - margin, margin + 14);
            return margin + 17.0;
        };
        double y = retitle();
        paper.font(8);
        const bool whole = head.stressed.has_value();
        std::vector<const calc::Tendon *> spans;
        QStringList names;
        for (std::size_t n = 0; n < tendon_.size(); ++n) {
            const auto &r = tendon_[n].cells;
            paper.text(margin + 4, y, 176, QStringLiteral("第 %1 跨  %2  线型 %3  lc = %4 mm  钢绞线长 %5 mm  %6")
                                               .arg(n + 1).arg(q(r[out::name]), q(r[out::profile]), q(r[out::lc]),
                                                    q(r[out::length]), q(r[out::status])));
            y += 4.5;
            if (tendon_[n].tendon && tendon_[n].ok()) {
                spans.push_back(&*tendon_[n].tendon);
                names << q(r[out::name]);
            }
        }
        paper.font(9, true);
        paper.text(margin, y + 1, 180, whole ? QStringLiteral("全束钢绞线长 %1 mm × %2 = %3 mm")
                                                   .arg(q(c[out::tendonLength]), q(c[out::count]))
                                                   .arg(std::stol(c[out::tendonLength]) * std::stol(c[out::count]))
                                             : QStringLiteral("束未算出：%1").arg(q(c[out::note])));
        y += 8;
        if (!whole)
            return;
        const calc::ContinuousTendon joined = calc::continuousTendon(spans);
        const std::vector<double> &starts = joined.starts;
        drawSpans(painter_, paper.box(margin, y, calc::sheetDrawingWidth, calc::sheetProfileHeight), spans, starts, names);
        y += 64;
        drawStress(painter_, paper.box(margin, y, calc::sheetDrawingWidth, calc::sheetStressHeight), starts.back(),
                   *head.stressed);
        y += 31;
        paper.font(9, true);
        paper.text(margin, y, 180, QStringLiteral("支座处孔道（梁顶以下）"));
        paper.font(8);
        y += 6;
        for (const calc::Support &support : joined.supports) {
            paper.text(margin + 4, y, 176, QStringLiteral("%1 第 %2、%3 跨之间：%4 mm 与 %5 mm%6")
                                               .arg(support.stepped() ? QStringLiteral("✗") : QStringLiteral("✓"))
                                               .arg(support.left + 1).arg(support.left + 2)
                                               .arg(mmText(support.leftBelowTop), mmText(support.rightBelowTop),
                                                    support.stepped() ? QStringLiteral("，孔道错台") : QString()));
            y += 4.5;
        }
        y = tensioning(paper, room(y + 3, tensioningHeight(head), retitle), head);
        // Across the spans, x from the tendon's left end; where spans meet,
        // each span's end is given.
        std::vector<std::pair<double, double>> points;
        for (std::size_t n = 0; n < spans.size(); ++n) {
            const calc::ProfileGeometry g = calc::geometryOf(*spans[n]);
            for (double x : g.stations(step_))
                points.emplace_back(starts[n] + x, g.height(x));
        }
        settingOutTable(paper, room(y + 2, 40, retitle), points, retitle);
    }

    bool finish()
    {
        if (!painter_.isActive())
            return true; // an empty schedule: no pages
        return painter_.end() && open_ && makeReproducible(path_);
    }

private:
    double title(Paper &paper, const schedule::Result &result)
    {
        const auto &c = result.cells;
        paper.font(15, true);
        paper.text(margin, margin, 180, q(c[schedule::output::name]) + QStringLiteral("  预应力钢绞线计算书"));
        paper.font(8);
        paper.text(margin, margin + 8, 180,
                   QStringLiteral("线型 %1　根数 %2　quillmere-schedule %3 (Quillmere)")
                       .arg(q(c[schedule::output::profile]), q(c[schedule::output::count]),
                            q(schedule::versionText())));
        paper.pen(0.3);
        paper.line(margin, margin + 15, pageWidth - margin, margin + 15);
        return margin + 18;
    }

    double body(Paper &paper, double y, const schedule::Result &result, const calc::Tendon &t,
                const calc::ProfileGeometry &g)
    {
        paper.font(9, true);
        paper.text(margin, y, 180, QStringLiteral("参数"));
        QStringList shown;
        for (int p : calc::askedParameters(t.profile)) {
            const bool ratio = p >= calc::parameter::k1 && p <= calc::parameter::k3;
            shown << QStringLiteral("%1 = %2%3").arg(q(calc::parameterName(p)), q(t.parameters[std::size_t(p)]),
                                                     ratio ? QString() : QStringLiteral(" mm"));
        }
        if (t.profile == calc::Profile::c2a)
            shown << QStringLiteral("k2 = 0.5");
        paper.font(8.5);
        paper.text(margin + 14, y, 166, shown.join(QStringLiteral("　")));
        y += 8;
        paper.font(9, true);
        paper.text(margin, y, 180, QStringLiteral("抛物线方程、分段与长度"));
        y += 6;
        paper.font(8);
        const char *headings[]{"段", "方程", "x (mm)", "p (mm)", "L (mm)"};
        const double columns[]{margin, margin + 10, margin + 88, margin + 118, margin + 150};
        for (int i = 0; i < 5; ++i)
            paper.text(columns[i], y, 30, QString::fromUtf8(headings[i]));
        paper.pen(0.15);
        paper.line(margin, y + 6, pageWidth - margin, y + 6);
        y += 6.5;
        for (int s = 0; s < g.segmentCount(); ++s) {
            const calc::Segment &segment = t.length.segments[std::size_t(s)];
            paper.text(columns[0], y, 10, QString::number(s + 1));
            paper.text(columns[1], y, 78, QStringLiteral("y = %1 · x²").arg(q(t.coefficients.text[std::size_t(s)])));
            paper.text(columns[2], y, 30, q(numeric::writeNumber(segment.x)));
            paper.text(columns[3], y, 30, q(numeric::writeNumber(segment.p)));
            paper.text(columns[4], y, 30, QString::number(segment.millimetres));
            y += 5;
        }
        paper.font(9, true);
        const auto &c = result.cells;
        paper.text(margin, y + 1, 180,
                   QStringLiteral("钢绞线长 %1 mm × %2 = %3 mm")
                       .arg(q(c[schedule::output::length]), q(c[schedule::output::count]), q(c[schedule::output::total])));
        return y + 9;
    }

    // Where a block `needed` mm tall begins: here, or at the top of a new page.
    // Where the next block goes: here, or on a new page under `retitle`'s title.
    double room(double y, double needed, const std::function<double()> &retitle)
    {
        if (y + needed <= pageHeight - margin)
            return y;
        writer_.newPage();
        return retitle();
    }

    // The height of the tensioning block, as tensioning() lays it out.
    // Whether the row's stressing runs along further spans than its own: the
    // first row of a continuous tendon.
    static bool throughSpans(const schedule::Result &result)
    {
        return result.stressed->pieces.back().to > calc::geometryOf(*result.tendon).span() + 0.5;
    }

    static double tensioningHeight(const schedule::Result &result)
    {
        const auto &c = result.cells;
        const int notes = int(q(c[schedule::output::note]).split(QStringLiteral("；"), Qt::SkipEmptyParts).size());
        return 23.5 + (throughSpans(result) ? 5 : 0) + double(result.stressed->tensioning.pieces.size()) * 4.3 + 1.5
               + 5.0 * (result.stressed->stressing.ends + 1 + (c[schedule::output::cutLength].empty() ? 0 : 1) + notes) + 2
               + anchoringHeight(result);
    }

    // How the tendon is stressed, piece by piece, and what each jack gives.
    double tensioning(Paper &paper, double y, const schedule::Result &result)
    {
        namespace out = schedule::output;
        const auto &c = result.cells;
        const schedule::Stressed &stressed = *result.stressed;
        const schedule::Stressing &s = stressed.stressing;
        const bool own = s.kappa || s.mu;
        paper.font(9, true);
        paper.text(margin, y, 180, QStringLiteral("张拉（摩擦损失按 GB 50010 第 10.2.4 条，伸长值允许偏差 ±6%）"));
        paper.font(8);
        y += 6;
        if (throughSpans(result)) {
            paper.text(margin + 4, y, 176, QStringLiteral("全束钢绞线长 %1 mm，各段自束的左端起依次编号").arg(q(c[out::tendonLength])));
            y += 5;
        }
        paper.text(margin + 4, y, 176,
                   QStringLiteral("σcon = %1 MPa　%2 κ = %3，μ = %4%5　%6　每束 %7 根 × %8 mm²　Ep = %9 MPa")
                       .arg(q(c[out::sigmaCon]), q(s.duct->chinese), q(c[out::kappa]), q(c[out::mu]),
                            own ? QStringLiteral("（按该行给定）") : QString(),
                            s.ends == 2 ? QStringLiteral("两端张拉") : QStringLiteral("左端张拉，右端锚固"))
                       .arg(s.strands)
                       .arg(q(numeric::writeNumber(s.area)), q(numeric::writeNumber(s.ep))));
        y += 5;
        paper.text(margin + 4, y, 176,
                   QStringLiteral("每段 z = κ·L/1000 + μ·θ，σout = σin·e^−z，伸长 ΔL = σin·(1 − e^−z)/z · L/Ep；θ = |atan(2·a·x)|%1")
                       .arg(s.ends == 2 ? QStringLiteral("；两端张拉在摩擦各为一半处分界") : QString()));
        y += 6;
        const char *headings[]{"张拉端", "段", "L (mm)", "θ (rad)", "z", "σin (MPa)", "σout (MPa)", "ΔL (mm)"};
        const double columns[]{margin + 4, margin + 24, margin + 44, margin + 66, margin + 88, margin + 108,
                               margin + 132, margin + 156};
        paper.font(7.5);
        for (int i = 0; i < 8; ++i)
            paper.text(columns[i], y, 22, QString::fromUtf8(headings[i]), i > 1 ? Qt::AlignRight : Qt::AlignLeft);
        paper.pen(0.15);
        paper.line(margin + 4, y + 5.5, pageWidth - margin, y + 5.5);
        y += 5.5;
        const bool kinked = result.tendon->profile == calc::Profile::c2a; // piece 1 is the kink at mid-span
        for (const calc::PieceStress &piece : stressed.tensioning.pieces) {
            const bool right = piece.jack == calc::PieceStress::right;
            const std::size_t at = piece.piece;
            QString name = kinked && at == 1 ? QStringLiteral("跨中折角")
                                             : QString::number(kinked && at == 2 ? 2 : int(at) + 1);
            if (std::abs(piece.length - stressed.pieces[at].length) > 1e-9
                || std::abs(piece.theta - stressed.pieces[at].theta) > 1e-12)
                name += QStringLiteral("（至分界点）");
            const QString cells[]{right ? QStringLiteral("右端") : QStringLiteral("左端"), name,
                                  fixed(piece.length, 0), fixed(piece.theta, 4), fixed(piece.z, 4),
                                  fixed(piece.sigmaIn, 1), fixed(piece.sigmaOut, 1), fixed(piece.elongation, 1)};
            for (int i = 0; i < 8; ++i)
                paper.text(columns[i], y, 22, cells[i], i > 1 ? Qt::AlignRight : Qt::AlignLeft);
            y += 4.3;
        }
        y += 1.5;
        paper.font(8);
        const QString inJack = s.jack > 0 ? QStringLiteral("（含千斤顶内 %1 mm 钢绞线）").arg(q(numeric::writeNumber(s.jack)))
                                          : QString();
        const auto jack = [&](const QString &end, int column) {
            const std::string &e = c[std::size_t(column)];
            paper.text(margin + 4, y, 176,
                       QStringLiteral("%1：计算伸长值 %2 mm%3，实测应在 %4～%5 mm 之间；张拉力 %6 kN")
                           .arg(end, q(e), inJack, q(schedule::elongationLimit(e, -6)),
                                q(schedule::elongationLimit(e, 6)), q(c[out::force])));
            y += 5;
        };
        jack(QStringLiteral("左端"), out::elongLeft);
        if (s.ends == 2)
            jack(QStringLiteral("右端"), out::elongRight);
        paper.text(margin + 4, y, 176,
                   QStringLiteral("θ 合计 %1 rad　%2 σ = %3 MPa，损失 %4 MPa　伸长值合计 %5 mm（%6～%7 mm）")
                       .arg(q(c[out::theta]),
                            s.ends == 2 ? QStringLiteral("分界点距左端 %1 mm（沿钢绞线），")
                                              .arg(fixed(stressed.tensioning.divide, 0))
                                        : QStringLiteral("右端"),
                            q(c[out::sigmaFar]), q(c[out::loss]), q(c[out::elong]), q(c[out::elongMin]),
                            q(c[out::elongMax])));
        y += 5;
        y = anchoring(paper, y, result);
        if (!c[out::cutLength].empty()) {
            paper.text(margin + 4, y, 176,
                       QStringLiteral("下料长度 %1 mm = 钢绞线长 %2 mm + 张拉端 %3 mm × %4 + 锚固端 %5 mm × %6")
                           .arg(q(c[out::cutLength]), q(c[out::length]), q(numeric::writeNumber(s.allowLive.value_or(0))))
                           .arg(s.ends)
                           .arg(q(numeric::writeNumber(s.allowDead.value_or(0))))
                           .arg(2 - s.ends));
            y += 5;
        }
        for (const QString &note : q(c[out::note]).split(QStringLiteral("；"), Qt::SkipEmptyParts)) {
            paper.text(margin + 4, y, 176, QStringLiteral("⚠ ") + note);
            y += 5;
        }
        return y + 2;
    }

    // The loss as the wedges seat, and the stages the site reads at each jack.
    static constexpr double anchoringLines = 5, stageHeading = 6, stageRow = 4.3;
    double anchoring(Paper &paper, double y, const schedule::Result &result)
    {
        namespace out = schedule::output;
        const auto &c = result.cells;
        const schedule::Stressed &stressed = *result.stressed;
        const schedule::Stressing &s = stressed.stressing;
        const calc::Anchoring &a = stressed.anchoring;
        const QString rules[]{
            s.ends == 2 ? QStringLiteral("两端的锚固损失影响长度均未超过分界点") : QStringLiteral("lf 未超过束长"),
            QStringLiteral("lf 超过束长：全长回缩，锚固后应力保持反向摩擦的形状整体降低（附录 J）"),
            QStringLiteral("影响长度超过分界点：两端各按单独张拉锚固计算，各点取较大应力（附录 J.0.2）")};
        paper.text(margin + 4, y, 176,
                   QStringLiteral("锚固（GB 50010 第 10.2.2、10.2.3 条及附录 J，反向摩擦同 κ、μ）：锚具回缩 a = %1 mm")
                       .arg(q(c[out::set])));
        y += 5;
        paper.text(margin + 4, y, 176,
                   QStringLiteral("lf 内 σ锚固后(x) = σ(lf)² / σ(x)，lf 由 ∫₀^lf (σ − σ锚固后) dx / Ep = a 按各段指数应力精确求得"));
        y += 5;
        paper.text(margin + 4, y, 176, rules[a.rule]);
        y += 5;
        QString reach = QStringLiteral("左端 lf = %1 mm，σl1 = %2 MPa").arg(q(c[out::lfLeft]), fixed(a.loss[0], 1));
        if (s.ends == 2)
            reach += QStringLiteral("；右端 lf = %1 mm，σl1 = %2 MPa").arg(q(c[out::lfRight]), fixed(a.loss[1], 1));
        paper.text(margin + 4, y, 176, reach);
        y += 5;
        paper.text(margin + 4, y, 176,
                   QStringLiteral("锚固后最小应力 %1 MPa（沿钢绞线距左端 %2 mm），该处 σl1 + σl2 = %3 MPa")
                       .arg(q(c[out::sigmaAnchoredMin]), fixed(a.lowestAt, 0), q(c[out::lossTotalMax])));
        y += 6;
        const char *headings[]{"张拉端", "千斤顶", "阶段", "% σcon", "张拉力 (kN)", "压力表读数 (MPa)", "计算伸长值 (mm)"};
        const double columns[]{margin + 4, margin + 20, margin + 40, margin + 62, margin + 86, margin + 116, margin + 150};
        paper.font(7.5);
        for (int i = 0; i < 7; ++i)
            paper.text(columns[i], y, 26, QString::fromUtf8(headings[i]), i > 2 ? Qt::AlignRight : Qt::AlignLeft);
        if (s.jack > 0)
            paper.text(columns[6] + 27, y, 30, QStringLiteral("（不含千斤顶内）"));
        paper.pen(0.15);
        paper.line(margin + 4, y + 5.5, pageWidth - margin, y + 5.5);
        y += stageHeading - 0.5;
        const QString names[]{QStringLiteral("初应力"), QStringLiteral("2 × 初应力"), QStringLiteral("σcon")};
        for (int end = 0; end < s.ends; ++end) {
            const schedule::Gauge *gauge = s.gaugeAt(end);
            int n = 0;
            for (const schedule::Stage &stage : schedule::stages(stressed, end)) {
                const QString cells[]{n ? QString() : end ? QStringLiteral("右端") : QStringLiteral("左端"),
                                      n || !gauge ? QString() : q(gauge->name), names[n], QString::number(stage.percent),
                                      fixed(stage.force, 1), stage.gauge ? fixed(*stage.gauge, 2) : QStringLiteral("—"),
                                      fixed(stage.elongation, 1)};
                for (int i = 0; i < 7; ++i)
                    paper.text(columns[i], y, 26, cells[i], i > 2 ? Qt::AlignRight : Qt::AlignLeft);
                y += stageRow;
                ++n;
            }
        }
        paper.font(8);
        if (const schedule::Gauge *left = s.gaugeAt(0)) {
            const schedule::Gauge *right = s.ends == 2 ? s.gaugeAt(1) : nullptr;
            QString used = QStringLiteral("校准：%1  %2").arg(q(left->name), q(left->equation));
            if (right && right != left)
                used += QStringLiteral("；%1  %2").arg(q(right->name), q(right->equation));
            paper.text(margin + 4, y + 0.5, 176, used + QStringLiteral("（p 压力表读数 MPa，F 张拉力 kN）"));
            y += 5;
        }
        return y + 1.5;
    }

    static double anchoringHeight(const schedule::Result &result)
    {
        const schedule::Stressing &s = result.stressed->stressing;
        return 5 * anchoringLines + 1 + stageHeading + 3 * s.ends * stageRow + (s.gaugeAt(0) ? 5 : 0) + 1.5;
    }

    // What a checker verifies, stated with its numbers.
    double checks(Paper &paper, double y, const calc::Tendon &t, const calc::ProfileGeometry &g,
                  const calc::HeldParameters &held)
    {
        QStringList lines;
        const auto ends = [&](const QString &where, double height, const QString &rule) {
            lines << QStringLiteral("✓ %1高度 %2 mm = %3").arg(where, mmText(height), rule);
        };
        ends(QStringLiteral("左端"), g.height(1, 0), QStringLiteral("lg1 − e1"));
        if (t.profile == calc::Profile::c4) {
            ends(QStringLiteral("最低点"), g.height(3, held.k2 * g.span()), QStringLiteral("e2"));
            ends(QStringLiteral("右端"), g.height(4, g.span()), QStringLiteral("lg1 − e3"));
        } else {
            ends(QStringLiteral("右端"), g.height(2, g.span()), QStringLiteral("e2"));
        }
        for (const calc::Joint &joint : g.joints()) {
            const QString at = QStringLiteral("x = %1 mm").arg(mmText(joint.x));
            const double step = joint.rightHeight - joint.leftHeight;
            if (std::abs(step) >= 0.5)
                lines << QStringLiteral("⚠ %1处两段抛物线高度相差 %2 mm（%3 与 %4 mm）")
                             .arg(at, mmText(step), mmText(joint.leftHeight), mmText(joint.rightHeight));
            else if (std::abs(joint.rightSlope - joint.leftSlope) > 1e-6)
                lines << QStringLiteral("⚠ %1处两段抛物线高度相同（%2 mm），斜率不同（%3 与 %4）")
                             .arg(at, mmText(joint.leftHeight)).arg(joint.leftSlope, 0, 'f', 5).arg(joint.rightSlope, 0, 'f', 5);
            else
                lines << QStringLiteral("✓ %1处两段抛物线同高（%2 mm）同斜率（%3）")
                             .arg(at, mmText(joint.leftHeight)).arg(joint.leftSlope, 0, 'f', 5);
        }
        double lowest = g.height(0.0), highest = lowest;
        for (int i = 0; i <= 1000; ++i) {
            const double h = g.height(g.span() * i / 1000);
            lowest = std::min(lowest, h);
            highest = std::max(highest, h);
        }
        if (lowest < 0 || highest > g.depth())
            lines << QStringLiteral("⚠ 钢绞线超出梁外：最低 %1 mm，最高 %2 mm，梁高 %3 mm")
                         .arg(mmText(lowest), mmText(highest), mmText(g.depth()));
        for (int s = 1; s <= g.segmentCount(); ++s)
            if (g.coefficient(s) < 0)
                lines << QStringLiteral("⚠ a%1 为负：抛物线段%1 弯向相反").arg(s);
        paper.font(9, true);
        paper.text(margin, y, 180, QStringLiteral("校核"));
        paper.font(8);
        for (const QString &line : lines) {
            y += 5;
            paper.text(margin + 4, y, 176, line);
        }
        return y + 7;
    }

    // The heights above the bottom face at every station, in column groups,
    // continued on a second page where they do not fit.
    void settingOut(Paper &paper, double y, const schedule::Result &result, const calc::ProfileGeometry &g)
    {
        std::vector<std::pair<double, double>> points;
        for (double x : g.stations(step_))
            points.emplace_back(x, g.height(x));
        settingOutTable(paper, y, points, [&] { return title(paper, result); });
    }

    // The heights the site sets the duct supports to, in four columns of x
    // and height, going on to new pages under `retitle`'s title.
    void settingOutTable(Paper &paper, double y, const std::vector<std::pair<double, double>> &points,
                         const std::function<double()> &retitle)
    {
        std::size_t next = 0;
        while (next < points.size()) {
            paper.font(9, true);
            paper.text(margin, y, 180, QStringLiteral("预应力筋曲线坐标（钢绞线中心距梁底，mm）") +
                                           (next ? QStringLiteral("（续）") : QString()));
            y += 7;
            const int rows = std::max(1, int((pageHeight - margin - y) / 4.5) - 1);
            paper.font(7.5);
            for (int group = 0; group < 4 && next < points.size(); ++group) {
                const double x = margin + group * 45;
                paper.text(x, y, 20, QStringLiteral("x"), Qt::AlignRight);
                paper.text(x + 20, y, 20, QStringLiteral("高度"), Qt::AlignRight);
                for (int row = 1; row <= rows && next < points.size(); ++row, ++next) {
                    paper.text(x, y + row * 4.5, 20, mmText(points[next].first), Qt::AlignRight);
                    paper.text(x + 20, y + row * 4.5, 20, mmText(points[next].second), Qt::AlignRight);
                }
            }
            if (next < points.size()) {
                writer_.newPage();
                y = retitle();
            }
        }
    }

    QString path_;
    QPdfWriter writer_;
    QPainter painter_;
    double step_;
    bool open_ = false;
    std::vector<schedule::Result> tendon_; // the spans of a tendon through several, until its last
};

SheetWriter::SheetWriter(const QString &path, double step) : pages_(std::make_unique<Pages>(path, step)) {}

SheetWriter::~SheetWriter() = default;

void SheetWriter::add(const schedule::Result &result) { pages_->add(result); }

bool SheetWriter::finish() { return pages_->finish(); }

} // namespace sheet
