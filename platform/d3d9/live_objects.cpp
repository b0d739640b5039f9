#include "live_objects.h"

#include <atomic>

namespace d3d9 {

namespace {
std::atomic<unsigned> liveObjects{0};
}  // namespace

void CountObjectBorn() { ++liveObjects; }
void CountObjectDied() { --liveObjects; }
unsigned LiveObjectCount() { return liveObjects.load(); }

}  // namespace d3d9
