#include "viewer/live/control_queue.h"

bool ControlQueue::TryPush(LiveCommand command) {
  const std::lock_guard lock(mutex_);
  if (commands_.size() >= capacity_) return false;
  commands_.push_back(std::move(command));
  return true;
}

std::vector<LiveCommand> ControlQueue::TakeAll() {
  std::deque<LiveCommand> taken;
  {
    const std::lock_guard lock(mutex_);
    taken.swap(commands_);
  }
  return {std::make_move_iterator(taken.begin()), std::make_move_iterator(taken.end())};
}
