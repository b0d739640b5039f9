#pragma once
// Host callbacks of one kind, registered and removed from any thread while one dispatching thread calls
// them. After Remove returns, the removed callback is never called again: Remove waits while the
// dispatcher is inside that very callback, unless Remove is called from inside it (the call in progress
// is then the caller's own, and waiting would never end).
#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>

namespace radarsim {

template <typename Callback>
class CallbackRegistry {
public:
  // A bound on registrations keeps dispatching free of allocation.
  static constexpr std::size_t kCapacity = 32;

  // True when `callback` is registered afterwards; registering it again changes nothing.
  bool Add(Callback callback) {
    if (!callback) return false;
    std::lock_guard lock(mutex_);
    if (Contains(callback)) return true;
    if (count_ == kCapacity) return false;
    callbacks_[count_++] = callback;
    return true;
  }

  // False when `callback` was not registered.
  bool Remove(Callback callback) {
    std::unique_lock lock(mutex_);
    const auto end = callbacks_.begin() + count_;
    const auto found = std::find(callbacks_.begin(), end, callback);
    if (found == end) return false;
    std::move(found + 1, end, found);
    --count_;
    if (callback != running_ || runningThread_ == std::this_thread::get_id()) return true;
    ++waiters_;
    idle_.wait(lock, [&] { return running_ != callback; });
    --waiters_;
    return true;
  }

  // Calls every registered callback once with `args`. Callbacks may add and remove callbacks.
  template <typename... Args>
  void InvokeAll(Args... args) {
    std::lock_guard dispatch(dispatchMutex_);
    std::array<Callback, kCapacity> snapshot;
    std::size_t snapshotCount = 0;
    {
      std::lock_guard lock(mutex_);
      snapshotCount = count_;
      std::copy_n(callbacks_.begin(), count_, snapshot.begin());
    }
    for (std::size_t index = 0; index < snapshotCount; ++index) {
      const Callback callback = snapshot[index];
      {
        std::lock_guard lock(mutex_);
        if (!Contains(callback)) continue;  // removed by an earlier callback of this round
        running_ = callback;
        runningThread_ = std::this_thread::get_id();
      }
      callback(args...);
      bool wake = false;
      {
        std::lock_guard lock(mutex_);
        running_ = nullptr;
        runningThread_ = {};
        wake = waiters_ > 0;
      }
      if (wake) idle_.notify_all();
    }
  }

private:
  bool Contains(Callback callback) const {
    const auto end = callbacks_.begin() + count_;
    return std::find(callbacks_.begin(), end, callback) != end;
  }

  std::mutex mutex_;
  std::condition_variable idle_;
  std::array<Callback, kCapacity> callbacks_{};
  std::size_t count_ = 0;
  Callback running_ = nullptr;
  std::thread::id runningThread_;
  int waiters_ = 0;
  // One round of calls at a time, so that `running_` names the only callback in progress.
  std::mutex dispatchMutex_;
};

}  // namespace radarsim
