#pragma once
// A radar that knows nothing and does nothing: test radars derive from it and answer only what their
// tests ask of them.
#include "host/radar_service.h"

class QuietRadar : public SorVikRadar {
public:
  OGRFeature* GetStateFeature(int) override { return nullptr; }
  int SetStateFeature(OGRFeature*, int) override { return -1; }
  int GetCurrentRange(int*, int*) override { return -1; }
  int SetTrailTime(int) override { return 0; }
  int AddSweepCallback(RadarSweepCallback) override { return 0; }
  int AddChangeCallback(RadarChangeCallback) override { return 0; }
  int RemoveSweepCallback(RadarSweepCallback) override { return 0; }
  int RemoveChangeCallback(RadarChangeCallback) override { return 0; }
  double RangeToDistance(int, int) override { return 0.0; }
  bool GetRingLayout(int, int, float*, int*) override { return false; }
  int GetPulseLabelCode(int, int, int, int) override { return -1; }
  void FormatRange(CString& text, int) override { text.Empty(); }
  double GetRingInterval(int, int) override { return 0.0; }

protected:
  ~QuietRadar() = default;
};
