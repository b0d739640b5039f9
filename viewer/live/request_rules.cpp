#include "viewer/live/request_rules.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

namespace {

using Json = nlohmann::json;

Route Refuse(int status, std::string reason) {
  Route route;
  route.status = status;
  route.error = std::move(reason);
  return route;
}

Route Ok(RouteKind kind) {
  Route route;
  route.kind = kind;
  return route;
}

// "N" with N from 1 to kMaxViewId, written without sign or leading zero; 0 otherwise.
int ViewIdOf(std::string_view text) {
  if (text.empty() || text.size() > 3 || text[0] == '0') return 0;
  int id = 0;
  const auto [stop, status] = std::from_chars(text.data(), text.data() + text.size(), id);
  if (status != std::errc() || stop != text.data() + text.size() || id < 1 || id > kMaxViewId) return 0;
  return id;
}

// Compares without stopping at the first difference, so that the time taken says nothing of the token.
bool SameToken(std::string_view given, std::string_view expected) {
  if (given.size() != expected.size()) return false;
  unsigned difference = 0;
  for (std::size_t i = 0; i < given.size(); ++i)
    difference |= static_cast<unsigned char>(given[i]) ^ static_cast<unsigned char>(expected[i]);
  return difference == 0;
}

bool MayControl(const LiveRequest& request, std::string_view token) {
  if (request.fromLoopback) return true;
  if (token.empty()) return false;
  if (!request.tokenHeader.empty()) return SameToken(request.tokenHeader, token);
  return SameToken(QueryValue(request.target, "token"), token);
}

// The body as a JSON object; an empty body is an empty object. False with the reason otherwise.
bool BodyObject(std::string_view body, Json& object, std::string& error) {
  if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) {
    object = Json::object();
    return true;
  }
  // A setting named twice is ambiguous: refused rather than taken by whichever came last.
  std::set<std::string> keys;
  bool twice = false;
  const Json::parser_callback_t noteKeys = [&](int depth, Json::parse_event_t event, Json& parsed) {
    if (depth == 1 && event == Json::parse_event_t::key && !keys.insert(parsed.get<std::string>()).second)
      twice = true;
    return true;
  };
  object = Json::parse(body, noteKeys, false);
  if (object.is_discarded()) {
    error = "the body is not JSON";
    return false;
  }
  if (twice) {
    error = "a setting is named twice";
    return false;
  }
  if (!object.is_object()) {
    error = "the body is not a JSON object";
    return false;
  }
  return true;
}

// Reads the fields of one JSON object, each at most once, and refuses what it does not know.
class FieldReader {
public:
  explicit FieldReader(const Json& object) : object_(object) {}

  bool Bool(const char* name, std::optional<bool>& out) {
    const Json* value = Find(name);
    if (!value) return ok_;
    if (!value->is_boolean()) return Fail(std::string(name) + " must be true or false");
    out = value->get<bool>();
    return ok_;
  }
  // An integer from `low` to `high`; `also` is one more value allowed outside them.
  bool Integer(const char* name, int low, int high, std::optional<int>& out, std::optional<int> also = {}) {
    const Json* value = Find(name);
    if (!value) return ok_;
    const std::string range = std::to_string(low) + " to " + std::to_string(high);
    if (!value->is_number_integer())
      return Fail(std::string(name) + " must be a whole number from " + range);
    // Unsigned values beyond the signed range are out of every range asked for.
    const bool huge = value->is_number_unsigned() && value->get<unsigned long long>() > (1ull << 62);
    const long long number = huge ? static_cast<long long>(high) + 1 : value->get<long long>();
    if (!((number >= low && number <= high) || (also && number == *also)))
      return Fail(std::string(name) + " must be from " + range + (also ? " or " + std::to_string(*also) : ""));
    out = static_cast<int>(number);
    return ok_;
  }
  bool Real(const char* name, double low, double high, std::optional<double>& out) {
    const Json* value = Find(name);
    if (!value) return ok_;
    const double number = value->is_number() ? value->get<double>() : NAN;
    if (!std::isfinite(number) || number < low || number > high) {
      char text[160];
      std::snprintf(text, sizeof text, "%s must be a number from %g to %g", name, low, high);
      return Fail(text);
    }
    out = number;
    return ok_;
  }
  bool Mode(const char* name, std::optional<LightMode>& out) {
    const Json* value = Find(name);
    if (!value) return ok_;
    const std::string text = value->is_string() ? value->get<std::string>() : std::string();
    if (text == "day") out = LightMode::kDay;
    else if (text == "dusk") out = LightMode::kDusk;
    else if (text == "night") out = LightMode::kNight;
    else return Fail(std::string(name) + " must be \"day\", \"dusk\" or \"night\"");
    return ok_;
  }
  // After every field was asked for: false when the object holds one that was not.
  bool Finish(std::string& error) {
    if (ok_ && read_ != object_.size()) {
      for (const auto& [key, ignored] : object_.items()) {
        if (!asked_.count(key)) {
          error_ = "unknown setting: " + Printable(key);
          break;
        }
      }
      ok_ = false;
    }
    error = error_;
    return ok_;
  }

private:
  const Json* Find(const char* name) {
    asked_.insert(name);
    if (!ok_) return nullptr;
    const auto found = object_.find(name);
    if (found == object_.end()) return nullptr;
    ++read_;
    return &*found;
  }
  bool Fail(std::string reason) {
    if (ok_) error_ = std::move(reason);
    ok_ = false;
    return false;
  }
  // A key as the reason shows it: cut short, control characters replaced.
  static std::string Printable(const std::string& key) {
    std::string text = key.substr(0, 40);
    for (char& c : text)
      if (static_cast<unsigned char>(c) < 0x20) c = '?';
    return text;
  }

  const Json& object_;
  bool ok_ = true;
  std::size_t read_ = 0;
  std::set<std::string> asked_;
  std::string error_;
};

bool ReadRadarEdit(const Json& object, RadarEdit& edit, std::string& error) {
  FieldReader fields(object);
  fields.Bool("transmit", edit.transmit);
  fields.Integer("range_index", 0, kRangeIndexCount - 1, edit.rangeIndex);
  fields.Integer("range_step", 1, 1, edit.rangeStep, -1);
  fields.Integer("echo_colour", 0, 3, edit.echoColour);
  fields.Integer("trail_colour", -1, 2, edit.trailColour);
  // The radar takes no trail shorter than 15 seconds; 0 turns trails off.
  fields.Integer("trail_time", 15, 32767, edit.trailTime, 0);
  fields.Bool("real_time", edit.realTime);
  fields.Real("shift_bearing", -360.0, 360.0, edit.shiftBearingDegrees);
  fields.Real("shift_distance", 0.0, 100.0, edit.shiftDistanceMiles);
  if (!fields.Finish(error)) return false;
  if (edit.rangeIndex && edit.rangeStep) {
    error = "range_index and range_step cannot go together";
    return false;
  }
  return true;
}

bool ReadViewEdit(const Json& object, ViewEdit& edit, std::string& error) {
  FieldReader fields(object);
  fields.Bool("echo", edit.echo);
  fields.Bool("trails", edit.trails);
  fields.Bool("rings", edit.rings);
  fields.Mode("mode", edit.mode);
  return fields.Finish(error);
}

// The route of a control request once its path and method are known.
Route Control(const LiveRequest& request, std::string_view token, const std::string_view path, int viewId) {
  if (!MayControl(request, token))
    return Refuse(403, "changing settings from another machine needs the control token");
  if (request.body.size() > kMaxBodyBytes) return Refuse(413, "the body is larger than 4096 bytes");
  Json object;
  std::string error;
  Route route = Ok(RouteKind::kCommand);
  route.viewId = viewId;
  if (request.method == "DELETE") {
    if (!BodyObject(request.body, object, error) || !object.empty())
      return Refuse(400, error.empty() ? "closing a view takes no body" : error);
    route.command = CloseView{viewId};
    return route;
  }
  if (!BodyObject(request.body, object, error)) return Refuse(400, error);
  if (path == "/api/radar") {
    RadarEdit edit;
    if (!ReadRadarEdit(object, edit, error)) return Refuse(400, error);
    route.command = edit;
  } else if (viewId == 0) {
    if (!object.empty()) return Refuse(400, "adding a view takes no settings");
    route.command = AddView{};
  } else {
    ViewEdit edit;
    edit.viewId = viewId;
    if (!ReadViewEdit(object, edit, error)) return Refuse(400, error);
    route.command = edit;
  }
  return route;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string QueryValue(std::string_view target, std::string_view name) {
  const std::size_t question = target.find('?');
  if (question == std::string_view::npos) return {};
  std::string_view query = target.substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
    const std::size_t equals = pair.find('=');
    if (equals == std::string_view::npos || pair.substr(0, equals) != name) continue;
    std::string value;
    const std::string_view coded = pair.substr(equals + 1);
    for (std::size_t i = 0; i < coded.size(); ++i) {
      if (coded[i] != '%') {
        value += coded[i] == '+' ? ' ' : coded[i];
        continue;
      }
      if (i + 2 >= coded.size()) return {};
      const int a = HexDigit(coded[i + 1]), b = HexDigit(coded[i + 2]);
      if (a < 0 || b < 0) return {};
      value += static_cast<char>(a * 16 + b);
      i += 2;
    }
    return value;
  }
  return {};
}

std::string ErrorJson(const std::string& reason) {
  return Json{{"error", reason}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Route RouteRequest(const LiveRequest& request, std::string_view controlToken) {
  const std::string_view path = request.target.substr(0, request.target.find('?'));
  const bool get = request.method == "GET";
  const auto only = [&](bool allowed, RouteKind kind) {
    return allowed ? Ok(kind) : Refuse(405, "method not allowed");
  };
  if (path == "/" || path == "/app.js" || path == "/style.css") {
    Route route = only(get, RouteKind::kPage);
    route.page = path == "/" ? std::string_view("index.html") : path.substr(1);
    return route;
  }
  if (path == "/api/state") return only(get, RouteKind::kState);
  if (path == "/api/live") return only(get, RouteKind::kLive);
  if (path == "/api/radar") {
    if (request.method != "POST") return Refuse(405, "method not allowed");
    return Control(request, controlToken, path, 0);
  }
  if (path == "/api/views") {
    if (request.method != "POST") return Refuse(405, "method not allowed");
    return Control(request, controlToken, path, 0);
  }
  constexpr std::string_view kViews = "/api/views/";
  if (path.substr(0, kViews.size()) != kViews) return Refuse(404, "not found");
  std::string_view rest = path.substr(kViews.size());
  constexpr std::string_view kFrame = "/frame.png";
  const bool frame = rest.size() > kFrame.size() && rest.substr(rest.size() - kFrame.size()) == kFrame;
  if (frame) rest = rest.substr(0, rest.size() - kFrame.size());
  const int viewId = ViewIdOf(rest);
  if (viewId == 0) return Refuse(404, "not found");
  if (frame) {
    Route route = only(get, RouteKind::kFrame);
    route.viewId = viewId;
    return route;
  }
  if (request.method != "POST" && request.method != "DELETE") return Refuse(405, "method not allowed");
  return Control(request, controlToken, path, viewId);
}
