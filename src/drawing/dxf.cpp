#include "drawing/dxf.h"

#include "calc/geometry.h"
#include "numeric/number_text.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>

namespace drawing {

namespace {

// The handles of what every file holds; a drawing's own count up from `firstFree`.
enum Handle : std::uint32_t {
    layerTable = 0x1, ltypeTable, appidTable, dimstyleTable, styleTable, ucsTable, viewTable, vportTable, recordTable,
    rootDictionary, groups, layouts, plotStyles, normalPlotStyle,
    modelRecord = 0x10, modelBlock, modelEnd, modelLayout, paperRecord, paperBlock, paperEnd, paperLayout,
    activeView = 0x20, byBlock, byLayer, continuous, standardStyle, chineseStyle, acadApp, standardDimension, ourDimension,
    layerZero = 0x30, defpoints, firstLayer, // then one a layer
    firstFree = 0x100,
};

constexpr const char *styleName = "HZ", *dimensionStyle = "PT-DIM";
constexpr double widthFactor = 0.7;
// Dimension sizes in the model at 1:50: ticks of 1.2 mm, extension lines
// 1.6 mm clear of the object and 2 mm past the dimension line, text 0.8 mm
// above it.
constexpr double tick = 60, extensionOffset = 80, extensionBeyond = 100, textGap = 40;
constexpr double clearSpace = 3000; // between one tendon's block and the next
constexpr double chordTolerance = 0.05;

std::string hex(std::uint32_t handle)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[handle % 16]);
        handle /= 16;
    } while (handle);
    return text;
}

// A number as exactly as a double holds it, in the program's own notation.
std::string number(double value) { return numeric::writeShortest(value == 0 ? 0.0 : value); }

// A text as a TEXT entity takes it: on one line, and with "%%", which starts
// a control code (%%d is °), written so it stays two per cent signs.
std::string cadText(std::string_view text)
{
    std::string out;
    const bool percents = text.find("%%") != std::string_view::npos;
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 0x20)
            out += ' ';
        else if (c == '%' && percents)
            out += "%%%";
        else
            out += c;
    }
    return out;
}

// Group codes and their values, one to a line, as every DXF reader takes them.
class Tags {
public:
    std::string text;

    Tags &operator()(int code, std::string_view value)
    {
        const std::string c = std::to_string(code);
        text.append(c.size() < 3 ? 3 - c.size() : 0, ' ').append(c).append("\n").append(value).append("\n");
        return *this;
    }
    Tags &operator()(int code, const char *value) { return (*this)(code, std::string_view(value)); }
    Tags &operator()(int code, const std::string &value) { return (*this)(code, std::string_view(value)); }
    Tags &number(int code, double value) { return (*this)(code, drawing::number(value)); }
    Tags &integer(int code, long value) { return (*this)(code, std::to_string(value)); }
    Tags &handle(int code, std::uint32_t value) { return (*this)(code, hex(value)); }
    Tags &point(int code, Point p) { return number(code, p.x).number(code + 10, p.y).number(code + 20, 0); }
    // An entity's head: its type, handle, owner, layer.
    Tags &entity(std::string_view type, std::uint32_t handle, std::uint32_t owner, std::string_view layer)
    {
        return (*this)(0, type).handle(5, handle).handle(330, owner)(100, "AcDbEntity")(8, layer);
    }
    Tags &record(std::string_view type, std::uint32_t handle, std::uint32_t table, std::string_view subclass)
    {
        return (*this)(0, type).handle(type == "DIMSTYLE" ? 105 : 5, handle).handle(330, table)(100, "AcDbSymbolTableRecord")(100, subclass);
    }
    Tags &table(std::string_view name, std::uint32_t handle, long entries)
    {
        return (*this)(0, "TABLE")(2, name).handle(5, handle)(330, "0")(100, "AcDbSymbolTable").integer(70, entries);
    }
};

struct Extents {
    double left = 0, bottom = 0, right = 0, top = 0;
};

} // namespace

// What the file holds that is only known when the last tendon is: the
// block records, the blocks and the model space's inserts are streamed to
// scratch files as they come, and copied into their sections at the end.
struct DxfWriter::Blocks {
    enum Scratch { records, blocks, inserts };
    std::array<std::FILE *, 3> scratch{std::tmpfile(), std::tmpfile(), std::tmpfile()};
    long recordCount = 0;
    BlockNames names;
    std::uint32_t next = firstFree;
    double cursor = 0;
    Extents extents;
    bool failed = std::count(scratch.begin(), scratch.end(), nullptr) > 0;

    ~Blocks()
    {
        for (std::FILE *file : scratch)
            if (file)
                std::fclose(file);
    }
    void flush(Tags &tags, Scratch to)
    {
        if (!failed && std::fwrite(tags.text.data(), 1, tags.text.size(), scratch[to]) != tags.text.size())
            failed = true;
        tags.text.clear();
    }
    bool copy(Scratch from, std::FILE *out)
    {
        std::FILE *file = scratch[from];
        std::rewind(file);
        char buffer[1 << 16];
        bool copied = !failed;
        for (std::size_t n; copied && (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            copied = std::fwrite(buffer, 1, n, out) == n;
        return copied && !std::ferror(file);
    }
};

namespace {

// A dimension's block: the lines, ticks and text CAD shows for it, and its
// definition points; the text with its measurement in whole millimetres.
void dimensionBlock(Tags &t, DxfWriter::Blocks &b, std::uint32_t record, const Dimension &d, const std::string &name)
{
    const auto line = [&](Point from, Point to) {
        t.entity("LINE", b.next++, record, "0").integer(62, 0)(100, "AcDbLine").point(10, from).point(11, to);
    };
    t(0, "BLOCK").handle(5, b.next++).handle(330, record)(100, "AcDbEntity")(8, "0")(100, "AcDbBlockBegin")(2, name)
        .integer(70, 1).point(10, {0, 0})(3, name)(1, "");
    const double measured = d.vertical ? std::abs(d.to.y - d.from.y) : std::abs(d.to.x - d.from.x);
    std::string text = d.text.empty() ? "<>" : d.text;
    text.replace(text.find("<>"), 2, std::to_string(calc::wholeMillimetres(measured)));
    if (d.vertical) {
        const double x = d.line.x, side = x >= d.from.x ? 1 : -1;
        line({d.from.x + side * extensionOffset, d.from.y}, {x + side * extensionBeyond, d.from.y});
        line({d.to.x + side * extensionOffset, d.to.y}, {x + side * extensionBeyond, d.to.y});
        line({x, d.from.y}, {x, d.to.y});
        for (double y : {d.from.y, d.to.y})
            line({x - tick, y - tick}, {x + tick, y + tick});
        t.entity("TEXT", b.next++, record, "0").integer(62, 0)(100, "AcDbText").point(10, {x - textGap, (d.from.y + d.to.y) / 2})
            .number(40, dimensionHeight)(1, cadText(text)).number(50, 90).number(41, widthFactor)(7, styleName).integer(72, 1)
            .point(11, {x - textGap, (d.from.y + d.to.y) / 2})(100, "AcDbText").integer(73, 0);
    } else {
        const double y = d.line.y, side = y <= d.from.y ? -1 : 1;
        line({d.from.x, d.from.y + side * extensionOffset}, {d.from.x, y + side * extensionBeyond});
        line({d.to.x, d.to.y + side * extensionOffset}, {d.to.x, y + side * extensionBeyond});
        line({d.from.x, y}, {d.to.x, y});
        for (double x : {d.from.x, d.to.x})
            line({x - tick, y - tick}, {x + tick, y + tick});
        t.entity("TEXT", b.next++, record, "0").integer(62, 0)(100, "AcDbText").point(10, {(d.from.x + d.to.x) / 2, y + textGap})
            .number(40, dimensionHeight)(1, cadText(text)).number(41, widthFactor)(7, styleName).integer(72, 1)
            .point(11, {(d.from.x + d.to.x) / 2, y + textGap})(100, "AcDbText").integer(73, 0);
    }
    for (Point p : {d.line, d.from, d.to})
        t.entity("POINT", b.next++, record, "Defpoints")(100, "AcDbPoint").point(10, p);
    t(0, "ENDBLK").handle(5, b.next++).handle(330, record)(100, "AcDbEntity")(8, "0")(100, "AcDbBlockEnd");
}

std::string_view layerName(Layer layer) { return styleOf(layer).name; }

void blockRecord(Tags &t, std::uint32_t handle, std::string_view name, std::uint32_t layout)
{
    t.record("BLOCK_RECORD", handle, recordTable, "AcDbBlockTableRecord")(2, name).handle(340, layout).integer(70, 0)
        .integer(280, 1).integer(281, 0);
}

} // namespace

DxfWriter::DxfWriter(std::FILE *out, double step, bool polylines)
    : out_(out), step_(step), polylines_(polylines), blocks_(std::make_unique<Blocks>())
{
}

DxfWriter::~DxfWriter() = default;

// A tendon's block, or its rows left out.
void DxfWriter::write(const schedule::TendonRows &tendon)
{
    const std::span<const schedule::Result *const> rows = tendon.rows;
    const long first = row_ + 1;
    row_ += long(rows.size());
    const bool drawable = std::all_of(rows.begin(), rows.end(), [](const schedule::Result *r) { return r->ok() && r->tendon; })
                          && (rows.size() == 1 || !rows.front()->cells[schedule::output::tendonLength].empty());
    if (!drawable) {
        for (std::size_t n = 0; n < rows.size(); ++n)
            leftOut_.emplace_back(first + long(n), rows[n]->cells[schedule::output::name]);
        return;
    }
    Blocks &b = *blocks_;
    const TendonDrawing drawn = layOut(rows, step_);
    const std::string name = b.names.take(drawn.mark);
    const std::uint32_t record = b.next++;
    const double y = b.cursor - drawn.top;
    b.cursor = y + drawn.bottom - clearSpace;
    Tags records, inserts;
    blockRecord(records, record, name, 0);
    ++b.recordCount;
    inserts.entity("INSERT", b.next++, modelRecord, "0")(100, "AcDbBlockReference")(2, name).point(10, {0, y});
    b.flush(inserts, Blocks::inserts);
    b.extents.bottom = std::min(b.extents.bottom, y + drawn.bottom);
    b.extents.top = std::max(b.extents.top, y + drawn.top);
    b.extents.right = std::max(b.extents.right, drawn.right);

    Tags t, dimensions;
    t(0, "BLOCK").handle(5, b.next++).handle(330, record)(100, "AcDbEntity")(8, "0")(100, "AcDbBlockBegin")(2, name)
        .integer(70, 0).point(10, {0, 0})(3, name)(1, "");
    for (const Item &item : drawn.items) {
        if (const auto *line = std::get_if<Line>(&item)) {
            t.entity("LINE", b.next++, record, layerName(line->layer))(100, "AcDbLine").point(10, line->from).point(11, line->to);
        } else if (const auto *curve = std::get_if<Parabola>(&item)) {
            if (polylines_) {
                const std::vector<Point> points = chords(*curve, chordTolerance);
                t.entity("LWPOLYLINE", b.next++, record, layerName(Layer::tendon))(100, "AcDbPolyline")
                    .integer(90, long(points.size())).integer(70, 0);
                for (Point p : points)
                    t.number(10, p.x).number(20, p.y);
            } else {
                // A parabola is exactly a quadratic Bézier: a spline of degree 2
                // on its three control points, knots 0 0 0 1 1 1.
                t.entity("SPLINE", b.next++, record, layerName(Layer::tendon))(100, "AcDbSpline").number(210, 0).number(220, 0)
                    .number(230, 1).integer(70, 8).integer(71, 2).integer(72, 6).integer(73, 3).integer(74, 0).number(42, 1e-10)
                    .number(43, 1e-10);
                for (double knot : {0, 0, 0, 1, 1, 1})
                    t.number(40, knot);
                for (Point p : {curve->from, curve->control, curve->to})
                    t.point(10, p);
            }
        } else if (const auto *polyline = std::get_if<Polyline>(&item)) {
            t.entity("LWPOLYLINE", b.next++, record, layerName(polyline->layer))(100, "AcDbPolyline")
                .integer(90, long(polyline->points.size())).integer(70, polyline->closed ? 1 : 0);
            for (Point p : polyline->points)
                t.number(10, p.x).number(20, p.y);
        } else if (const auto *circle = std::get_if<Circle>(&item)) {
            t.entity("CIRCLE", b.next++, record, layerName(circle->layer))(100, "AcDbCircle").point(10, circle->centre)
                .number(40, circle->radius);
        } else if (const auto *text = std::get_if<Text>(&item)) {
            const int align = text->align == Text::Align::left ? 0 : text->align == Text::Align::centre ? 1 : 2;
            t.entity("TEXT", b.next++, record, layerName(text->layer))(100, "AcDbText").point(10, text->at)
                .number(40, text->height)(1, cadText(text->text)).number(41, widthFactor)(7, styleName);
            if (align)
                t.integer(72, align).point(11, text->at);
            t(100, "AcDbText");
        } else if (const auto *d = std::get_if<Dimension>(&item)) {
            const std::uint32_t dimensionRecord = b.next++;
            const std::string block = "*D" + hex(dimensionRecord);
            blockRecord(records, dimensionRecord, block, 0);
            ++b.recordCount;
            const Point middle = d->vertical ? Point{d->line.x, (d->from.y + d->to.y) / 2} : Point{(d->from.x + d->to.x) / 2, d->line.y};
            t.entity("DIMENSION", b.next++, record, layerName(Layer::dimensions))(100, "AcDbDimension")(2, block)(3, dimensionStyle)
                .point(10, d->vertical ? Point{d->line.x, d->to.y} : Point{d->to.x, d->line.y}).point(11, middle).integer(70, 32)
                .integer(71, 5)
                .number(42, d->vertical ? std::abs(d->to.y - d->from.y) : std::abs(d->to.x - d->from.x))(1, cadText(d->text))
                (100, "AcDbAlignedDimension").point(13, d->from).point(14, d->to).number(50, d->vertical ? 90 : 0)
                (100, "AcDbRotatedDimension");
            dimensionBlock(dimensions, b, dimensionRecord, *d, block);
        }
        if (t.text.size() > (1 << 16))
            b.flush(t, Blocks::blocks);
    }
    t(0, "ENDBLK").handle(5, b.next++).handle(330, record)(100, "AcDbEntity")(8, "0")(100, "AcDbBlockEnd");
    b.flush(t, Blocks::blocks);
    b.flush(dimensions, Blocks::blocks);
    b.flush(records, Blocks::records);
}

bool DxfWriter::finish()
{
    Blocks &b = *blocks_;
    // Room around the tendons for labels that stand out past their ends.
    const Extents e{-1000, b.extents.bottom - 1000, b.extents.right + 1000, b.extents.top + 1000};
    Tags t;
    // The header: the version, the code page of the Chinese text, the
    // extents, millimetres, and the next handle free.
    t(0, "SECTION")(2, "HEADER")(9, "$ACADVER")(1, "AC1021")(9, "$DWGCODEPAGE")(3, "ANSI_936")(9, "$INSBASE").point(10, {0, 0})
        (9, "$EXTMIN").point(10, {e.left, e.bottom})(9, "$EXTMAX").point(10, {e.right, e.top})(9, "$LUNITS").integer(70, 2)
        (9, "$LUPREC").integer(70, 0)(9, "$TEXTSTYLE")(7, styleName)(9, "$CLAYER")(8, "0")(9, "$DIMSTYLE")(2, dimensionStyle)
        (9, "$INSUNITS").integer(70, 4)(9, "$MEASUREMENT").integer(70, 1)(9, "$HANDSEED").handle(5, b.next)(0, "ENDSEC");
    t(0, "SECTION")(2, "CLASSES")(0, "ENDSEC");
    t(0, "SECTION")(2, "TABLES");
    // The view opens on every tendon.
    t.table("VPORT", vportTable, 1).record("VPORT", activeView, vportTable, "AcDbViewportTableRecord")(2, "*Active")
        .integer(70, 0).point(10, {0, 0}).number(11, 1).number(21, 1).number(12, (e.left + e.right) / 2)
        .number(22, (e.bottom + e.top) / 2).number(13, 0).number(23, 0).number(14, 10).number(24, 10).number(15, 10)
        .number(25, 10).number(16, 0).number(26, 0).number(36, 1).number(17, 0).number(27, 0).number(37, 0)
        .number(40, std::max(e.top - e.bottom, (e.right - e.left) / 1.6) * 1.05).number(41, 1.6).number(42, 50).number(43, 0)
        .number(44, 0).number(50, 0).number(51, 0).integer(71, 0).integer(72, 1000).integer(73, 1).integer(74, 3).integer(75, 0)
        .integer(76, 0).integer(77, 0).integer(78, 0).integer(281, 0).integer(65, 1).number(146, 0)(0, "ENDTAB");
    t.table("LTYPE", ltypeTable, 3);
    for (const auto &[name, handle] : {std::pair{"ByBlock", byBlock}, {"ByLayer", byLayer}, {"Continuous", continuous}})
        t.record("LTYPE", handle, ltypeTable, "AcDbLinetypeTableRecord")(2, name).integer(70, 0)(3, name == std::string("Continuous") ? "Solid line" : "")
            .integer(72, 65).integer(73, 0).number(40, 0);
    t(0, "ENDTAB");
    t.table("LAYER", layerTable, 2 + int(Layer::count));
    const auto layer = [&](std::uint32_t handle, std::string_view name, int colour, bool plotted) {
        t.record("LAYER", handle, layerTable, "AcDbLayerTableRecord")(2, name).integer(70, 0).integer(62, colour)(6, "Continuous");
        if (!plotted)
            t.integer(290, 0);
        t.integer(370, -3).handle(390, normalPlotStyle);
    };
    layer(layerZero, "0", 7, true);
    layer(defpoints, "Defpoints", 7, false);
    for (int n = 0; n < int(Layer::count); ++n)
        layer(firstLayer + std::uint32_t(n), styleOf(Layer(n)).name, styleOf(Layer(n)).colour, true);
    t(0, "ENDTAB");
    t.table("STYLE", styleTable, 2)
        .record("STYLE", standardStyle, styleTable, "AcDbTextStyleTableRecord")(2, "Standard").integer(70, 0).number(40, 0)
        .number(41, 1).number(50, 0).integer(71, 0).number(42, 2.5)(3, "txt")(4, "")
        .record("STYLE", chineseStyle, styleTable, "AcDbTextStyleTableRecord")(2, styleName).integer(70, 0).number(40, 0)
        .number(41, widthFactor).number(50, 0).integer(71, 0).number(42, labelHeight)(3, "gbenor.shx")(4, "gbcbig.shx")
        (0, "ENDTAB");
    t.table("VIEW", viewTable, 0)(0, "ENDTAB");
    t.table("UCS", ucsTable, 0)(0, "ENDTAB");
    t.table("APPID", appidTable, 1).record("APPID", acadApp, appidTable, "AcDbRegAppTableRecord")(2, "ACAD").integer(70, 0)
        (0, "ENDTAB");
    t.table("DIMSTYLE", dimstyleTable, 2)(100, "AcDbDimStyleTable");
    for (const auto &[name, handle] : {std::pair{"Standard", standardDimension}, {dimensionStyle, ourDimension}}) {
        t.record("DIMSTYLE", handle, dimstyleTable, "AcDbDimStyleTableRecord")(2, name).integer(70, 0);
        if (handle == ourDimension)
            t.number(40, 1).number(41, 0).number(42, extensionOffset).number(44, extensionBeyond).number(140, dimensionHeight)
                .number(142, tick).number(147, textGap).integer(73, 0).integer(74, 0).integer(77, 1).integer(271, 0)
                .integer(277, 2).handle(340, chineseStyle);
    }
    t(0, "ENDTAB");
    t.table("BLOCK_RECORD", recordTable, 2 + b.recordCount);
    blockRecord(t, modelRecord, "*Model_Space", modelLayout);
    blockRecord(t, paperRecord, "*Paper_Space", paperLayout);
    const auto write = [&] {
        const bool done = std::fwrite(t.text.data(), 1, t.text.size(), out_) == t.text.size();
        t.text.clear();
        return done;
    };
    bool written = !b.failed && write() && b.copy(Blocks::records, out_);
    t(0, "ENDTAB")(0, "ENDSEC");

    t(0, "SECTION")(2, "BLOCKS");
    for (const auto &[name, handles] : {std::pair{"*Model_Space", std::array{modelRecord, modelBlock, modelEnd}},
                                        {"*Paper_Space", std::array{paperRecord, paperBlock, paperEnd}}})
        t(0, "BLOCK").handle(5, handles[1]).handle(330, handles[0])(100, "AcDbEntity")(8, "0")(100, "AcDbBlockBegin")(2, name)
            .integer(70, 0).point(10, {0, 0})(3, name)(1, "")(0, "ENDBLK").handle(5, handles[2]).handle(330, handles[0])
            (100, "AcDbEntity")(8, "0")(100, "AcDbBlockEnd");
    // The tendons' blocks and their inserts, as they were streamed.
    written = written && write() && b.copy(Blocks::blocks, out_);
    t(0, "ENDSEC")(0, "SECTION")(2, "ENTITIES");
    written = written && write() && b.copy(Blocks::inserts, out_);
    t(0, "ENDSEC");

    // The objects: the root dictionary, groups (none), the two layouts and
    // the plot style the layers name.
    const auto layoutObject = [&](std::uint32_t handle, std::string_view name, int tab, std::uint32_t owner) {
        t(0, "LAYOUT").handle(5, handle).handle(330, layouts)(100, "AcDbPlotSettings")(1, "")(2, "none_device")
            (4, "ISO_A3_(420.00_x_297.00_MM)")(6, "").number(40, 7.5).number(41, 20).number(42, 7.5).number(43, 20)
            .number(44, 420).number(45, 297).number(46, 0).number(47, 0).number(48, 0).number(49, 0).number(140, 0)
            .number(141, 0).number(142, 1).number(143, 1).integer(70, 688).integer(72, 1).integer(73, 0).integer(74, 5)(7, "")
            .integer(75, 16).integer(76, 0).integer(77, 2).integer(78, 300).number(147, 1).number(148, 0).number(149, 0)
            (100, "AcDbLayout")(1, name).integer(70, 1).integer(71, tab).point(10, {0, 0}).number(11, 420).number(21, 297)
            .point(12, {0, 0}).point(14, {e.left, e.bottom}).point(15, {e.right, e.top}).number(146, 0).point(13, {0, 0})
            .number(16, 1).number(26, 0).number(36, 0).number(17, 0).number(27, 1).number(37, 0).integer(76, 1)
            .handle(330, owner);
    };
    t(0, "SECTION")(2, "OBJECTS")(0, "DICTIONARY").handle(5, rootDictionary)(330, "0")(100, "AcDbDictionary").integer(281, 1)
        (3, "ACAD_GROUP").handle(350, groups)(3, "ACAD_LAYOUT").handle(350, layouts)(3, "ACAD_PLOTSTYLENAME")
        .handle(350, plotStyles);
    t(0, "DICTIONARY").handle(5, groups).handle(330, rootDictionary)(100, "AcDbDictionary").integer(281, 1);
    t(0, "DICTIONARY").handle(5, layouts).handle(330, rootDictionary)(100, "AcDbDictionary").integer(281, 1)(3, "Model")
        .handle(350, modelLayout)(3, "Layout1").handle(350, paperLayout);
    t(0, "ACDBDICTIONARYWDFLT").handle(5, plotStyles).handle(330, rootDictionary)(100, "AcDbDictionary").integer(281, 1)
        (3, "Normal").handle(350, normalPlotStyle)(100, "AcDbDictionaryWithDefault").handle(340, normalPlotStyle);
    t(0, "ACDBPLACEHOLDER").handle(5, normalPlotStyle).handle(330, plotStyles);
    layoutObject(modelLayout, "Model", 0, modelRecord);
    layoutObject(paperLayout, "Layout1", 1, paperRecord);
    t(0, "ENDSEC")(0, "EOF");
    written = written && write();
    return written && std::fflush(out_) == 0 && !std::ferror(out_);
}

} // namespace drawing
