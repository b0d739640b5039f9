#include <gtest/gtest.h>

#include <vector>

#include "common/observer.h"

namespace {

TEST(SubjectObserver, AttachesOnceAndDetachesOnlyWhatItHas) {
  Subject<ModuleNotification> subject;
  Observer<ModuleNotification> observer(nullptr);
  EXPECT_TRUE(subject.Attach(&observer));
  EXPECT_FALSE(subject.Attach(&observer));
  EXPECT_EQ(subject.Observers().size(), 1u);
  EXPECT_TRUE(subject.Detach(&observer));
  EXPECT_FALSE(subject.Detach(&observer));
  EXPECT_TRUE(subject.Observers().empty());
}

TEST(SubjectObserver, ObserverJoinsAndLeavesWithItsLifetime) {
  Subject<ModuleNotification> subject;
  {
    Observer<ModuleNotification> first(&subject);
    Observer<ModuleNotification> second(&subject);
    EXPECT_EQ(subject.Observers(), (std::vector<Observer<ModuleNotification>*>{&first, &second}));
  }
  EXPECT_TRUE(subject.Observers().empty());
}

}  // namespace
