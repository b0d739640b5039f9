// The server on loopback, spoken to as a browser does: HTTP requests and the WebSocket.
#include "viewer/live/live_server.h"

#include <gtest/gtest.h>

#include <utility>  // before asio: Boost 1.74's asio uses std::exchange without it

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <chrono>
#include <string>
#include <vector>

#include "viewer/live/control_queue.h"
#include "viewer/live/frame_hub.h"

namespace {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;

class LiveServerTest : public testing::Test {
protected:
  void SetUp() override {
    LiveState state;
    state.views.push_back({.id = 1, .width = 4, .height = 3});
    hub_.PublishState(state);
    Publish(7);
    hub_.Start();
    std::string error;
    ASSERT_TRUE(server_.Start(ServeAddress{"127.0.0.1", 0}, error)) << error;
  }
  void TearDown() override {
    server_.Stop();
    hub_.Stop();
  }

  void Publish(std::uint32_t number) {
    std::vector<std::uint32_t> pixels(12, 0xFF102030u + number);
    ViewSurface surface{reinterpret_cast<DWORD*>(pixels.data()), 4, 3, 16};
    hub_.Publish(1, number, surface);
  }

  http::response<http::string_body> Ask(http::verb method, const std::string& target, const std::string& body = "") {
    tcp::socket socket(context_);
    socket.connect(tcp::endpoint(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(server_.Port())));
    http::request<http::string_body> request(method, target, 11);
    request.set(http::field::host, "127.0.0.1");
    request.body() = body;
    if (!body.empty()) request.set(http::field::content_type, "application/json");
    request.prepare_payload();
    http::write(socket, request);
    beast::flat_buffer buffer;
    http::response<http::string_body> response;
    beast::error_code error;
    http::read(socket, buffer, response, error);
    return response;
  }

  websocket::stream<tcp::socket> Watch() {
    websocket::stream<tcp::socket> socket(context_);
    socket.next_layer().connect(
        tcp::endpoint(net::ip::make_address("127.0.0.1"), static_cast<unsigned short>(server_.Port())));
    socket.handshake("127.0.0.1", "/api/live");
    return socket;
  }

  net::io_context context_;
  FrameHub hub_;
  ControlQueue queue_;
  LiveServer server_{hub_, queue_, ""};
};

TEST_F(LiveServerTest, AnswersEachRequestAsTheRulesSay) {
  struct Case {
    http::verb method;
    const char* target;
    std::string body;
    int status;
    const char* type;
  };
  const Case cases[] = {
      {http::verb::get, "/", "", 200, "text/html; charset=utf-8"},
      {http::verb::get, "/app.js", "", 200, "text/javascript; charset=utf-8"},
      {http::verb::get, "/style.css", "", 200, "text/css; charset=utf-8"},
      {http::verb::get, "/api/state", "", 200, "application/json"},
      {http::verb::get, "/viewer/main.cpp", "", 404, "application/json"},
      {http::verb::post, "/api/radar", R"({"echo_colour": 1})", 202, "application/json"},
      {http::verb::post, "/api/radar", R"({"echo_colour": 9})", 400, "application/json"},
      {http::verb::post, "/api/radar", std::string(5000, ' '), 413, "application/json"},
      {http::verb::post, "/api/views/5", R"({"rings": false})", 404, "application/json"},
      {http::verb::delete_, "/api/views/1", "", 400, "application/json"},
      {http::verb::get, "/api/live", "", 400, "application/json"},
      {http::verb::get, "/api/views/2/frame.png", "", 404, "application/json"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(http::to_string(c.method)) + " " + c.target);
    const auto response = Ask(c.method, c.target, c.body);
    EXPECT_EQ(response.result_int(), c.status);
    EXPECT_EQ(response[http::field::content_type], c.type);
    if (c.status >= 400) {
      EXPECT_NE(response.body().find("\"error\""), std::string::npos) << response.body();
    }
  }
  const std::vector<LiveCommand> queued = queue_.TakeAll();
  ASSERT_EQ(queued.size(), 1u) << "only the one good edit reaches the host";
  EXPECT_EQ(std::get<RadarEdit>(queued[0]).echoColour, 1);
}

// Asked again, the same frame's PNG; once a new frame came, that frame's, never the one kept before.
TEST_F(LiveServerTest, ServesTheLatestFrameAsPngWithItsNumber) {
  Publish(8);
  const auto first = Ask(http::verb::get, "/api/views/1/frame.png");
  EXPECT_EQ(first.result_int(), 200);
  EXPECT_EQ(first["X-Frame"], "8");
  EXPECT_EQ(first.body().substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  EXPECT_EQ(Ask(http::verb::get, "/api/views/1/frame.png").body(), first.body());
  Publish(9);
  const auto next = Ask(http::verb::get, "/api/views/1/frame.png");
  EXPECT_EQ(next["X-Frame"], "9");
  EXPECT_NE(next.body(), first.body()) << "frame 9's pixels differ from frame 8's";
}

TEST_F(LiveServerTest, SaysBusyWhenTheHostIsBehind) {
  for (std::size_t i = 0; i < ControlQueue::kDefaultCapacity; ++i)
    ASSERT_EQ(Ask(http::verb::post, "/api/views").result_int(), 202);
  EXPECT_EQ(Ask(http::verb::post, "/api/views").result_int(), 503);
  EXPECT_EQ(queue_.TakeAll().size(), ControlQueue::kDefaultCapacity);
  EXPECT_EQ(Ask(http::verb::post, "/api/views").result_int(), 202);
}

// The state first, then the latest frame; a newer frame follows, and a client that never reads holds
// up nobody.
TEST_F(LiveServerTest, SendsTheStateAndThenEveryNewFrame) {
  websocket::stream<tcp::socket> stalled = Watch();
  websocket::stream<tcp::socket> socket = Watch();
  beast::flat_buffer buffer;
  socket.read(buffer);
  EXPECT_TRUE(socket.got_text());
  EXPECT_NE(beast::buffers_to_string(buffer.data()).find("\"views\""), std::string::npos);
  for (std::uint32_t expected : {7u, 9u}) {
    if (expected == 9u) {
      Publish(8);
      Publish(9);
    }
    std::string message;
    // The frame numbered `expected` comes (an older one may come first, never after it).
    for (int reads = 0; reads < 5; ++reads) {
      buffer.clear();
      socket.read(buffer);
      message = beast::buffers_to_string(buffer.data());
      if (!socket.got_text() && message.size() > kFrameHeaderBytes &&
          static_cast<unsigned char>(message[4]) == expected)
        break;
    }
    ASSERT_GT(message.size(), kFrameHeaderBytes);
    EXPECT_FALSE(socket.got_text());
    EXPECT_EQ(message[0], 1) << "view 1";
    EXPECT_EQ(message.substr(1, 4), std::string("\0\0\0", 3) + static_cast<char>(expected));
    EXPECT_EQ(message.substr(kFrameHeaderBytes + kTileHeaderBytes, 8), "\x89PNG\r\n\x1a\n");
  }
}

}  // namespace
