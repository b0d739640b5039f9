#pragma once
// The radar service library's interface: the entry "GetVKSorVikAPI" returns one long-lived VKSorVikAPI
// whose GetRadar gives the radar. Both are used through their virtual operations only, in this order.
#include "afxstr.h"
#include "host/sweep_record.h"

class OGRFeature;

// Called for every sweep, possibly on the service's own thread. Null is never meaningful but tolerated.
using RadarSweepCallback = void (*)(const SweepRecord* sweep);
// Called when the radar's state changed, possibly on the service's own thread.
using RadarChangeCallback = void (*)();

class SorVikRadar {
public:
  // A new feature with the radar's state (the caller destroys it), or null. `reserved` is 0.
  virtual OGRFeature* GetStateFeature(int reserved) = 0;
  // Applies the feature's values to the radar; 0 on success. `reserved` is 0.
  virtual int SetStateFeature(OGRFeature* feature, int reserved) = 0;
  // The current range value and range unit code; 0 on success, outputs untouched otherwise.
  virtual int GetCurrentRange(int* rangeValue, int* rangeUnit) = 0;
  // Trail time for the echo trails the radar produces; 0 turns trails off.
  virtual int SetTrailTime(int trailTime) = 0;
  // Callback registration; 0 on success. After a Remove… call returns, that callback is never called
  // again.
  virtual int AddSweepCallback(RadarSweepCallback callback) = 0;
  virtual int AddChangeCallback(RadarChangeCallback callback) = 0;
  virtual int RemoveSweepCallback(RadarSweepCallback callback) = 0;
  virtual int RemoveChangeCallback(RadarChangeCallback callback) = 0;
  // The range in nautical miles.
  virtual double RangeToDistance(int rangeValue, int rangeUnit) = 0;
  // Ring interval (in the range unit) and ring count for a range; false: no rings and no labels.
  virtual bool GetRingLayout(int rangeValue, int rangeUnit, float* ringInterval, int* ringCount) = 0;
  // 0, 1, 2 or 10 to 14 select a pulse label text; other codes mean no label.
  virtual int GetPulseLabelCode(int rangeValue, int pulse, int rangeUnit, int model) = 0;
  // The range as text, as a radar panel writes it: ".75", "1.5", "12".
  virtual void FormatRange(CString& text, int rangeValue) = 0;
  // Ring interval in nautical miles.
  virtual double GetRingInterval(int rangeValue, int rangeUnit) = 0;

protected:
  ~SorVikRadar() = default;
};

class VKSorVikAPI {
public:
  // Opens the radar; *imoMode is 1 for the type-approved mode. 0 on success; -5 and other values are
  // failures.
  virtual int Open(int* imoMode) = 0;
  // The radar interface; fetched anew before every radar call.
  virtual SorVikRadar* GetRadar() = 0;
  // Six identity strings; the second is the radar's name ("RADAR", "RADAR1", ...).
  virtual void GetRadarIdentity(CString& maker, CString& name, CString& model, CString& serial,
                                CString& software, CString& hardware) = 0;

protected:
  ~VKSorVikAPI() = default;
};

// Signature of the library's entry function.
using GetVKSorVikAPIFunction = VKSorVikAPI* (*)();
