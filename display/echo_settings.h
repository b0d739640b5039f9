#pragma once
// The radar settings that decide how echo rows are turned into texels.

class OGRable;

struct EchoSettings {
  bool realTime = true;  // rewrite rows as they are swept, rather than once per turn
  int echoColourIndex = 1;
  int trailColourIndex = 1;
};

// Reads the settings from the radar feature of `source` (feature 0 of its layer 0) into `settings`. A
// missing field reads as 0. Without a feature only the real-time flag is set (on), the rest is kept.
void ReadEchoSettings(OGRable* source, EchoSettings& settings);
