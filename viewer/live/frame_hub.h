#pragma once
// Where the host's thread leaves each view's latest pixels and the page's state, and where the server
// finds them encoded. Latest wins: a frame that was not encoded or sent before the next one came is
// dropped, so a slow reader gets fewer frames, never a queue.
//
// The hand-over costs one copy: the host draws the next frame into its view's pixels while the last one
// is encoded, so the pixels are copied out once (alpha made opaque on the way, as a screen shows them)
// into a buffer the host then never writes. The encoder and the PNG answer read that buffer in place;
// buffers are reused once nobody holds them. Each view's frames are encoded as tiles, only those that
// changed since the frame before (tiled_frame.h).
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "extensions/d3d9.h"
#include "viewer/live/live_state.h"
#include "viewer/live/raw_frame.h"
#include "viewer/live/tiled_frame.h"

class FrameHub {
public:
  FrameHub() = default;
  ~FrameHub();
  FrameHub(const FrameHub&) = delete;
  FrameHub& operator=(const FrameHub&) = delete;

  // The encoder's thread: frames are encoded while anyone watches.
  void Start();
  void Stop();

  // Host's thread. Copies the surface as view `viewId`'s latest frame.
  void Publish(int viewId, std::uint32_t number, const ViewSurface& surface);
  void RemoveView(int viewId);
  void PublishState(const LiveState& state);

  // Any thread.
  std::shared_ptr<const RawFrame> LatestRaw(int viewId) const;
  std::shared_ptr<const EncodedFrame> LatestEncoded(int viewId) const;
  // The views the host has, in order.
  std::vector<int> ViewIds() const;
  // The state's JSON text with each view's latest frame number.
  std::string StateJson() const;
  // Grows by one at every change of the state (not at every frame).
  std::uint64_t StateVersion() const;
  // Called on the encoder's or the host's thread after a frame was encoded or the state changed; it must
  // return at once (post work elsewhere).
  void SetListener(std::function<void()> listener);
  // While watchers > 0 the frames are encoded.
  void AddWatcher();
  void RemoveWatcher();

private:
  struct ViewFrames {
    std::shared_ptr<RawFrame> latest;
    std::shared_ptr<RawFrame> spare;  // the buffer before, filled again once nobody holds it
    std::shared_ptr<const EncodedFrame> encoded;
    // Used by the encoder's thread alone, which holds it while it encodes.
    std::shared_ptr<TiledFrameEncoder> encoder = std::make_shared<TiledFrameEncoder>();
    bool dirty = false;
  };
  void EncodeLoop();
  void Notify();

  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::map<int, ViewFrames> views_;
  LiveState state_;
  std::uint64_t stateVersion_ = 0;
  std::uint64_t frameSerial_ = 0;  // of the last frame handed to the encoder
  int watchers_ = 0;
  bool stopping_ = false;
  std::thread encoder_;
  std::mutex listenerMutex_;
  std::function<void()> listener_;
};
