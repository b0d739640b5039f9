#pragma once
// The count of Direct3D objects alive in the process, so that a leak shows.

namespace d3d9 {

void CountObjectBorn();
void CountObjectDied();
unsigned LiveObjectCount();

}  // namespace d3d9
