#include "services/radar/udp_listener.h"

#include <arpa/inet.h>
#include <net/if.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

namespace radarsim {
namespace {

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

// A buffer beyond the system's limit needs SO_RCVBUFFORCE (privileged); otherwise the limit applies.
void AskReceiveBuffer(int socket) {
  const int bytes = kListenReceiveBufferBytes;
  if (setsockopt(socket, SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes) != 0) {
    setsockopt(socket, SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
  }
}

}  // namespace

std::optional<ip_mreqn> MembershipRequest(std::uint32_t group, const std::string& interface, std::string& error) {
  ip_mreqn request{};
  request.imr_multiaddr.s_addr = htonl(group);
  request.imr_address.s_addr = htonl(INADDR_ANY);
  request.imr_ifindex = 0;
  if (interface.empty()) return request;
  if (const auto address = ParseIpv4Address(interface)) {
    request.imr_address.s_addr = htonl(*address);
    return request;
  }
  const unsigned index = if_nametoindex(interface.c_str());
  if (index == 0) {
    error = "no network interface " + interface;
    return std::nullopt;
  }
  request.imr_ifindex = static_cast<int>(index);
  return request;
}

std::unique_ptr<UdpListener> UdpListener::Open(const ListenSettings& settings, std::string& error) {
  const bool multicast = IsMulticastAddress(settings.endpoint.address);
  std::optional<ip_mreqn> membership;
  if (multicast) {
    membership = MembershipRequest(settings.endpoint.address, settings.interface, error);
    if (!membership) return nullptr;
  }
  const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) {
    error = SystemError("cannot open a UDP socket");
    return nullptr;
  }
  std::unique_ptr<UdpListener> listener(new UdpListener(fd, settings.sender));
  // Other listeners of the same group (a chart plotter, a second viewer) share the port.
  const int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  AskReceiveBuffer(fd);
  sockaddr_in local{};
  local.sin_family = AF_INET;
  local.sin_port = htons(settings.endpoint.port);
  // A group's datagrams are addressed to the group: binding it keeps other groups on the port out.
  local.sin_addr.s_addr = htonl(settings.endpoint.address);
  if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
    error = SystemError(("cannot listen on " + FormatIpv4Endpoint(settings.endpoint)).c_str());
    return nullptr;
  }
  if (membership) {
    const int off = 0;
    setsockopt(fd, IPPROTO_IP, IP_MULTICAST_ALL, &off, sizeof off);
    if (setsockopt(fd, IPPROTO_IP, IP_ADD_MEMBERSHIP, &*membership, sizeof *membership) != 0) {
      error = SystemError(("cannot join the group " + FormatIpv4Endpoint(settings.endpoint)).c_str());
      return nullptr;
    }
  }
  return listener;
}

UdpListener::~UdpListener() { close(socket_); }

bool UdpListener::Wait(std::chrono::milliseconds timeout) const {
  pollfd entry{socket_, POLLIN, 0};
  const int ready = poll(&entry, 1, static_cast<int>(timeout.count()));
  return ready > 0 && (entry.revents & POLLIN) != 0;
}

std::optional<UdpListener::Received> UdpListener::Receive(std::span<std::uint8_t> buffer) const {
  for (;;) {
    sockaddr_in from{};
    socklen_t fromLength = sizeof from;
    // MSG_TRUNC answers the datagram's whole size, so that a cut one is seen as such.
    const ssize_t size = recvfrom(socket_, buffer.data(), buffer.size(), MSG_DONTWAIT | MSG_TRUNC,
                                  reinterpret_cast<sockaddr*>(&from), &fromLength);
    if (size < 0) {
      if (errno == EINTR) continue;
      // EAGAIN: nothing waits; anything else (an ICMP error queued on the socket) passes with it.
      return std::nullopt;
    }
    Received received;
    received.size = static_cast<std::size_t>(size);
    received.foreign = sender_ && ntohl(from.sin_addr.s_addr) != *sender_;
    return received;
  }
}

void UdpListener::Drain() const {
  std::array<std::uint8_t, 1> scrap{};
  while (Receive(scrap)) {
  }
}

}  // namespace radarsim
