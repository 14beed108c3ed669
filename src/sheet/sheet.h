#pragma once

// The calculation sheet of a schedule painted into a PDF: the pages as
// sheet/pages.h lays them out, every figure painted by QPainter. Text stays
// text, in an embedded font that keeps its Chinese searchable.

#include "calc/geometry.h"
#include "schedule/schedule.h"
#include "schedule/tendons.h"
#include "sheet/figure.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class QPainter;
class QPdfWriter;
class QRectF;

namespace sheet {

// A figure of the sheet (a drawing or a whole page, millimetres from the
// device's top left corner) painted on any paint device.
void paint(QPainter &painter, const figure::Figure &figure);

// The tendon's profile drawn into `area` (device units) of any paint device:
// the beam outline and the tendon to scale (the vertical scale exaggerated and
// both stated), the key points labelled, and the atlas's dimension marks.
void drawProfile(QPainter &painter, const QRectF &area, const calc::ProfileGeometry &geometry,
                 const calc::HeldParameters &parameters);

// The stress along a stressed tendon drawn into `area` at the profile's
// horizontal scale (an area as wide as the profile's lines up under it): from
// each jacked end, the dividing point of two jacks marked.
void drawStress(QPainter &painter, const QRectF &area, const calc::ProfileGeometry &geometry,
                const schedule::Stressed &stressed);
// The same along a tendon `length` mm long.
void drawStress(QPainter &painter, const QRectF &area, double length, const schedule::Stressed &stressed);

// A tendon through several spans drawn into `area`: each span's beam and
// profile end to end (`starts`: each span's left end from the tendon's, and
// its right end) at one scale, both stated, named, the supports marked.
void drawSpans(QPainter &painter, const QRectF &area, const std::vector<const calc::Tendon *> &spans,
               const std::vector<double> &starts, const QStringList &names);

class SheetWriter {
public:
    // `step`: the distance between setting-out stations, in mm; `siteUrl`:
    // where the page is served, for each tendon's code to its site record
    // ("" for none).
    SheetWriter(const QString &path, double step, const std::string &siteUrl = {});
    ~SheetWriter();
    SheetWriter(const SheetWriter &) = delete;
    SheetWriter &operator=(const SheetWriter &) = delete;

    // A tendon's pages; its rows as given, where known, which its code carries.
    void add(const schedule::TendonRows &tendon);
    // Completes the file; false when it could not be written.
    bool finish();
    // The pages painted so far; may be asked from another thread.
    int pages() const;

private:
    class Pages;
    std::unique_ptr<Pages> pages_;
};

} // namespace sheet
