#pragma once
// The live view's HTTP and WebSocket server: serves the page, the state and the frames from a FrameHub
// and hands the browsers' edits to the host through a ControlQueue. Runs on a thread of its own and never
// touches the module.
#include <memory>
#include <string>

#include "viewer/view_options.h"

class ControlQueue;
class FrameHub;

class LiveServer {
public:
  // `controlToken`: what peers that are not on loopback must show to change settings (empty: they
  // cannot).
  LiveServer(FrameHub& hub, ControlQueue& queue, std::string controlToken);
  ~LiveServer();
  LiveServer(const LiveServer&) = delete;
  LiveServer& operator=(const LiveServer&) = delete;

  // Listens on `address` and starts serving; false with the reason in `error` when it cannot listen.
  bool Start(const ServeAddress& address, std::string& error);
  // Closes every connection and ends the server's thread.
  void Stop();
  // The port listened on (the system's choice when port 0 was asked for).
  int Port() const;

  // The server's workings, shared by its sessions (live_server.cpp).
  class Core;

private:
  std::unique_ptr<Core> core_;
  bool stopped_ = false;
};
