// The viewer's own ship from the radar service's fix, against a stand-in service library.
#include "viewer/module_host/replay_own_ship.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <numbers>
#include <thread>
#include <vector>

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;
using SetFixFunction = void (*)(const OwnShipFix*);

TEST(ReplayOwnShip, AnswersTheFallbackUntilTheLoadedServiceHasAFixThenEachValidPart) {
  ReplayOwnShip ownShip(0.9, 0.1, 2.0, FAKE_OWN_SHIP_LIBRARY);
  double heading = 0.0;
  EXPECT_EQ(ownShip.GetPosition(), PosType(0.9, 0.1)) << "the library is not loaded yet";
  EXPECT_TRUE(ownShip.GetHeading(&heading));
  EXPECT_DOUBLE_EQ(heading, 2.0);
  EXPECT_FALSE(ownShip.GetHeading(nullptr));
  EXPECT_FALSE(ownShip.QueryNavigationFlag());

  void* library = dlopen(FAKE_OWN_SHIP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
  ASSERT_TRUE(library) << dlerror();
  auto setFix = reinterpret_cast<SetFixFunction>(dlsym(library, "SetFakeOwnShipFix"));
  ASSERT_TRUE(setFix);

  struct Case {
    std::uint32_t valid;
    PosType position;
    double heading;
  };
  const Case cases[] = {
      {0, PosType(0.9, 0.1), 2.0},
      {kOwnShipPositionValid, PosType(53.17 * kDegree, 5.27 * kDegree), 2.0},
      {kOwnShipHeadingValid, PosType(0.9, 0.1), 296.0 * kDegree},
      {kOwnShipPositionValid | kOwnShipHeadingValid, PosType(53.17 * kDegree, 5.27 * kDegree), 296.0 * kDegree},
  };
  std::uint64_t updates = 0;
  for (const Case& c : cases) {
    const OwnShipFix fix{53.17, 5.27, 296.0, c.valid, 0, ++updates};
    setFix(&fix);
    EXPECT_EQ(ownShip.GetPosition(), c.position) << c.valid;
    EXPECT_TRUE(ownShip.GetHeading(&heading));
    EXPECT_NEAR(heading, c.heading, 1e-12) << c.valid;
    EXPECT_EQ(ownShip.Fix().updates, updates);
  }

  // Readers on several threads while the service writes: the first look-up may race.
  ReplayOwnShip shared(0.0, 0.0, 0.0, FAKE_OWN_SHIP_LIBRARY);
  std::vector<std::thread> readers;
  for (int n = 0; n < 3; ++n) {
    readers.emplace_back([&shared] {
      for (int i = 0; i < 200; ++i) EXPECT_EQ(shared.GetPosition(), PosType(53.17 * kDegree, 5.27 * kDegree));
    });
  }
  for (int i = 0; i < 200; ++i) {
    const OwnShipFix fix{53.17, 5.27, 296.0, kOwnShipPositionValid, 0, ++updates};
    setFix(&fix);
  }
  for (std::thread& reader : readers) reader.join();
}

}  // namespace
