#include "services/radar/ipv4_reassembly.h"

#include <algorithm>
#include <cstring>

namespace radarsim {
namespace {

constexpr std::uint32_t kMaxDatagram = 65535;
constexpr std::uint32_t kMinimumHeader = 20;
// Keys of dropped datagrams are kept a while to swallow their stragglers; a few times the open limit.
constexpr std::size_t kDroppedKeysPerOpenDatagram = 4;

}  // namespace

Ipv4Reassembly::Ipv4Reassembly(ReassemblyLimits limits) : limits_(limits) {
  limits_.maxOpenDatagrams = std::max<std::size_t>(limits_.maxOpenDatagrams, 1);
  limits_.maxHeldBytes = std::max<std::size_t>(limits_.maxHeldBytes, kMaxDatagram);
}

std::optional<std::vector<std::uint8_t>> Ipv4Reassembly::Add(const Ipv4Packet& fragment, double seconds) {
  Expire(seconds);
  const Key key{fragment.source, fragment.destination, fragment.identification, fragment.protocol};
  if (std::any_of(droppedKeys_.begin(), droppedKeys_.end(), [&](const DroppedKey& d) { return d.key == key; })) {
    return std::nullopt;
  }
  auto found = std::find_if(open_.begin(), open_.end(), [&](const Datagram& d) { return d.key == key; });
  if (found == open_.end()) {
    open_.push_back(Datagram{key, seconds, std::nullopt, 0, {}, 0});
    found = std::prev(open_.end());
  }
  const auto index = static_cast<std::size_t>(found - open_.begin());
  if (!Merge(*found, fragment)) {
    Drop(index);
    return std::nullopt;
  }
  if (auto whole = TakeIfComplete(index)) return whole;
  EnforceLimits();
  return std::nullopt;
}

bool Ipv4Reassembly::Merge(Datagram& datagram, const Ipv4Packet& fragment) {
  const std::uint32_t offset = fragment.fragmentOffset;
  const auto size = static_cast<std::uint32_t>(fragment.payload.size());
  const std::uint32_t end = offset + size;
  // Every fragment but the last carries a multiple of 8 bytes, and none is empty.
  if (size == 0 || (fragment.moreFragments && size % 8 != 0)) return false;
  if (end + kMinimumHeader > kMaxDatagram) return false;
  if (!fragment.moreFragments) {
    if (datagram.end && *datagram.end != end) return false;
    if (!datagram.fragments.empty() && datagram.fragments.back().End() > end) return false;
    datagram.end = end;
  } else if (datagram.end && end >= *datagram.end) {
    return false;
  }
  if (offset == 0) datagram.headerLength = fragment.headerLength;

  auto& fragments = datagram.fragments;
  auto next = std::lower_bound(fragments.begin(), fragments.end(), offset,
                               [](const Fragment& f, std::uint32_t at) { return f.offset < at; });
  // A fragment seen twice is harmless; any other overlap leaves the datagram's bytes in doubt.
  if (next != fragments.end() && next->offset == offset && next->bytes.size() == size &&
      std::equal(next->bytes.begin(), next->bytes.end(), fragment.payload.begin())) {
    return true;
  }
  if (next != fragments.end() && next->offset < end) return false;
  if (next != fragments.begin() && std::prev(next)->End() > offset) return false;
  fragments.insert(next, Fragment{offset, {fragment.payload.begin(), fragment.payload.end()}});
  datagram.bytes += size;
  heldBytes_ += size;
  return true;
}

std::optional<std::vector<std::uint8_t>> Ipv4Reassembly::TakeIfComplete(std::size_t index) {
  Datagram& datagram = open_[index];
  if (!datagram.end || datagram.bytes != *datagram.end) return std::nullopt;
  // Fragments never overlap, so their sizes adding up to the end means no gaps are left.
  if (*datagram.end + datagram.headerLength > kMaxDatagram) {
    Drop(index);
    return std::nullopt;
  }
  std::vector<std::uint8_t> whole(*datagram.end);
  for (const Fragment& fragment : datagram.fragments) {
    std::memcpy(whole.data() + fragment.offset, fragment.bytes.data(), fragment.bytes.size());
  }
  heldBytes_ -= datagram.bytes;
  open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
  return whole;
}

void Ipv4Reassembly::Drop(std::size_t index) {
  Datagram& datagram = open_[index];
  ++dropped_;
  heldBytes_ -= datagram.bytes;
  droppedKeys_.push_back(DroppedKey{datagram.key, datagram.firstSeen});
  if (droppedKeys_.size() > limits_.maxOpenDatagrams * kDroppedKeysPerOpenDatagram) droppedKeys_.pop_front();
  open_.erase(open_.begin() + static_cast<std::ptrdiff_t>(index));
}

void Ipv4Reassembly::Expire(double now) {
  while (!droppedKeys_.empty() && now - droppedKeys_.front().firstSeen > limits_.timeoutSeconds) {
    droppedKeys_.pop_front();
  }
  // Oldest first: stop at the first one still within its time. A capture whose clock steps back only
  // delays expiry.
  while (!open_.empty() && now - open_.front().firstSeen > limits_.timeoutSeconds) Drop(0);
}

void Ipv4Reassembly::EnforceLimits() {
  while (!open_.empty() && (open_.size() > limits_.maxOpenDatagrams || heldBytes_ > limits_.maxHeldBytes)) {
    Drop(0);
  }
}

}  // namespace radarsim

