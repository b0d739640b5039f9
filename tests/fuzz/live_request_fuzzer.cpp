// Requests to the live view's server as a browser, or anyone on the boat's network, might send them:
// any method, path and query, token and body. Whatever comes, the rules answer with a route or a
// refusal that says why, never hand on a body that is too large or a control without its right, and
// never point outside the page's own files.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "viewer/live/page_assets.h"
#include "viewer/live/request_rules.h"

namespace {

constexpr std::string_view kToken = "fuzz-token";
const char* const kMethods[] = {"GET", "POST", "DELETE", "PUT", "HEAD", "OPTIONS", "get", ""};

void Check(bool holds) {
  if (!holds) std::abort();
}

// The next part of the input up to a newline (or its end).
std::string_view Part(std::string_view& rest) {
  const std::size_t end = rest.find('\n');
  const std::string_view part = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
  return part;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::uint8_t flags = input.Byte();
  std::string_view rest(reinterpret_cast<const char*>(data) + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0);
  LiveRequest request;
  request.method = kMethods[flags & 7];
  request.fromLoopback = (flags & 8) != 0;
  request.target = Part(rest);
  request.tokenHeader = Part(rest);
  request.body = rest;

  const Route route = RouteRequest(request, kToken);
  switch (route.kind) {
    case RouteKind::kRefused:
      Check(route.status == 400 || route.status == 403 || route.status == 404 || route.status == 405 ||
            route.status == 413);
      Check(!route.error.empty());
      Check(!ErrorJson(route.error).empty());
      break;
    case RouteKind::kPage:
      Check(!FindPageAsset(route.page).body.empty());
      break;
    case RouteKind::kCommand: {
      Check(route.command.has_value());
      Check(request.body.size() <= kMaxBodyBytes);
      const bool tokenShown = request.tokenHeader == kToken ||
                              (request.tokenHeader.empty() && QueryValue(request.target, "token") == kToken);
      Check(request.fromLoopback || tokenShown);
      if (const auto* edit = std::get_if<RadarEdit>(&*route.command)) {
        Check(!edit->rangeIndex || (*edit->rangeIndex >= 0 && *edit->rangeIndex < kRangeIndexCount));
        Check(!edit->rangeStep || *edit->rangeStep == 1 || *edit->rangeStep == -1);
        Check(!edit->trailTime || *edit->trailTime == 0 || *edit->trailTime >= 15);
      }
      if (const auto* edit = std::get_if<ViewEdit>(&*route.command))
        Check(edit->viewId >= 1 && edit->viewId <= kMaxViewId);
      break;
    }
    case RouteKind::kState:
    case RouteKind::kLive:
    case RouteKind::kFrame:
      Check(request.method == "GET");
      break;
  }
  return 0;
}
