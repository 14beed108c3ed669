#pragma once

// The losses that come after the tendon is anchored, and the prestress that
// remains (GB 50010, 10.2.1 and 10.2.5): the strand's relaxation σl4, the
// concrete's shrinkage and creep σl5 from the precompression σpc the tendon
// puts on the section's tension zone, and the total loss, which a
// post-tensioned member takes as no less than 80 MPa. Stresses in MPa,
// lengths in mm, forces in N.

namespace calc {

// Strands and stress-relieved wires: low relaxation (低松弛) or ordinary (普通松弛).
enum class Relaxation { low, ordinary };

// σl4 (table 10.2.1): low relaxation 0.125(σcon/fptk − 0.5)σcon up to
// 0.7 fptk, 0.2(σcon/fptk − 0.575)σcon above it (up to 0.8 fptk, the
// highest control stress the stressing takes; the two agree at 0.7);
// ordinary 0.4(σcon/fptk − 0.5)σcon; none at 0.5 fptk or below.
double relaxationLoss(double sigmaCon, double fptk, Relaxation kind);

// σl5 in the tension zone of a post-tensioned member (formula 10.2.5-3):
// (55 + 300·σpc/f′cu)/(1 + 15ρ), with σpc the precompression there,
// f′cu the concrete's cube strength when stressed and ρ = (Ap + As)/An;
// 30 % more where the mean relative humidity is below 40 % (`dry`). The
// formula holds for σpc up to 0.5 f′cu: `holds` says whether it does.
struct ShrinkageCreep {
    double loss;
    bool holds;
};
ShrinkageCreep shrinkageCreepLoss(double sigmaPc, double fcu, double rho, bool dry);

// A beam's section: a web b wide and h high, with a top flange bf wide and
// hf deep where bf > b and hf > 0 (a T), else a rectangle; its area, its
// centroid's height above the bottom face and its second moment of area
// about it.
struct SectionProperties {
    double area, centroid, inertia;
};
struct Section {
    double b, h, bf = 0, hf = 0;
    SectionProperties gross() const;
    // Less `ducts` round ducts of diameter d whose centres stand y above the
    // bottom face (none where d is 0).
    SectionProperties net(int ducts, double d, double y) const;
};

// σpc at a height y above the bottom face under a force Np (N) acting at
// the height yp: Np/An + Np·e·ep/In, e = yc − yp and ep = yc − y, on the net
// section; at the tendon itself (y = yp) Np/An + Np·e²/In.
double precompression(const SectionProperties &net, double force, double yp, double y);

// The total loss σl1 + σl2 + σl4 + σl5, no less than 80 MPa (10.2.1, for
// post-tensioned members).
double totalLoss(double sigmaL1, double sigmaL2, double sigmaL4, double sigmaL5);

} // namespace calc
