#pragma once
// Triangles reaching far beyond the surface are cut to a guard band around it, so that every vertex
// the rasteriser snaps fits its fixed-point range. A cut point on an edge is always computed from the
// edge's end inside the band, so two triangles sharing an edge cut it at exactly the same point and
// still meet without gap or overlap.
#include "vertex_layout.h"

namespace d3d9 {

// The band spans -kGuardBand to kGuardBand pixels on both axes: twice the largest surface.
constexpr double kGuardBand = 16384.0;
// A triangle cut by the four sides of the band has at most seven corners.
constexpr int kMaxClippedCorners = 7;

bool IsInsideGuardBand(const ScreenVertex& vertex);

// Cuts `triangle` (finite coordinates) to the band and answers the number of corners of the convex
// polygon left in `polygon`, in the triangle's winding order; fewer than 3 when nothing is left.
int ClipToGuardBand(const ScreenVertex (&triangle)[3], ScreenVertex (&polygon)[kMaxClippedCorners]);

}  // namespace d3d9
