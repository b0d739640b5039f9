#pragma once
// Bearings, distances and destination points on a spherical earth. Every angle is in radians:
// latitude, longitude, bearing (clockwise from north) and distance (the arc angle at the earth's
// centre). NoValueDouble marks a missing input.
#include <cstdint>

// Route types of BearingDistance.
inline constexpr std::int32_t kGreatCircleRoute = 1;
inline constexpr std::int32_t kRhumbLineRoute = 2;

// `angle` reduced to [0, 2π]; a negative multiple of 2π gives 2π. NoValueDouble is returned as is.
double NormalizeAngle(double angle);

// Arc sine in [-π/2, π/2] of `x` in [-1, 1]; NaN outside.
double ArcSin(double x);

// The end of a track of constant `bearing` (0 to 2π) over `distance` (at most π) from the start.
// A track that reaches a pole ends there. False, with both outputs NoValueDouble, on a missing or
// non-finite input or a bearing or distance out of range.
bool RhumbLineDestination(double startLatitude, double startLongitude, double bearing, double distance,
                          double& endLatitude, double& endLongitude);

// Constant bearing and length of the rhumb line from point 1 to point 2. A pole is reached along a
// meridian; the same point gives 0 and 0.
void RhumbLineBearingDistance(double latitude1, double longitude1, double latitude2, double longitude2,
                              double& bearing, double& distance);

// Initial bearing and length of the route from point 1 to point 2: a great circle when the points are
// more than 5 degrees of longitude apart, the rhumb line otherwise. A start exactly at a pole is moved
// 1e-8 off it, so that the bearing is measured from the start's meridian; an end at a pole is reached
// along a meridian. The same point gives 0 and 0.
void GreatCircleBearingDistance(double latitude1, double longitude1, double latitude2, double longitude2,
                                double& bearing, double& distance);

// Bearing and distance by kGreatCircleRoute or kRhumbLineRoute. False, with both outputs NoValueDouble,
// on a missing or non-finite input or another route type.
bool BearingDistance(double latitude1, double longitude1, double latitude2, double longitude2,
                     std::int32_t routeType, double& bearing, double& distance);
