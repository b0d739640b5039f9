#include "overlays/transmitter_status.h"

TransmitterStatus ComputeTransmitterStatus(ModuleDataSorvik*, TransmitterTicks&) {
  // The radar raises no status yet: the echo picture is always shown.
  return {};
}
