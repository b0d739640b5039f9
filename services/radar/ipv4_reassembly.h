#pragma once
// Puts IPv4 fragments back together into whole datagrams. Fragments may come in any order and repeat
// exactly; a datagram whose fragments overlap with different bytes, disagree about its end, would grow past
// 65,535 bytes, or never complete within the timeout is dropped whole and counted once. Later fragments of
// a dropped datagram are swallowed, so that they neither count again nor start a new one. The memory held
// by unfinished datagrams is bounded: past the limits the oldest is dropped.
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "services/radar/packet_layers.h"

namespace radarsim {

struct ReassemblyLimits {
  std::size_t maxOpenDatagrams = 64;
  std::size_t maxHeldBytes = 2u << 20;  // never less than one largest datagram
  double timeoutSeconds = 30.0;         // capture time from the first fragment seen
};

class Ipv4Reassembly {
public:
  explicit Ipv4Reassembly(ReassemblyLimits limits = {});

  // Takes one fragment (IsFragment() is true) seen at `seconds`; the payload of the whole datagram when
  // this fragment completed it.
  std::optional<std::vector<std::uint8_t>> Add(const Ipv4Packet& fragment, double seconds);

  // Drops the datagrams older than the timeout at capture time `now`; called for every record, so that
  // time passes for them while no fragments come.
  void Expire(double now);

  // Datagrams dropped so far.
  std::uint64_t Dropped() const { return dropped_; }
  // Datagrams still waiting for fragments: at the end of a capture, the ones it cut off.
  std::size_t Unfinished() const { return open_.size(); }
  std::size_t HeldBytes() const { return heldBytes_; }

private:
  struct Key {
    std::uint32_t source = 0;
    std::uint32_t destination = 0;
    std::uint16_t identification = 0;
    std::uint8_t protocol = 0;
    bool operator==(const Key&) const = default;
  };
  struct Fragment {
    std::uint32_t offset = 0;
    std::vector<std::uint8_t> bytes;
    std::uint32_t End() const { return offset + static_cast<std::uint32_t>(bytes.size()); }
  };
  struct Datagram {
    Key key;
    double firstSeen = 0.0;
    std::optional<std::uint32_t> end;  // known once the last fragment came
    std::uint8_t headerLength = 0;     // of the first fragment, once it came
    std::vector<Fragment> fragments;   // sorted by offset, never overlapping
    std::size_t bytes = 0;
  };
  struct DroppedKey {
    Key key;
    double firstSeen = 0.0;
  };

  // False when the fragment makes the datagram impossible.
  bool Merge(Datagram& datagram, const Ipv4Packet& fragment);
  std::optional<std::vector<std::uint8_t>> TakeIfComplete(std::size_t index);
  void Drop(std::size_t index);
  void EnforceLimits();

  ReassemblyLimits limits_;
  std::vector<Datagram> open_;  // oldest first
  std::deque<DroppedKey> droppedKeys_;  // oldest first
  std::size_t heldBytes_ = 0;
  std::uint64_t dropped_ = 0;
};

}  // namespace radarsim
