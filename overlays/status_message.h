#pragma once
// The message a display shows in the middle of its view while the radar's status hides the echo picture.
#include <cstdint>

#include "afxstr.h"

class ChartView;
struct OverlayInputs;
struct TransmitterStatus;
struct TransmitterTicks;

// The text of `status` from the host's resource library, which the caller has made the current resource
// source: for a warm-up the remaining time as minutes and seconds in the warm-up text. Empty for a status
// that raises no message, and for any text the library lacks.
CString StatusMessageText(const TransmitterStatus& status);

// Draws the message of the status computed now (not the last polled one; see ComputeTransmitterStatus
// for the arguments) on `view`; nothing for a status that raises no message.
void DrawStatusMessage(ChartView* view, const OverlayInputs* inputs, std::uint32_t lastSweepTick,
                       TransmitterTicks& ticks);

// Draws `text` in large bold letters, in a translucent framed box centred in `view`; nothing for an
// empty text or a view without a device context.
void DrawCentredMessage(ChartView* view, const char* text);
