#pragma once
// The fixed dimensions of the radar picture: how many sweep rows make one antenna turn, how large the
// echo textures are and how many samples of a row the picture shows. The data module fixes them once,
// for the presentation mode, when it first connects to the radar; they never change afterwards.
#include <cstdint>

#include "common/units.h"

struct EchoGeometry {
  // Sweep angles are given in units of 1/8192 of a turn.
  static constexpr int kAngleUnits = 8192;
  static constexpr double kRadiansPerAngleUnit = kTwoPi / kAngleUnits;
  static constexpr int kSectors = 128;
  // The angle one sector spans, in radians: a whole number of angle units.
  static constexpr double kSectorSpan = kTwoPi * (kAngleUnits / kSectors) / kAngleUnits;
  static constexpr int kTextures = 8;
  // A sector's outline and its texture reach from the centre to the sweep distance in equal steps, each
  // this fraction of the whole further out.
  static constexpr int kRadialSteps = 5;
  static constexpr double kRadialStep = 0.2;

  int rows = 0;          // sweep rows per turn
  int textureSize = 0;   // texels per side of an echo texture, and texels per texture row
  int validSamples = 0;  // samples of a row that span the picture's radius

  int AngleUnitsPerRow() const { return kAngleUnits / rows; }
  int RowsPerSector() const { return rows / kSectors; }
  int SectorsPerTexture() const { return kSectors / kTextures; }
  int RowsPerTexture() const { return textureSize; }
};

inline constexpr EchoGeometry kNormalEchoGeometry{4096, 512, 464};
// The type-approved mode: twice the angular resolution and larger textures.
inline constexpr EchoGeometry kImoEchoGeometry{8192, 1024, 884};

// Fixes the geometry for the mode. Only the first call has an effect: later calls keep the values of
// the first and answer false.
bool ConfigureEchoGeometry(bool imoMode);
bool IsEchoGeometryConfigured();
// The configured geometry, or null before ConfigureEchoGeometry. Safe to call from any thread.
const EchoGeometry* ConfiguredEchoGeometry();
// The configured geometry; the normal mode's values before ConfigureEchoGeometry, so that readers never
// see zero dimensions.
const EchoGeometry& GetEchoGeometry();

// Test support only: forgets the configuration so that a test can configure another mode. Never call
// this while sweeps may arrive.
void ResetEchoGeometryForTesting();
