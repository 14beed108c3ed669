#pragma once

// The loads a tendon puts on its beam, for a frame analysis that takes the
// tendon as loads (load balancing): on each parabolic segment a uniform load
// w = N̄·y″ (2·a·N̄ as the equations hold a), N̄ the mean force over its
// horizontal length; at each anchor the force's horizontal and vertical
// components and its moment about the section's centroid; where the tendon
// turns at a point (a kink) a concentrated load N·Δ(slope); where it steps a
// height Δy (C2a's parabolas lg2/2 apart, a duct step at a support) a moment
// −N·Δy. Mechanics, not a clause of GB 50010: the loads act on the concrete,
// up, rightward and counter-clockwise positive, the angles small (the
// slope). x from the tendon's left end, y above the bottom face, forces in
// N, lengths in mm: a uniform load in N/mm is kN/m.

#include "calc/geometry.h"

#include <functional>
#include <span>
#include <vector>

namespace calc {

enum class LoadKind { uniform, concentrated, axial, moment };

struct Load {
    std::size_t span; // from 0
    LoadKind kind;
    double from, to;  // where it acts, mm from the tendon's left end (to = from but for a uniform load)
    double value;     // N/mm uniform, N concentrated or axial, N·mm a moment
    double height = 0; // where an axial force acts: the section's centroid above the bottom face
};

// A span of the tendon: its profile, where it begins along the tendon, and
// its section's centroid above the bottom face.
struct LoadedSpan {
    const ProfileGeometry *geometry;
    double start;
    double centroid;
};

// The loads of a tendon through its spans under the force N(x) it holds at
// x (N), from its left end: in order along it, each anchor's axial force,
// vertical force and moment, each segment's uniform load, each kink's and
// step's load where it is.
std::vector<Load> equivalentLoads(std::span<const LoadedSpan> spans, const std::function<double(double)> &force);

// The loads' sums: the vertical forces, the horizontal ones and the moments
// about the tendon's left end on the bottom face, which a tendon of constant
// force makes zero and friction leaves small.
struct Balance {
    double vertical, horizontal, moment;
};
Balance balance(std::span<const Load> loads);

} // namespace calc
