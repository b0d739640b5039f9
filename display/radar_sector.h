#pragma once
// One of the 128 angular sectors the echo picture is cut into: a strip of eleven points around the own
// ship, textured with the sector's band of sweep rows.
#include <array>
#include <cstdint>

#include "d3d9.h"
#include "host/pos_type.h"

class ChartView;
class EchoTextureSet;
class UnitConverter;

// A vertex of the echo strips: a screen point with a colour and texture coordinates.
struct EchoVertex {
  float x, y, z, rhw;
  D3DCOLOR diffuse;
  float u, v;
};
inline constexpr DWORD kEchoVertexFormat = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

class RadarSector {
public:
  static constexpr int kOutlinePoints = 11;

  virtual ~RadarSector() = default;

  // Places sector `index` at `bearing` (radians, where the sector starts; one turn off is corrected)
  // around `centre`, reaching `distance` nautical miles. `converter` turns the distances into arcs.
  // The outline is recomputed only when bearing, distance or centre changed.
  void UpdateOutline(const PosType& centre, int index, double bearing, double distance, UnitConverter& converter);
  // Draws the sector's rows of `textures` over its outline in `colour` (0x00BBGGRR) with `opacity`.
  // Nothing is drawn while the outline is missing or its texture does not exist.
  void Draw(IDirect3DDevice9* device, ChartView& view, const EchoTextureSet& textures, std::uint32_t colour,
            std::uint8_t opacity) const;

  double Bearing() const { return bearing_; }
  double Distance() const { return distance_; }
  int Index() const { return index_; }
  // Point 0 is the centre; points 2k − 1 and 2k lie at k fifths of the distance, at the start and the
  // end bearing of the sector.
  const std::array<PosType, kOutlinePoints>& Outline() const { return outline_; }
  // False until an outline was computed, and when the last one could not be.
  bool HasOutline() const { return hasOutline_; }

private:
  double bearing_ = 0.0;
  double distance_ = 0.0;
  int index_ = 0;
  std::array<PosType, kOutlinePoints> outline_{};
  bool hasOutline_ = false;
};
