#include "viewer/live/frame_hub.h"

FrameHub::~FrameHub() { Stop(); }

void FrameHub::Start() {
  const std::lock_guard lock(mutex_);
  if (encoder_.joinable()) return;
  stopping_ = false;
  encoder_ = std::thread([this] { EncodeLoop(); });
}

void FrameHub::Stop() {
  {
    const std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (encoder_.joinable()) encoder_.join();
}

void FrameHub::Publish(int viewId, std::uint32_t number, const ViewSurface& surface) {
  if (surface.pixels == nullptr || surface.width == 0 || surface.height == 0) return;
  std::shared_ptr<RawFrame> buffer;
  {
    const std::lock_guard lock(mutex_);
    ViewFrames& view = views_[viewId];
    // Nobody else can reach the spare without the lock: held by the hub alone, it is free to fill.
    if (view.spare && view.spare.use_count() == 1) buffer = std::move(view.spare);
    view.spare.reset();
  }
  if (!buffer) buffer = std::make_shared<RawFrame>();
  buffer->CopyFrom(number, surface);
  {
    const std::lock_guard lock(mutex_);
    ViewFrames& view = views_[viewId];
    view.spare = std::move(view.latest);
    view.latest = std::move(buffer);
    view.dirty = true;
  }
  wake_.notify_all();
}

void FrameHub::RemoveView(int viewId) {
  {
    const std::lock_guard lock(mutex_);
    views_.erase(viewId);
  }
  Notify();
}

void FrameHub::PublishState(const LiveState& state) {
  {
    const std::lock_guard lock(mutex_);
    if (stateVersion_ > 0 && state == state_) return;
    state_ = state;
    ++stateVersion_;
  }
  Notify();
}

std::shared_ptr<const RawFrame> FrameHub::LatestRaw(int viewId) const {
  const std::lock_guard lock(mutex_);
  const auto found = views_.find(viewId);
  return found == views_.end() ? nullptr : found->second.latest;
}

std::shared_ptr<const EncodedFrame> FrameHub::LatestEncoded(int viewId) const {
  const std::lock_guard lock(mutex_);
  const auto found = views_.find(viewId);
  return found == views_.end() ? nullptr : found->second.encoded;
}

std::vector<int> FrameHub::ViewIds() const {
  const std::lock_guard lock(mutex_);
  std::vector<int> ids;
  for (const LiveViewState& view : state_.views) ids.push_back(view.id);
  return ids;
}

std::string FrameHub::StateJson() const {
  const std::lock_guard lock(mutex_);
  std::vector<long long> frames;
  for (const LiveViewState& view : state_.views) {
    const auto found = views_.find(view.id);
    frames.push_back(found == views_.end() || !found->second.latest ? 0 : found->second.latest->number);
  }
  return StateJsonWithFrames(state_, frames);
}

std::uint64_t FrameHub::StateVersion() const {
  const std::lock_guard lock(mutex_);
  return stateVersion_;
}

void FrameHub::SetListener(std::function<void()> listener) {
  const std::lock_guard lock(listenerMutex_);
  listener_ = std::move(listener);
}

void FrameHub::AddWatcher() {
  {
    const std::lock_guard lock(mutex_);
    ++watchers_;
  }
  wake_.notify_all();
}

void FrameHub::RemoveWatcher() {
  const std::lock_guard lock(mutex_);
  if (watchers_ > 0) --watchers_;
}

void FrameHub::Notify() {
  const std::lock_guard lock(listenerMutex_);
  if (listener_) listener_();
}

void FrameHub::EncodeLoop() {
  std::unique_lock lock(mutex_);
  while (true) {
    const auto work = [this] {
      if (stopping_) return true;
      if (watchers_ == 0) return false;
      for (const auto& [id, view] : views_)
        if (view.dirty) return true;
      return false;
    };
    wake_.wait(lock, work);
    if (stopping_) return;
    // One frame of each view that has a new one; frames that come meanwhile replace it.
    struct Due {
      int id;
      std::shared_ptr<const RawFrame> raw;
      std::shared_ptr<TiledFrameEncoder> encoder;
      std::uint64_t serial;
    };
    std::vector<Due> due;
    for (auto& [id, view] : views_) {
      if (!view.dirty || !view.latest) continue;
      view.dirty = false;
      due.push_back({id, view.latest, view.encoder, ++frameSerial_});
    }
    lock.unlock();
    for (Due& frame : due) {
      std::shared_ptr<const EncodedFrame> encoded = frame.encoder->Encode(std::move(frame.raw), frame.serial);
      if (!encoded) continue;
      const std::lock_guard relock(mutex_);
      const auto found = views_.find(frame.id);
      // A view closed and opened again under its id meanwhile has an encoder of its own.
      if (found != views_.end() && found->second.encoder == frame.encoder) found->second.encoded = std::move(encoded);
    }
    if (!due.empty()) Notify();
    lock.lock();
  }
}
