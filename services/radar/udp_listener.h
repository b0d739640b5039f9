#pragma once
// A UDP socket that only listens: it joins a multicast group on one interface, or binds a unicast address,
// with a receive buffer large enough for several seconds of a radar's spokes. Receiving never blocks
// without a bound: the caller waits with a timeout and then takes what is waiting.
#include <netinet/in.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "services/radar/ipv4_endpoint.h"

namespace radarsim {

struct ListenSettings {
  Ipv4Endpoint endpoint;          // a multicast group, or a unicast address of this machine, and the port
  std::string interface;          // the group's interface: an address or a name; empty: the default route's
  std::optional<std::uint32_t> sender;  // only datagrams from this address are taken
};

// The request that joins `group` on `interface` (an address, a name, or empty for the interface the
// routing table gives the group); none with the reason in `error` for an unknown interface name.
std::optional<ip_mreqn> MembershipRequest(std::uint32_t group, const std::string& interface, std::string& error);

// The receive buffer the listener asks for: about ten seconds of spokes at a radar's highest rate.
inline constexpr int kListenReceiveBufferBytes = 8 * 1024 * 1024;

class UdpListener {
public:
  // Null with a one-line reason in `error` when the socket cannot be set up.
  static std::unique_ptr<UdpListener> Open(const ListenSettings& settings, std::string& error);
  ~UdpListener();
  UdpListener(const UdpListener&) = delete;
  UdpListener& operator=(const UdpListener&) = delete;

  // True when a datagram is waiting, after waiting at most `timeout` for one.
  bool Wait(std::chrono::milliseconds timeout) const;
  // Takes one waiting datagram into `buffer` (a longer one is cut, and its size tells so) without blocking;
  // none when nothing is waiting. `foreign` tells a datagram from a sender other than the chosen one.
  struct Received {
    std::size_t size = 0;   // the datagram's whole size, even when more than the buffer
    bool foreign = false;
  };
  std::optional<Received> Receive(std::span<std::uint8_t> buffer) const;
  // Throws away everything waiting.
  void Drain() const;

  int Descriptor() const { return socket_; }

private:
  UdpListener(int socket, std::optional<std::uint32_t> sender) : socket_(socket), sender_(sender) {}

  const int socket_;
  const std::optional<std::uint32_t> sender_;
};

}  // namespace radarsim
