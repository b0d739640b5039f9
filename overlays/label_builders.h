#pragma once
// The texts of the radar information labels and of the ring distances.
#include "afxstr.h"

class SorVikRadar;

// The range as the radar writes it, followed by "/": "0.75/".
CString FormatRangeLabel(SorVikRadar& radar, int rangeValue);

// The ring interval of the range as a distance in the user's unit.
CString FormatIntervalLabel(SorVikRadar& radar, int rangeValue, int rangeUnit);

// The pulse length text the radar selects for the range, pulse setting, unit and model; empty when the
// radar selects none or the resource library is missing.
CString GetPulseLabel(SorVikRadar& radar, int rangeValue, int pulse, int rangeUnit, int model);

// The antenna's text, empty when its resource is missing; "UNKNOWN" for a value without one.
CString GetAntennaLabel(int antenna);

// A distance held as an arc of the earth (radians), in the user's unit. Short distances are written
// with up to four decimals (`finer`), the rest with the formatter's own precision.
CString FormatDistanceLabel(double arc, bool finer);

// Distances below this, in the radar's range unit, get the finer format.
inline constexpr double kFinerDistanceBelow = 0.07;

// The word radars are named with in IMO mode, from the resource library; empty when it is missing.
CString LoadRadarWord();

// The radar's name in IMO mode: the service numbers radars "RADAR", "RADAR1", "RADAR2"...; they are
// shown as `word` numbered from 1. A name in neither form is shown as it is.
CString ImoRadarName(const CString& serviceName, const CString& word);
