#include "overlays/status_message.h"

#include <gdiplus.h>

#include "afxwin.h"
#include "atltime.h"
#include "host/chart_view.h"
#include "host/gen_data.h"
#include "module/resource_library.h"
#include "overlays/text_argument.h"
#include "overlays/text_drawing.h"
#include "overlays/transmitter_status.h"

namespace {

constexpr std::int32_t kMessageSize = 50;  // pixels
constexpr UINT kWarmingUpText = 39017;     // takes the remaining time as its one text argument

// The resource text of each code that has a fixed message; 0 for none.
UINT FixedMessageId(std::int32_t code) {
  switch (code) {
    case kStatusNoSweeps: return 39013;
    case kStatusOff: return 39014;
    case kStatusStandby: return 39015;
    case kStatusNotAvailable: return 39016;
    case kStatusWatchman: return 39018;
    case kStatusNoHeading: return 39019;
    case kStatusNavigationNotValid: return 39020;
    case kStatusSourceLost: return 39021;
    default: return 0;
  }
}

CString WarmingUpText(std::int32_t seconds) {
  _GenData::CDuree remaining;
  remaining.SetValue(ATL::CTimeSpan(static_cast<std::int64_t>(seconds)));
  _GenData::CFormat format;
  format.SetProprieteDuree(_GenData::CFormat::kDurationMinutesSeconds);
  CString pattern;
  pattern.LoadString(kWarmingUpText);
  return FormatTextArgument(pattern, remaining.ToString(format));
}

}  // namespace

CString StatusMessageText(const TransmitterStatus& status) {
  if (status.code == kStatusWarmingUp) return WarmingUpText(status.value);
  CString text;
  if (const UINT id = FixedMessageId(status.code); id != 0) text.LoadString(id);
  return text;
}

void DrawStatusMessage(ChartView* view, const OverlayInputs* inputs, std::uint32_t lastSweepTick,
                       TransmitterTicks& ticks) {
  if (view == nullptr || view->GetViewDC(0) == nullptr) return;
  const ResourceLibraryScope resources;
  const CString message = StatusMessageText(ComputeTransmitterStatus(inputs, lastSweepTick, ticks));
  if (!message.IsEmpty()) DrawCentredMessage(view, message);
}

void DrawCentredMessage(ChartView* view, const char* text) {
  if (view == nullptr || text == nullptr || *text == '\0') return;
  CDC* dc = view->GetViewDC(0);
  if (dc == nullptr) return;
  Gdiplus::Graphics surface(dc->GetSafeHdc());
  const ViewSize size = view->GetViewSize();
  const Gdiplus::PointF centre(static_cast<float>(size.width / 2), static_cast<float>(size.height / 2));
  DrawCentredLabel(&surface, text, centre, kMessageSize);
}
