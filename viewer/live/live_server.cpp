#include "viewer/live/live_server.h"

// Boost 1.74's asio uses std::exchange without including its header.
#include <utility>

#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "viewer/live/control_queue.h"
#include "viewer/live/frame_hub.h"
#include "viewer/live/page_assets.h"
#include "viewer/live/request_rules.h"
#include "viewer/outputs/png_file.h"

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
using tcp = net::ip::tcp;

namespace {

// A request must arrive whole within this time; a connection idle this long between requests is closed.
constexpr std::chrono::seconds kRequestTime(30);
// Request lines and headers larger than this are refused.
constexpr std::uint32_t kMaxHeaderBytes = 8192;
// Messages from the page are not expected; anything larger than this closes its WebSocket.
constexpr std::size_t kMaxIncomingMessage = 4096;

using Request = http::request<http::string_body>;
using Response = http::response<http::string_body>;

Response MakeResponse(const Request& request, http::status status, std::string body, std::string_view type) {
  Response response(status, request.version());
  response.set(http::field::server, "sorvik-viewer");
  response.set(http::field::content_type, beast::string_view(type.data(), type.size()));
  response.set(http::field::cache_control, "no-store");
  response.set("X-Content-Type-Options", "nosniff");
  response.keep_alive(request.keep_alive());
  response.body() = std::move(body);
  response.prepare_payload();
  return response;
}

Response JsonResponse(const Request& request, http::status status, std::string body) {
  return MakeResponse(request, status, std::move(body), "application/json");
}

Response Refusal(const Request& request, int status, const std::string& reason) {
  return JsonResponse(request, static_cast<http::status>(status), ErrorJson(reason));
}

}  // namespace

// What the sessions share: the hub, the queue, the token and the list of WebSockets to wake.
class LiveServer::Core {
public:
  Core(FrameHub& hub, ControlQueue& queue, std::string token)
      : hub_(hub), queue_(queue), token_(std::move(token)), acceptor_(context_) {}

  bool Listen(const ServeAddress& address, std::string& error);
  void Run() { thread_ = std::thread([this] { context_.run(); }); }
  void Stop();
  int Port() const { return port_; }

  FrameHub& Hub() { return hub_; }
  Route RouteOf(const LiveRequest& request) const { return RouteRequest(request, token_); }
  Response Answer(const Request& request, const Route& route);
  // Answers a request for a view's latest frame as PNG: encoded on the picture worker, never on the
  // server's thread (where it would hold up every WebSocket for the encoding's time), and kept for the
  // requests of the same frame. `answer` is called on the worker.
  void AnswerFramePng(const Request& request, int viewId, std::function<void(Response)> answer);
  void AddSocket(const std::shared_ptr<class LiveSocket>& socket);
  void WakeSockets();

private:
  void Accept();
  Response AnswerCommand(const Request& request, const Route& route);

  FrameHub& hub_;
  ControlQueue& queue_;
  const std::string token_;
  net::io_context context_;
  tcp::acceptor acceptor_;
  std::thread thread_;
  int port_ = 0;
  // The WebSockets to wake, on the server's thread only.
  std::vector<std::weak_ptr<class LiveSocket>> sockets_;
  // Set while a wake-up is posted and not yet run, so that a burst of frames posts one.
  std::atomic<bool> wakePosted_{false};
  // Each view's last PNG and the frame it was encoded from (held, so that its buffer is not filled again
  // while it stands for that PNG).
  struct EncodedPng {
    std::shared_ptr<const RawFrame> frame;
    std::shared_ptr<const std::string> png;
  };
  std::mutex pngsMutex_;
  std::map<int, EncodedPng> pngs_;
  net::thread_pool pictureWorker_{1};
};

// One browser's WebSocket: the state at start and on every change, and the latest frame of every view
// (its tiles that changed since the frame sent before), one message in flight at a time.
class LiveSocket : public std::enable_shared_from_this<LiveSocket> {
public:
  LiveSocket(tcp::socket socket, LiveServer::Core& core) : stream_(std::move(socket)), core_(core) {}
  ~LiveSocket() {
    if (watching_) core_.Hub().RemoveWatcher();
  }

  void Open(Request request) {
    stream_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
    stream_.read_message_max(kMaxIncomingMessage);
    stream_.async_accept(request, [self = shared_from_this()](beast::error_code error) {
      if (error) return;
      self->watching_ = true;
      self->core_.Hub().AddWatcher();
      self->core_.AddSocket(self);
      self->Read();
      self->Pump();
    });
  }

  // Sends what is newer than what was sent, unless a message is on its way.
  void Pump() {
    if (writing_ || closed_) return;
    FrameHub& hub = core_.Hub();
    const std::uint64_t version = hub.StateVersion();
    if (version != sentState_) {
      sentState_ = version;
      text_ = std::make_shared<const std::string>(hub.StateJson());
      stream_.text(true);
      Write(net::buffer(*text_), text_);
      return;
    }
    const std::vector<int> ids = hub.ViewIds();
    for (std::size_t step = 0; step < ids.size(); ++step) {
      // Round the views in turn, so that one busy view cannot starve the others.
      const int id = ids[(next_ + step) % ids.size()];
      const std::shared_ptr<const EncodedFrame> frame = hub.LatestEncoded(id);
      std::uint64_t& held = heldFrames_[id];
      if (!frame || frame->serial <= held) continue;
      // The tiles that changed since the frame this browser holds bring it to the latest.
      auto message = std::make_shared<const std::string>(FrameMessage(id, *frame, held));
      held = frame->serial;
      next_ = (next_ + step + 1) % ids.size();
      stream_.binary(true);
      const net::const_buffer buffer = net::buffer(*message);
      Write(buffer, std::move(message));
      return;
    }
  }

private:
  template <typename Keep>
  void Write(net::const_buffer buffer, Keep keep) {
    writing_ = true;
    stream_.async_write(buffer, [self = shared_from_this(), keep](beast::error_code error, std::size_t) {
      self->writing_ = false;
      if (error) {
        self->closed_ = true;
        return;
      }
      self->Pump();
    });
  }

  void Read() {
    stream_.async_read(incoming_, [self = shared_from_this()](beast::error_code error, std::size_t) {
      if (error) {
        self->closed_ = true;
        return;
      }
      // The page sends nothing the server acts on.
      self->incoming_.consume(self->incoming_.size());
      self->Read();
    });
  }

  websocket::stream<beast::tcp_stream> stream_;
  LiveServer::Core& core_;
  beast::flat_buffer incoming_;
  bool watching_ = false;
  bool writing_ = false;
  bool closed_ = false;
  std::uint64_t sentState_ = 0;
  std::map<int, std::uint64_t> heldFrames_;  // the serial of each view's frame the browser was sent last
  std::size_t next_ = 0;
  std::shared_ptr<const std::string> text_;
};

namespace {

// One HTTP connection: requests in turn, until it closes or asks for the WebSocket.
class HttpSession : public std::enable_shared_from_this<HttpSession> {
public:
  HttpSession(tcp::socket socket, LiveServer::Core& core) : stream_(std::move(socket)), core_(core) {
    beast::error_code ignored;
    const tcp::endpoint peer = stream_.socket().remote_endpoint(ignored);
    fromLoopback_ = !ignored && peer.address().is_loopback();
  }

  void Start() { ReadRequest(); }

private:
  void ReadRequest() {
    parser_.emplace();
    parser_->header_limit(kMaxHeaderBytes);
    parser_->body_limit(kMaxBodyBytes);
    stream_.expires_after(kRequestTime);
    http::async_read(stream_, buffer_, *parser_, [self = shared_from_this()](beast::error_code error, std::size_t) {
      self->OnRequest(error);
    });
  }

  void OnRequest(beast::error_code error) {
    if (error == http::error::end_of_stream || error == beast::error::timeout || error == net::error::eof ||
        error == net::error::connection_reset || error == net::error::operation_aborted)
      return Close();
    if (error) {
      // What cannot be read as a request is answered once, and the connection closed.
      Request request;
      request.version(11);
      request.keep_alive(false);
      if (error == http::error::body_limit)
        return Send(Refusal(request, 413, "the body is larger than 4096 bytes"));
      return Send(Refusal(request, 400, "the request cannot be read"));
    }
    Request request = parser_->release();
    LiveRequest asked;
    asked.method = std::string_view(request.method_string().data(), request.method_string().size());
    asked.target = std::string_view(request.target().data(), request.target().size());
    asked.body = request.body();
    const auto header = request.find("X-Control-Token");
    if (header != request.end()) asked.tokenHeader = std::string_view(header->value().data(), header->value().size());
    asked.fromLoopback = fromLoopback_;
    const Route route = core_.RouteOf(asked);
    if (route.kind == RouteKind::kFrame) {
      // Answered on the server's thread once the worker has the picture.
      return core_.AnswerFramePng(request, route.viewId, [self = shared_from_this()](Response response) mutable {
        net::post(self->stream_.get_executor(),
                  [self, response = std::move(response)]() mutable { self->Send(std::move(response)); });
      });
    }
    if (route.kind != RouteKind::kLive) return Send(core_.Answer(request, route));
    if (!websocket::is_upgrade(request)) return Send(Refusal(request, 400, "/api/live is a WebSocket"));
    // The connection becomes the WebSocket: no more HTTP requests are read from it.
    stream_.expires_never();
    std::make_shared<LiveSocket>(stream_.release_socket(), core_)->Open(std::move(request));
  }

  void Send(Response response) {
    auto held = std::make_shared<Response>(std::move(response));
    const bool close = !held->keep_alive();
    http::async_write(stream_, *held, [self = shared_from_this(), held, close](beast::error_code error, std::size_t) {
      if (error || close) return self->Close();
      self->ReadRequest();
    });
  }

  void Close() {
    beast::error_code ignored;
    stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
  }

  beast::tcp_stream stream_;
  LiveServer::Core& core_;
  beast::flat_buffer buffer_;
  std::optional<http::request_parser<http::string_body>> parser_;
  bool fromLoopback_ = false;
};

}  // namespace

bool LiveServer::Core::Listen(const ServeAddress& address, std::string& error) {
  beast::error_code failure;
  const net::ip::address host = net::ip::make_address(address.host, failure);
  if (failure) {
    error = "cannot serve on " + address.host + ": not an address";
    return false;
  }
  const tcp::endpoint endpoint(host, static_cast<unsigned short>(address.port));
  const auto failed = [&](const char* what) {
    error = std::string("cannot serve on ") + address.host + ":" + std::to_string(address.port) + ": " + what +
            ": " + failure.message();
    return false;
  };
  if (acceptor_.open(endpoint.protocol(), failure)) return failed("open");
  if (acceptor_.set_option(net::socket_base::reuse_address(true), failure)) return failed("reuse");
  if (acceptor_.bind(endpoint, failure)) return failed("bind");
  if (acceptor_.listen(net::socket_base::max_listen_connections, failure)) return failed("listen");
  port_ = acceptor_.local_endpoint(failure).port();
  Accept();
  return true;
}

void LiveServer::Core::Accept() {
  // The handlers keep no hold on the core: it outlives the server's thread, which Stop ends.
  acceptor_.async_accept(context_, [this](beast::error_code error, tcp::socket socket) {
    if (error == net::error::operation_aborted || !acceptor_.is_open()) return;
    if (!error) std::make_shared<HttpSession>(std::move(socket), *this)->Start();
    Accept();
  });
}

void LiveServer::Core::Stop() {
  // The worker first: what it still answers is posted to a context that runs no more. The thread ends
  // at once; the connections close with the core, which outlives no handler of theirs.
  pictureWorker_.stop();
  pictureWorker_.join();
  context_.stop();
  if (thread_.joinable()) thread_.join();
}

void LiveServer::Core::AddSocket(const std::shared_ptr<LiveSocket>& socket) {
  std::erase_if(sockets_, [](const std::weak_ptr<LiveSocket>& held) { return held.expired(); });
  sockets_.push_back(socket);
}

void LiveServer::Core::WakeSockets() {
  if (wakePosted_.exchange(true)) return;
  net::post(context_, [this] {
    wakePosted_ = false;
    for (const std::weak_ptr<LiveSocket>& held : sockets_)
      if (const auto socket = held.lock()) socket->Pump();
  });
}

Response LiveServer::Core::Answer(const Request& request, const Route& route) {
  switch (route.kind) {
    case RouteKind::kRefused: return Refusal(request, route.status, route.error);
    case RouteKind::kPage: {
      const PageAsset asset = FindPageAsset(route.page);
      if (asset.body.empty()) return Refusal(request, 404, "not found");
      return MakeResponse(request, http::status::ok, std::string(asset.body), asset.contentType);
    }
    case RouteKind::kState: return JsonResponse(request, http::status::ok, hub_.StateJson());
    case RouteKind::kFrame: break;  // answered by AnswerFramePng, off this thread
    case RouteKind::kCommand: return AnswerCommand(request, route);
    case RouteKind::kLive: break;
  }
  return Refusal(request, 404, "not found");
}

void LiveServer::Core::AnswerFramePng(const Request& request, int viewId, std::function<void(Response)> answer) {
  net::post(pictureWorker_, [this, request, viewId, answer = std::move(answer)] {
    const std::shared_ptr<const RawFrame> frame = hub_.LatestRaw(viewId);
    if (!frame) return answer(Refusal(request, 404, "no such view, or it has not been drawn yet"));
    std::shared_ptr<const std::string> png;
    {
      const std::lock_guard lock(pngsMutex_);
      const auto found = pngs_.find(viewId);
      if (found != pngs_.end() && found->second.frame == frame) png = found->second.png;
    }
    if (!png) {
      std::string encoded, error;
      if (!EncodePng(frame->Surface(), encoded, error)) return answer(Refusal(request, 500, error));
      png = std::make_shared<const std::string>(std::move(encoded));
      const std::vector<int> open = hub_.ViewIds();
      const std::lock_guard lock(pngsMutex_);
      // The PNGs of views closed since are let go with the frames they hold.
      std::erase_if(pngs_, [&](const auto& kept) {
        return std::find(open.begin(), open.end(), kept.first) == open.end();
      });
      pngs_[viewId] = {frame, png};
    }
    Response response = MakeResponse(request, http::status::ok, *png, "image/png");
    response.set("X-Frame", std::to_string(frame->number));
    answer(std::move(response));
  });
}

Response LiveServer::Core::AnswerCommand(const Request& request, const Route& route) {
  const std::vector<int> ids = hub_.ViewIds();
  if (route.viewId != 0 && std::find(ids.begin(), ids.end(), route.viewId) == ids.end())
    return Refusal(request, 404, "no view " + std::to_string(route.viewId));
  if (std::holds_alternative<CloseView>(*route.command) && ids.size() <= 1)
    return Refusal(request, 400, "the last view cannot be closed");
  if (std::holds_alternative<AddView>(*route.command) && ids.size() >= static_cast<std::size_t>(kMaxViews))
    return Refusal(request, 400, "there are " + std::to_string(kMaxViews) + " views already, the most there can be");
  if (!queue_.TryPush(*route.command))
    return Refusal(request, 503, "the viewer is busy with earlier requests; try again");
  return JsonResponse(request, http::status::accepted, R"({"queued": true})");
}

LiveServer::LiveServer(FrameHub& hub, ControlQueue& queue, std::string controlToken)
    : core_(std::make_unique<Core>(hub, queue, std::move(controlToken))) {}

LiveServer::~LiveServer() { Stop(); }

bool LiveServer::Start(const ServeAddress& address, std::string& error) {
  if (!core_->Listen(address, error)) return false;
  core_->Hub().SetListener([core = core_.get()] { core->WakeSockets(); });
  core_->Run();
  return true;
}

void LiveServer::Stop() {
  if (stopped_) return;
  stopped_ = true;
  core_->Hub().SetListener(nullptr);
  core_->Stop();
}

int LiveServer::Port() const { return core_->Port(); }
