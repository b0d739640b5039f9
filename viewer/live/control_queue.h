#pragma once
// The edits the server has accepted and the host's thread has yet to apply: bounded, so that a flood of
// requests is answered "busy" instead of growing without end.
#include <cstddef>
#include <deque>
#include <mutex>
#include <vector>

#include "viewer/live/live_commands.h"

class ControlQueue {
public:
  static constexpr std::size_t kDefaultCapacity = 64;
  explicit ControlQueue(std::size_t capacity = kDefaultCapacity) : capacity_(capacity) {}

  // False when the queue is full; the command is then dropped.
  bool TryPush(LiveCommand command);
  // Every queued command in the order it came, leaving the queue empty.
  std::vector<LiveCommand> TakeAll();

private:
  const std::size_t capacity_;
  std::mutex mutex_;
  std::deque<LiveCommand> commands_;
};
