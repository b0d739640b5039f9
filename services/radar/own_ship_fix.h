#pragma once
// The own ship's navigation as the radar service last decoded it from a replayed capture, for the
// host's navigation source. The service library exports kReadOwnShipFixEntry, a ReadOwnShipFixFunction;
// the host finds it in the already loaded library. Plain C types: the record crosses a library boundary.
#include <stdint.h>

extern "C" {

enum : uint32_t {
  kOwnShipPositionValid = 1u << 0,
  kOwnShipHeadingValid = 1u << 1,
};

struct OwnShipFix {
  double latitudeDegrees;   // north positive; meaningful with kOwnShipPositionValid
  double longitudeDegrees;  // east positive; meaningful with kOwnShipPositionValid
  double headingDegrees;    // true heading 0 to 360; meaningful with kOwnShipHeadingValid
  uint32_t valid;           // kOwnShipPositionValid and kOwnShipHeadingValid
  uint32_t reserved;
  uint64_t updates;         // grows at every change of the fix, including its clearing
};

// Copies the latest fix to *fix (nothing for a null pointer). Callable from any thread.
typedef void (*ReadOwnShipFixFunction)(OwnShipFix* fix);
}

inline constexpr const char* kReadOwnShipFixEntry = "ReadOwnShipFix";
