#include "services/radar/scene.h"

#include <algorithm>
#include <cmath>

#include "common/units.h"
#include "services/radar/random.h"

namespace radarsim {
namespace {

constexpr double kSecondsPerHour = 3600.0;
// Marks a land cell between the two passes of a ray trace; the second pass gives it its strength.
constexpr std::uint8_t kLandMark = 255;

struct IslandKind {
  int count;
  double nearest, farthest;  // distance of the centre from the ship
  double smallest, largest;  // radius
};

struct VesselKind {
  int count;
  double nearest, farthest;
  double slowest, fastest;  // knots
  double shortest, longest;
  int weakest, strongest;
  double area;
};

// Rocks close by for the short ranges, islands farther out, a few large ones at the far ranges.
constexpr IslandKind kIslandKinds[] = {
    {2, 0.2, 0.6, 0.01, 0.03},
    {3, 0.8, 3.0, 0.05, 0.25},
    {4, 3.0, 15.0, 0.3, 1.5},
    {2, 15.0, 40.0, 1.0, 4.0}};
// Buoys, small craft near the ship, ships, and large ships farther out.
constexpr VesselKind kVesselKinds[] = {
    {3, 0.08, 1.0, 0.0, 0.0, 0.003, 0.003, 170, 170, 1.2},
    {3, 0.1, 0.8, 3.0, 9.0, 0.006, 0.012, 150, 200, 1.0},
    {4, 1.0, 6.0, 8.0, 18.0, 0.03, 0.08, 200, 240, 7.0},
    {3, 4.0, 14.0, 12.0, 22.0, 0.1, 0.2, 255, 255, 16.0}};

// Distances along the ray where it runs within `radius` of (x, y): false when it never does.
bool RayCircle(double dirX, double dirY, double x, double y, double radius, double& from, double& to) {
  const double along = dirX * x + dirY * y;
  const double discriminant = along * along - (x * x + y * y) + radius * radius;
  if (discriminant <= 0.0) return false;
  const double half = std::sqrt(discriminant);
  from = std::max(0.0, along - half);
  to = along + half;
  return to > 0.0;
}

// The cells [first, last) that cover the distances [from, to).
void CellSpan(double from, double to, double cell, int samples, int& first, int& last) {
  // Clamped before the conversion: a ray grazing a shore gives distances far beyond any int.
  const double limit = samples;
  first = static_cast<int>(std::clamp(std::floor(from / cell - 0.5), 0.0, limit));
  last = static_cast<int>(std::clamp(std::ceil(to / cell + 0.5), 0.0, limit));
}

// The distance at the centre of a cell.
double CellDistance(int index, double cell) { return (index + 0.5) * cell; }

// Position along a back-and-forth path within [-area, area].
double Bounce(double position, double area) {
  const double period = 4.0 * area;
  double phase = std::fmod(position + area, period);
  if (phase < 0.0) phase += period;
  return phase < 2.0 * area ? phase - area : 3.0 * area - phase;
}

Coastline MakeCoastline(SceneRandom& random) {
  Coastline coast{};
  const double direction = random.Uniform(0.0, kTwoPi);
  coast.normalX = std::sin(direction);
  coast.normalY = std::cos(direction);
  coast.distance = random.Uniform(5.0, 8.0);
  coast.amplitude = {0.8, 0.4, 0.15, 0.06};
  coast.frequency = {0.25, 0.6, 1.5, 3.7};
  coast.reach = 0.0;
  for (std::size_t k = 0; k < coast.phase.size(); ++k) {
    coast.phase[k] = random.Uniform(0.0, kTwoPi);
    coast.reach += coast.amplitude[k];
  }
  return coast;
}

Island MakeIsland(SceneRandom& random, const IslandKind& kind) {
  Island island{};
  // Islands keep clear of the own ship.
  do {
    const double bearing = random.Uniform(0.0, kTwoPi);
    const double distance = random.Uniform(kind.nearest, kind.farthest);
    island.x = distance * std::sin(bearing);
    island.y = distance * std::cos(bearing);
    island.radius = random.Uniform(kind.smallest, kind.largest);
    island.wobble = {random.Uniform(0.0, 0.25), random.Uniform(0.0, 0.15), random.Uniform(0.0, 0.08)};
    island.phase = {random.Uniform(0.0, kTwoPi), random.Uniform(0.0, kTwoPi), random.Uniform(0.0, kTwoPi)};
    island.reach = island.radius * (1.0 + island.wobble[0] + island.wobble[1] + island.wobble[2]);
  } while (std::hypot(island.x, island.y) - island.reach < 0.05);
  return island;
}

Vessel MakeVessel(SceneRandom& random, const VesselKind& kind) {
  Vessel vessel{};
  const double bearing = random.Uniform(0.0, kTwoPi);
  const double distance = random.Uniform(kind.nearest, kind.farthest);
  vessel.x = distance * std::sin(bearing);
  vessel.y = distance * std::cos(bearing);
  const double course = random.Uniform(0.0, kTwoPi);
  const double speed = random.Uniform(kind.slowest, kind.fastest) / kSecondsPerHour;
  vessel.vx = speed * std::sin(course);
  vessel.vy = speed * std::cos(course);
  vessel.area = std::max(kind.area, distance + 0.1);
  vessel.length = random.Uniform(kind.shortest, kind.longest);
  vessel.strength = static_cast<int>(random.Uniform(kind.weakest, kind.strongest + 1));
  return vessel;
}

}  // namespace

double EchoAttenuation(double distance) { return 1.0 / (1.0 + distance / 12.0); }

Scene::Scene(std::uint64_t seed) {
  SceneRandom random(seed);
  coast_ = MakeCoastline(random);
  for (const IslandKind& kind : kIslandKinds) {
    for (int n = 0; n < kind.count; ++n) islands_.push_back(MakeIsland(random, kind));
  }
  for (int n = 0; n < 2; ++n) {
    const double bearing = random.Uniform(0.0, kTwoPi);
    const double distance = random.Uniform(2.0, 10.0);
    rain_.push_back({distance * std::sin(bearing), distance * std::cos(bearing), random.Uniform(0.5, 2.5)});
  }
  for (const VesselKind& kind : kVesselKinds) {
    for (int n = 0; n < kind.count; ++n) vessels_.push_back(MakeVessel(random, kind));
  }
}

void Scene::VesselPosition(const Vessel& vessel, double seconds, double& x, double& y) {
  x = Bounce(vessel.x + vessel.vx * seconds, vessel.area);
  y = Bounce(vessel.y + vessel.vy * seconds, vessel.area);
}

bool Scene::IsCoastLand(double x, double y) const {
  const double along = x * coast_.normalX + y * coast_.normalY;
  const double across = y * coast_.normalX - x * coast_.normalY;
  double shore = coast_.distance;
  for (std::size_t k = 0; k < coast_.amplitude.size(); ++k) {
    shore += coast_.amplitude[k] * std::sin(coast_.frequency[k] * across + coast_.phase[k]);
  }
  return along > shore;
}

bool Scene::IsIslandLand(const Island& island, double x, double y) {
  const double dx = x - island.x;
  const double dy = y - island.y;
  const double distance = std::hypot(dx, dy);
  if (distance >= island.reach) return false;
  const double angle = std::atan2(dy, dx);
  const double shore = island.radius * (1.0 + island.wobble[0] * std::sin(2.0 * angle + island.phase[0]) +
                                        island.wobble[1] * std::sin(3.0 * angle + island.phase[1]) +
                                        island.wobble[2] * std::sin(5.0 * angle + island.phase[2]));
  return distance < shore;
}

void Scene::MarkRain(double dirX, double dirY, double cell, int samples, std::uint8_t* codes) const {
  for (const RainCell& rain : rain_) {
    double from = 0.0, to = 0.0;
    if (!RayCircle(dirX, dirY, rain.x, rain.y, rain.radius, from, to)) continue;
    int first = 0, last = 0;
    CellSpan(from, to, cell, samples, first, last);
    for (int i = first; i < last; ++i) {
      const double r = CellDistance(i, cell);
      const double depth = 1.0 - std::hypot(r * dirX - rain.x, r * dirY - rain.y) / rain.radius;
      if (depth <= 0.0) continue;
      const auto density = static_cast<std::uint8_t>(std::min(127.0, 1.0 + depth * 126.0));
      codes[i] = std::max(codes[i], density);
    }
  }
}

void Scene::MarkLand(double dirX, double dirY, double cell, int samples, std::uint8_t* codes) const {
  for (const Island& island : islands_) {
    double from = 0.0, to = 0.0;
    if (!RayCircle(dirX, dirY, island.x, island.y, island.reach, from, to)) continue;
    int first = 0, last = 0;
    CellSpan(from, to, cell, samples, first, last);
    for (int i = first; i < last; ++i) {
      const double r = CellDistance(i, cell);
      if (IsIslandLand(island, r * dirX, r * dirY)) codes[i] = kLandMark;
    }
  }
  // The shore can only be reached where the ray heads towards the land beyond its nearest point.
  const double towardsLand = dirX * coast_.normalX + dirY * coast_.normalY;
  if (towardsLand <= 0.0) return;
  // Between the nearest and the farthest reach of the shore the coastline decides; beyond, all is land.
  int first = 0, sure = 0;
  CellSpan((coast_.distance - coast_.reach) / towardsLand, (coast_.distance + coast_.reach) / towardsLand,
           cell, samples, first, sure);
  for (int i = first; i < sure; ++i) {
    const double r = CellDistance(i, cell);
    if (IsCoastLand(r * dirX, r * dirY)) codes[i] = kLandMark;
  }
  std::fill(codes + sure, codes + samples, kLandMark);
}

void Scene::TraceRay(double bearing, double cell, int samples, std::uint64_t texture, std::uint8_t* codes,
                     int& shadowStart) const {
  const double dirX = std::sin(bearing);
  const double dirY = std::cos(bearing);
  std::fill(codes, codes + samples, std::uint8_t{0});
  MarkRain(dirX, dirY, cell, samples, codes);
  MarkLand(dirX, dirY, cell, samples, codes);

  // Land answers strongest at the shore facing the ship; what lies behind the first land is in its
  // shadow and only the higher ground beyond shows, weaker.
  const int edgeCells = std::max(2, static_cast<int>(0.01 / cell));
  shadowStart = samples;
  int landRun = 0;
  bool behindLand = false;
  for (int i = 0; i < samples; ++i) {
    if (codes[i] != kLandMark) {
      behindLand |= landRun > 0;
      landRun = 0;
      continue;
    }
    shadowStart = std::min(shadowStart, i);
    const bool facing = landRun++ < edgeCells;
    const int relief = static_cast<int>(HashPair(texture, static_cast<std::uint64_t>(i)) % 70);
    double strength = facing ? 250.0 : 150.0 + relief;
    strength *= EchoAttenuation(CellDistance(i, cell));
    if (behindLand) strength *= 0.6;
    codes[i] = static_cast<std::uint8_t>(kFirstLandCode + std::min(127, static_cast<int>(strength) / 2));
  }
}

}  // namespace radarsim
