// The host's string resources: labels and status messages of the radar display.
#include "extensions/resource_table.h"

namespace {

using resource_table::StringResource;

constexpr StringResource kStrings[] = {
    // Pulse lengths.
    {5, "SP1"},
    {6, "SP2"},
    {7, "MP1"},
    {8, "MP2"},
    {9, "LP1"},
    // Antennas.
    {10, "RADOME 24IN"},
    {11, "RADOME 18IN"},
    {12, "OPEN ARRAY 3FT"},
    {13, "OPEN ARRAY 4FT"},
    {14, "OPEN ARRAY 6FT"},
    {15, "OPEN ARRAY 8FT"},
    {16, "OPEN ARRAY 12FT"},
    // The word radars are named with.
    {17, "RADAR"},
    // Transmitter status messages.
    {39013, "NO RADAR SIGNAL"},
    {39014, "RADAR OFF"},
    {39015, "RADAR STANDBY"},
    {39016, "RADAR NOT AVAILABLE"},
    {39017, "WARMING UP %s"},
    {39018, "WATCHMAN"},
    {39019, "NO HEADING"},
    {39020, "NAVIGATION DATA NOT VALID"},
    {39021, "RADAR SOURCE LOST"},
    // Radar states and layers.
    {39022, "TRANSMIT"},
    {39023, "STANDBY"},
    {39024, "ECHO TRAILS"},
    {39025, "RANGE RINGS"},
    // Pulse lengths.
    {39026, "LP"},
    {39027, "SP"},
    {39028, "MP"},
};

}  // namespace

SORVIK_RESOURCE_TABLE(kStrings);
