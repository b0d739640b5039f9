#include "display/radar_sector.h"

#include <cstring>

#include "common/navigation_geometry.h"
#include "common/units.h"
#include "display/echo_geometry.h"
#include "display/echo_texture_set.h"
#include "host/chart_view.h"
#include "host/converter_api.h"

namespace {

constexpr UINT kStripBytes = RadarSector::kOutlinePoints * sizeof(EchoVertex);

static_assert(sizeof(EchoVertex) == 28);
// The centre, then a start and an end point per radial step.
static_assert(RadarSector::kOutlinePoints == 1 + 2 * EchoGeometry::kRadialSteps);

// One turn off is taken back; a bearing further off stays out of range.
double CorrectBearingOnce(double bearing) {
  if (bearing > kTwoPi) return bearing - kTwoPi;
  if (bearing < 0.0) return bearing + kTwoPi;
  return bearing;
}

// `metres` as an arc at the earth's centre, in radians, through the host's unit converter.
double ArcOfMetres(double metres, UnitConverter& converter) {
  const double nauticalMiles =
      converter.Convert(&metres, converter_units::kMetres, converter_units::kRangeNauticalMiles);
  return converter.Convert(&nauticalMiles, converter_units::kNauticalMiles, converter_units::kArcRadians);
}

D3DCOLOR VertexColour(std::uint32_t colour, std::uint8_t opacity) {
  const std::uint32_t red = colour & 0xFFu;
  const std::uint32_t green = (colour >> 8) & 0xFFu;
  const std::uint32_t blue = (colour >> 16) & 0xFFu;
  return std::uint32_t{opacity} << 24 | red << 16 | green << 8 | blue;
}

}  // namespace

void RadarSector::UpdateOutline(const PosType& centre, int index, double bearing, double distance,
                                UnitConverter& converter) {
  bearing = CorrectBearingOnce(bearing);
  if (bearing == bearing_ && distance == distance_ && centre == outline_[0]) return;
  bearing_ = bearing;
  distance_ = distance;
  index_ = index;
  outline_[0] = centre;

  const double latitude = centre.latitude;
  const double longitude = centre.longitude;
  const double endBearing = CorrectBearingOnce(bearing + EchoGeometry::kSectorSpan);
  const double metres = distance * kMetresPerNauticalMile;
  hasOutline_ = true;
  for (int k = 1; k <= EchoGeometry::kRadialSteps; ++k) {
    const double arc = ArcOfMetres(k * EchoGeometry::kRadialStep * metres, converter);
    double startLatitude = 0, startLongitude = 0, endLatitude = 0, endLongitude = 0;
    const bool reached = RhumbLineDestination(latitude, longitude, bearing, arc, startLatitude, startLongitude) &&
                         RhumbLineDestination(latitude, longitude, endBearing, arc, endLatitude, endLongitude);
    if (!reached) hasOutline_ = false;
    outline_[2 * k - 1] = PosType(startLatitude, startLongitude);
    outline_[2 * k] = PosType(endLatitude, endLongitude);
  }
}

void RadarSector::Draw(IDirect3DDevice9* device, ChartView& view, const EchoTextureSet& textures,
                       std::uint32_t colour, std::uint8_t opacity) const {
  if (device == nullptr || !hasOutline_) return;
  const EchoGeometry& geometry = textures.Geometry();
  IDirect3DTexture9* texture = textures.Texture(index_ * EchoGeometry::kTextures / EchoGeometry::kSectors);
  if (texture == nullptr || geometry.textureSize <= 0) return;

  // The sector's band of rows within its texture, along v; the valid samples along u.
  float start = static_cast<float>(index_) / EchoGeometry::kSectors * EchoGeometry::kTextures;
  float end = static_cast<float>(index_ + 1) / EchoGeometry::kSectors * EchoGeometry::kTextures;
  while (start >= 1.0f) {
    start -= 1.0f;
    end -= 1.0f;
  }
  const double validU = static_cast<double>(geometry.validSamples) / geometry.textureSize;

  const D3DCOLOR diffuse = VertexColour(colour, opacity);
  EchoVertex strip[kOutlinePoints];
  for (int i = 0; i < kOutlinePoints; ++i) {
    EchoVertex& vertex = strip[i];
    vertex = {0.0f, 0.0f, 0.5f, 1.0f, diffuse, 0.0f, (start + end) / 2};
    view.GeoToScreen(vertex.x, vertex.y, outline_[static_cast<std::size_t>(i)], 0);
    if (i > 0) {
      const int step = (i + 1) / 2;
      vertex.u = static_cast<float>(step * EchoGeometry::kRadialStep * validU);
      vertex.v = i % 2 == 1 ? start : end;
    }
  }

  IDirect3DVertexBuffer9* buffer = nullptr;
  if (device->CreateVertexBuffer(kStripBytes, 0, kEchoVertexFormat, D3DPOOL_DEFAULT, &buffer, nullptr) != D3D_OK ||
      buffer == nullptr) {
    return;
  }
  void* bytes = nullptr;
  if (buffer->Lock(0, kStripBytes, &bytes, 0) == D3D_OK && bytes != nullptr) {
    std::memcpy(bytes, strip, kStripBytes);
    buffer->Unlock();
    device->SetStreamSource(0, buffer, 0, sizeof(EchoVertex));
    device->SetFVF(kEchoVertexFormat);
    device->SetTexture(0, texture);
    device->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, kOutlinePoints - 2);
  }
  buffer->Release();
}
