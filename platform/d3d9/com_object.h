#pragma once
// The reference count every Direct3D object of this library shares: an object starts with one
// reference and deletes itself when Release drops the last one.
#include <atomic>

#include "live_objects.h"
#include "unknwn.h"

namespace d3d9 {

template <class Interface>
class ComObject : public Interface {
public:
  ComObject() { CountObjectBorn(); }
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;
  virtual ~ComObject() { CountObjectDied(); }

  // Objects are reached through the interface they were created with; no other is offered.
  HRESULT QueryInterface(REFIID, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

private:
  std::atomic<ULONG> references_{1};
};

}  // namespace d3d9
