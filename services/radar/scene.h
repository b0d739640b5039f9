#pragma once
// The world the simulated radar looks at, around the own ship and fixed to it (x to starboard, y ahead,
// in nautical miles): a coastline, islands and rocks, rain showers, buoys and vessels that steam on
// straight courses, turning back at the edge of their area. One seed gives one world.
#include <array>
#include <cstdint>
#include <vector>

namespace radarsim {

// Fixed echo codes, one byte per sample cell: 0 open water, 1 to 127 rain of that density, 128 to 255
// land with the strength LandStrengthOf(code).
constexpr std::uint8_t kFirstLandCode = 128;
constexpr int LandStrengthOf(std::uint8_t code) { return (code - kFirstLandCode) * 2 + 1; }

// How much of an echo comes back from `distance` nautical miles: 1 at the antenna, 1/2 at 12 miles.
double EchoAttenuation(double distance);

struct Island {
  double x, y;
  double radius;
  std::array<double, 3> wobble;  // relative radius changes with 2, 3 and 5 lobes
  std::array<double, 3> phase;
  double reach;  // no point of the island lies farther than this from its centre
};

struct Coastline {
  double normalX, normalY;  // unit vector from the ship towards the land
  double distance;          // mean distance of the shore
  std::array<double, 4> amplitude, frequency, phase;
  double reach;             // the shore never strays farther than this from its mean
};

struct RainCell {
  double x, y;
  double radius;
};

struct Vessel {
  double x, y;    // position at time 0
  double vx, vy;  // nautical miles per second
  double area;    // half the side of the square area the vessel stays in
  double length;  // nautical miles
  int strength;   // echo strength close by, 0 to 255
};

class Scene {
public:
  explicit Scene(std::uint64_t seed);

  // Fixed echoes along the bearing `bearing` (radians clockwise from ahead), for `samples` cells of
  // `cell` nautical miles: one code per cell, and the first cell hidden behind land (`samples` when
  // nothing hides the ray). `texture` varies the land's echo from ray to ray.
  void TraceRay(double bearing, double cell, int samples, std::uint64_t texture, std::uint8_t* codes,
                int& shadowStart) const;

  const std::vector<Vessel>& Vessels() const { return vessels_; }
  // Where `vessel` is after `seconds`.
  static void VesselPosition(const Vessel& vessel, double seconds, double& x, double& y);

private:
  bool IsCoastLand(double x, double y) const;
  static bool IsIslandLand(const Island& island, double x, double y);
  void MarkRain(double dirX, double dirY, double cell, int samples, std::uint8_t* codes) const;
  void MarkLand(double dirX, double dirY, double cell, int samples, std::uint8_t* codes) const;

  Coastline coast_{};
  std::vector<Island> islands_;
  std::vector<RainCell> rain_;
  std::vector<Vessel> vessels_;
};

}  // namespace radarsim
