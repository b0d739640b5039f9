#include "display/echo_geometry.h"

#include <atomic>

namespace {
// Points at one of the two constant geometries once configured. The sweep thread reads it, so the
// choice is published atomically; the geometries themselves are never written.
std::atomic<const EchoGeometry*> configured{nullptr};
}  // namespace

bool ConfigureEchoGeometry(bool imoMode) {
  const EchoGeometry* unset = nullptr;
  return configured.compare_exchange_strong(unset, imoMode ? &kImoEchoGeometry : &kNormalEchoGeometry,
                                            std::memory_order_acq_rel);
}

bool IsEchoGeometryConfigured() { return ConfiguredEchoGeometry() != nullptr; }

const EchoGeometry* ConfiguredEchoGeometry() { return configured.load(std::memory_order_acquire); }

const EchoGeometry& GetEchoGeometry() {
  const EchoGeometry* geometry = ConfiguredEchoGeometry();
  return geometry != nullptr ? *geometry : kNormalEchoGeometry;
}

void ResetEchoGeometryForTesting() { configured.store(nullptr, std::memory_order_release); }
