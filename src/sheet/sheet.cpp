#include "sheet/sheet.h"

#include "sheet/figure.h"
#include "sheet/pages.h"

#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>

#include <qrcodegen.hpp>

#include <atomic>
#include <vector>

namespace sheet {

namespace {

// WenQuanYi Micro Hei keeps digits, Latin letters and Chinese intact in the
// PDF's text layer, so a checker's search and pdftotext find what the page shows.
const QString face = QStringLiteral("WenQuanYi Micro Hei");

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
// and tags each embedded font subset with letters of its own choosing. The
// time is blanked out, entry and all, so the information holds no date; the
// tags are replaced by fixed letters. Both keep their length, so no offset
// moves.
bool makeReproducible(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray pdf = file.readAll();
    const QByteArray stamp = "/CreationDate (";
    for (qsizetype at = pdf.indexOf(stamp); at >= 0; at = pdf.indexOf(stamp, at + 1)) {
        const qsizetype end = pdf.indexOf(')', at + stamp.size());
        if (end < 0)
            break;
        for (qsizetype i = at; i <= end; ++i)
            pdf[i] = ' ';
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

} // namespace

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
        } else if (const auto *code = std::get_if<figure::Code>(&item)) {
            // The dark runs as one filled path, so no seam shows between modules.
            QPainterPath path;
            path.setFillRule(Qt::WindingFill);
            figure::forEachRun(*code, [&](double x, double y, double width) {
                path.addRect(paper.box(x, y, width, code->module));
            });
            painter.fillPath(path, Qt::black);
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

namespace {

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

namespace {

// A link as a QR code, at quartile correction: a quarter of it may be worn
// or soiled in the site's folder and it still reads.
figure::Modules qrCode(const std::string &text)
{
    try {
        const qrcodegen::QrCode code = qrcodegen::QrCode::encodeText(text.c_str(), qrcodegen::QrCode::Ecc::QUARTILE);
        figure::Modules modules{code.getSize(), {}};
        for (int y = 0; y < modules.size; ++y)
            for (int x = 0; x < modules.size; ++x)
                modules.dark.push_back(code.getModule(x, y));
        return modules;
    } catch (const qrcodegen::data_too_long &) {
        return {};
    }
}

} // namespace

class SheetWriter::Pages {
public:
    Pages(const QString &path, double step, const std::string &siteUrl)
        : path_(path), writer_(path), sheet_(step, siteUrl, qrCode)
    {
        writer_.setPageSize(QPageSize(QPageSize::A4));
        writer_.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer_.setResolution(600);
        writer_.setCreator(QStringLiteral("quillmere-schedule"));
        writer_.setTitle(QStringLiteral("预应力钢绞线计算书"));
    }

    // A tendon's pages, painted as soon as they are laid out.
    void add(const schedule::TendonRows &tendon)
    {
        sheet_.add(tendon);
        paintLaidOut();
    }

    bool finish()
    {
        sheet_.finish();
        paintLaidOut();
        if (!painter_.isActive())
            return true; // an empty schedule: no pages
        return painter_.end() && open_ && makeReproducible(path_);
    }

    int painted() const { return painted_.load(); }

private:
    void paintLaidOut()
    {
        for (const figure::Figure &page : sheet_.pages) {
            if (!painter_.isActive())
                open_ = painter_.begin(&writer_);
            else
                writer_.newPage();
            if (!open_)
                break;
            paint(painter_, page);
            ++painted_;
        }
        sheet_.pages.clear();
    }

private:
    QString path_;
    QPdfWriter writer_;
    QPainter painter_;
    figure::Sheet sheet_;
    bool open_ = false;
    std::atomic<int> painted_{0};
};

SheetWriter::SheetWriter(const QString &path, double step, const std::string &siteUrl)
    : pages_(std::make_unique<Pages>(path, step, siteUrl))
{
}

SheetWriter::~SheetWriter() = default;

void SheetWriter::add(const schedule::TendonRows &tendon) { pages_->add(tendon); }

bool SheetWriter::finish() { return pages_->finish(); }

int SheetWriter::pages() const { return pages_->painted(); }

} // namespace sheet
