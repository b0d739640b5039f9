#pragma once
// Which request is which, and whether it may be served: the path, the method, the token, the size and
// the JSON of its body, checked before anything reaches the host. Knows nothing of sockets.
#include <optional>
#include <string>
#include <string_view>

#include "viewer/live/live_commands.h"

// Bodies larger than this are refused (413).
inline constexpr std::size_t kMaxBodyBytes = 4096;

struct LiveRequest {
  std::string_view method;  // "GET", "POST", ...
  std::string_view target;  // path and query as sent
  std::string_view body;
  std::string_view tokenHeader;  // X-Control-Token; empty when absent
  bool fromLoopback = false;
};

enum class RouteKind { kRefused, kPage, kState, kFrame, kLive, kCommand };

struct Route {
  RouteKind kind = RouteKind::kRefused;
  int status = 200;   // for kRefused: 400, 403, 404, 405 or 413
  std::string error;  // for kRefused: the reason, as the page shows it
  std::string_view page;  // kPage: the page file's name ("index.html", "app.js", "style.css")
  int viewId = 0;         // kFrame, and a command about one view
  std::optional<LiveCommand> command;
};

// What `request` asks for. `controlToken` is what a peer that is not on loopback must show to change
// anything; an empty token lets no such peer change anything.
Route RouteRequest(const LiveRequest& request, std::string_view controlToken);

// The value of `name` in the query of `target` ("...?a=1&token=x"), percent-decoded; empty when absent
// or malformed.
std::string QueryValue(std::string_view target, std::string_view name);

// The body of a refusal: {"error": reason}.
std::string ErrorJson(const std::string& reason);
