#pragma once
// The messages the service has shown in this process, kept so that tests can check them.
#include <string>

#include "services/velihm/velihm_diagnostics.h"

void RecordShownMessage(const VelIHMShownMessage& message);
int ShownMessageCount();
bool GetShownMessage(int index, VelIHMShownMessage& message);
