#pragma once
// The radar settings that decide how echo rows are turned into texels.

class OGRFeature;

struct EchoSettings {
  bool realTime = true;  // rewrite rows as they are swept, rather than once per turn
  int echoColourIndex = 1;
  int trailColourIndex = 1;
};

// Reads the settings from the radar settings `feature` into `settings`. A missing field reads as 0.
// Without a feature only the real-time flag is set (on), the rest is kept.
void ReadEchoSettings(OGRFeature* feature, EchoSettings& settings);
