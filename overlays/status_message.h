#pragma once
// The message a display shows in the middle of its view while the radar's status hides the echo picture.
class ChartView;
class ModuleDataSorvik;
struct TransmitterTicks;

// Draws the message of the status computed now (not the last polled one) on `view`; nothing for a
// status that raises no message.
void DrawStatusMessage(ChartView* view, ModuleDataSorvik* dataModule, TransmitterTicks& ticks);
