#include "services/velihm/shown_messages.h"

#include <mutex>
#include <vector>

namespace {
std::mutex mutex;
std::vector<VelIHMShownMessage>& Shown() {
  static std::vector<VelIHMShownMessage> shown;
  return shown;
}
}  // namespace

void RecordShownMessage(const VelIHMShownMessage& message) {
  const std::lock_guard lock(mutex);
  Shown().push_back(message);
}

int ShownMessageCount() {
  const std::lock_guard lock(mutex);
  return static_cast<int>(Shown().size());
}

bool GetShownMessage(int index, VelIHMShownMessage& message) {
  const std::lock_guard lock(mutex);
  if (index < 0 || static_cast<std::size_t>(index) >= Shown().size()) return false;
  message = Shown()[static_cast<std::size_t>(index)];
  return true;
}
