#pragma once

// The calculation sheet of a schedule as pages of figures, A4 in millimetres:
// for every row a page (two where its setting-out table needs them) with its
// parameters, equations, segments, its profile drawn to scale, the checks an
// engineer makes, its tensioning and anchoring, and the heights the site sets
// the duct supports to; a tendon through several spans gets a page of its
// own after its spans'. Plain C++: the PDF and the page draw the same pages.

#include "sheet/figure.h"

#include <vector>

namespace figure {

inline constexpr double pageWidth = 210, pageHeight = 297, pageMargin = 15;

class Sheet {
public:
    // `step`: the distance between setting-out stations, in mm.
    explicit Sheet(double step) : step_(step) {}

    // Lays out a row's pages, in the schedule's order, after those before.
    void add(const schedule::Result &result);

    std::vector<Figure> pages;

private:
    void addSpan(const schedule::Result &result);
    void addTendon();
    double title(Paper &paper, const schedule::Result &result);
    double body(Paper &paper, double y, const schedule::Result &result, const calc::Tendon &t,
                const calc::ProfileGeometry &g);
    double checks(Paper &paper, double y, const calc::Tendon &t, const calc::ProfileGeometry &g,
                  const calc::HeldParameters &held);
    double tensioning(Paper &paper, double y, const schedule::Result &result);
    double anchoring(Paper &paper, double y, const schedule::Result &result);
    template <typename Retitle>
    double room(Paper &paper, double y, double needed, Retitle retitle);
    template <typename Retitle>
    void settingOut(Paper &paper, double y, const std::vector<std::pair<double, double>> &points, Retitle retitle);

    double step_;
    std::vector<schedule::Result> tendon_; // the spans of a tendon through several, until its last
};

} // namespace figure
