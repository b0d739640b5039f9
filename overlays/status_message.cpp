#include "overlays/status_message.h"

void DrawStatusMessage(ChartView*, ModuleDataSorvik*, TransmitterTicks&) {
  // No status raises a message yet.
}
