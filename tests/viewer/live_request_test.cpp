#include "viewer/live/request_rules.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

constexpr const char* kToken = "s3cret";

struct Case {
  const char* name;
  const char* method;
  const char* target;
  std::string body;
  const char* tokenHeader;
  bool fromLoopback;
  int status;  // 200 for a route that is served, 202 for a command
};

// The case's name stands for it in the test's output.
void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::string Big(std::size_t bytes) { return "{\"echo_colour\": 1" + std::string(bytes, ' ') + "}"; }

const Case kCases[] = {
    // The page's own files, and nothing beside them.
    {"page", "GET", "/", "", "", false, 200},
    {"script", "GET", "/app.js", "", "", false, 200},
    {"style", "GET", "/style.css", "", "", false, 200},
    {"page by name", "GET", "/index.html", "", "", false, 404},
    {"climbing out", "GET", "/../../etc/passwd", "", "", true, 404},
    {"encoded climb", "GET", "/%2e%2e/%2e%2e/etc/passwd", "", "", true, 404},
    {"source file", "GET", "/app.js/../main.cpp", "", "", true, 404},
    {"absolute form", "GET", "http://host/app.js", "", "", true, 404},
    {"empty target", "GET", "", "", "", true, 404},
    {"page with query", "GET", "/?token=x", "", "", false, 200},
    {"posting the page", "POST", "/", "", "", true, 405},
    {"head", "HEAD", "/api/state", "", "", true, 405},
    {"state", "GET", "/api/state", "", "", false, 200},
    {"live", "GET", "/api/live", "", "", false, 200},
    {"frame", "GET", "/api/views/3/frame.png", "", "", false, 200},
    {"frame of view 0", "GET", "/api/views/0/frame.png", "", "", true, 404},
    {"frame of view 256", "GET", "/api/views/256/frame.png", "", "", true, 404},
    {"frame of view 01", "GET", "/api/views/01/frame.png", "", "", true, 404},
    {"frame of view -1", "GET", "/api/views/-1/frame.png", "", "", true, 404},
    {"frame of no view", "GET", "/api/views//frame.png", "", "", true, 404},
    {"deleting a frame", "DELETE", "/api/views/1/frame.png", "", "", true, 405},
    // Methods of the controls.
    {"reading the radar", "GET", "/api/radar", "", "", true, 405},
    {"putting a view", "PUT", "/api/views/1", "{}", "", true, 405},
    {"deleting every view", "DELETE", "/api/views", "", "", true, 405},
    // Who may change settings.
    {"loopback without token", "POST", "/api/radar", R"({"transmit": true})", "", true, 202},
    {"remote without token", "POST", "/api/radar", R"({"transmit": true})", "", false, 403},
    {"remote, token in header", "POST", "/api/radar", R"({"transmit": true})", kToken, false, 202},
    {"remote, wrong token", "POST", "/api/radar", R"({"transmit": true})", "s3cre", false, 403},
    {"remote, token in query", "POST", "/api/radar?token=s3cret", R"({"transmit": true})", "", false, 202},
    {"remote, token percent-coded", "POST", "/api/radar?a=1&token=s3cr%65t", "{}", "", false, 202},
    {"remote, bad percent code", "POST", "/api/radar?token=s3cr%6", "{}", "", false, 403},
    {"remote, wrong header beats query", "POST", "/api/radar?token=s3cret", "{}", "nope", false, 403},
    {"remote closing a view", "DELETE", "/api/views/2", "", "", false, 403},
    {"remote adding a view", "POST", "/api/views", "", "", false, 403},
    // Bodies.
    {"largest body", "POST", "/api/radar", Big(kMaxBodyBytes - 18), "", true, 202},
    {"body one byte too large", "POST", "/api/radar", Big(kMaxBodyBytes - 17), "", true, 413},
    {"not JSON", "POST", "/api/radar", "transmit=1", "", true, 400},
    {"cut short", "POST", "/api/radar", R"({"transmit": tr)", "", true, 400},
    {"an array", "POST", "/api/radar", R"([{"transmit": true}])", "", true, 400},
    {"a number", "POST", "/api/radar", "7", "", true, 400},
    {"empty body", "POST", "/api/radar", "", "", true, 202},
    {"a setting twice", "POST", "/api/radar", R"({"transmit": true, "transmit": false})", "", true, 400},
    {"transmit as an object", "POST", "/api/radar", R"({"transmit": {"a": 1, "a": 2}})", "", true, 400},
    {"trailing garbage", "POST", "/api/radar", R"({"transmit": true} x)", "", true, 400},
    // Values.
    {"unknown key", "POST", "/api/radar", R"({"transmit": true, "gain": 5})", "", true, 400},
    {"transmit as a number", "POST", "/api/radar", R"({"transmit": 1})", "", true, 400},
    {"range index", "POST", "/api/radar", R"({"range_index": 10})", "", true, 202},
    {"range index too large", "POST", "/api/radar", R"({"range_index": 11})", "", true, 400},
    {"range index negative", "POST", "/api/radar", R"({"range_index": -1})", "", true, 400},
    {"range index fraction", "POST", "/api/radar", R"({"range_index": 2.5})", "", true, 400},
    {"range index huge", "POST", "/api/radar", R"({"range_index": 18446744073709551615})", "", true, 400},
    {"range index as text", "POST", "/api/radar", R"({"range_index": "3"})", "", true, 400},
    {"range step down", "POST", "/api/radar", R"({"range_step": -1})", "", true, 202},
    {"range step of two", "POST", "/api/radar", R"({"range_step": 2})", "", true, 400},
    {"range step of zero", "POST", "/api/radar", R"({"range_step": 0})", "", true, 400},
    {"range index and step", "POST", "/api/radar", R"({"range_index": 3, "range_step": 1})", "", true, 400},
    {"echo colour 3", "POST", "/api/radar", R"({"echo_colour": 3})", "", true, 202},
    {"echo colour 4", "POST", "/api/radar", R"({"echo_colour": 4})", "", true, 400},
    {"trail colour none", "POST", "/api/radar", R"({"trail_colour": -1})", "", true, 202},
    {"trail colour -2", "POST", "/api/radar", R"({"trail_colour": -2})", "", true, 400},
    {"trails off", "POST", "/api/radar", R"({"trail_time": 0})", "", true, 202},
    {"trail of 14 s", "POST", "/api/radar", R"({"trail_time": 14})", "", true, 400},
    {"trail of 15 s", "POST", "/api/radar", R"({"trail_time": 15})", "", true, 202},
    {"shift", "POST", "/api/radar", R"({"shift_bearing": -45.5, "shift_distance": 0.25})", "", true, 202},
    {"shift bearing too far", "POST", "/api/radar", R"({"shift_bearing": 360.5})", "", true, 400},
    {"shift distance negative", "POST", "/api/radar", R"({"shift_distance": -0.1})", "", true, 400},
    {"shift distance huge", "POST", "/api/radar", R"({"shift_distance": 1e400})", "", true, 400},
    {"real time", "POST", "/api/radar", R"({"real_time": false})", "", true, 202},
    {"view layers", "POST", "/api/views/2", R"({"echo": false, "trails": true, "rings": false})", "", true, 202},
    {"view mode", "POST", "/api/views/2", R"({"mode": "dusk"})", "", true, 202},
    {"view mode unknown", "POST", "/api/views/2", R"({"mode": "noon"})", "", true, 400},
    {"view mode upper case", "POST", "/api/views/2", R"({"mode": "NIGHT"})", "", true, 400},
    {"view radar key", "POST", "/api/views/2", R"({"transmit": false})", "", true, 400},
    {"add view", "POST", "/api/views", "", "", true, 202},
    {"add view with {}", "POST", "/api/views", " {} ", "", true, 202},
    {"add view with settings", "POST", "/api/views", R"({"mode": "day"})", "", true, 400},
    {"close view", "DELETE", "/api/views/2", "", "", true, 202},
    {"close view with a body", "DELETE", "/api/views/2", R"({"echo": true})", "", true, 400},
};

class LiveRequestRules : public testing::TestWithParam<Case> {};

TEST_P(LiveRequestRules, AnswersAsTheContractSays) {
  const Case& c = GetParam();
  LiveRequest request;
  request.method = c.method;
  request.target = c.target;
  request.body = c.body;
  request.tokenHeader = c.tokenHeader;
  request.fromLoopback = c.fromLoopback;
  const Route route = RouteRequest(request, kToken);
  if (c.status == 200) {
    EXPECT_NE(route.kind, RouteKind::kRefused) << route.error;
    EXPECT_NE(route.kind, RouteKind::kCommand);
  } else if (c.status == 202) {
    EXPECT_EQ(route.kind, RouteKind::kCommand) << route.error;
    EXPECT_TRUE(route.command.has_value());
  } else {
    EXPECT_EQ(route.kind, RouteKind::kRefused);
    EXPECT_EQ(route.status, c.status);
    EXPECT_FALSE(route.error.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Table, LiveRequestRules, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<Case>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c; ++c)
                             name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                           return name;
                         });

// A remote peer can change nothing when the viewer has no token (it serves on loopback only).
TEST(LiveRequestRules, WithoutATokenNoRemotePeerControls) {
  LiveRequest request;
  request.method = "POST";
  request.target = "/api/radar?token=";
  request.body = "{}";
  EXPECT_EQ(RouteRequest(request, "").status, 403);
}

// What a command carries is what the body named, and nothing more.
TEST(LiveRequestRules, ACommandCarriesOnlyWhatWasNamed) {
  LiveRequest request;
  request.method = "POST";
  request.target = "/api/radar";
  request.body = R"({"shift_distance": 0.5, "range_step": -1})";
  request.fromLoopback = true;
  const Route route = RouteRequest(request, kToken);
  ASSERT_TRUE(route.command.has_value());
  const auto* edit = std::get_if<RadarEdit>(&*route.command);
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->shiftDistanceMiles, 0.5);
  EXPECT_EQ(edit->rangeStep, -1);
  EXPECT_FALSE(edit->transmit || edit->rangeIndex || edit->echoColour || edit->trailColour || edit->trailTime ||
               edit->realTime || edit->shiftBearingDegrees);

  request.target = "/api/views/7";
  request.body = R"({"rings": false})";
  const Route view = RouteRequest(request, kToken);
  const auto* viewEdit = std::get_if<ViewEdit>(&*view.command);
  ASSERT_NE(viewEdit, nullptr);
  EXPECT_EQ(viewEdit->viewId, 7);
  EXPECT_EQ(viewEdit->rings, false);
  EXPECT_FALSE(viewEdit->echo || viewEdit->trails || viewEdit->mode);
}

TEST(LiveRequestRules, ErrorBodiesAreJsonEvenForOddText) {
  EXPECT_EQ(ErrorJson("a \"quoted\"\nline"), R"({"error":"a \"quoted\"\nline"})");
  // Bytes that are not UTF-8 are replaced rather than ending the answer.
  EXPECT_NO_THROW(ErrorJson(std::string("bad \xff byte")));
}

}  // namespace
