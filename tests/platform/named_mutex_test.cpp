#include "win/named_mutex.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

namespace qelo::win {
namespace {

std::string UniqueName(const char* what) {
  return std::string("qelo-test-") + what + "-" + std::to_string(getpid());
}

TEST(NamedMutexTest, TheFirstHolderMakesItLaterOnesFindItAndItGoesWithTheFirst) {
  const std::string name = UniqueName("held");
  {
    NamedMutex first(name);
    ASSERT_TRUE(first.Valid());
    EXPECT_FALSE(first.AlreadyExisted());
    NamedMutex second(name);
    EXPECT_TRUE(second.Valid());
    EXPECT_TRUE(second.AlreadyExisted());
    NamedMutex other(UniqueName("other"));
    EXPECT_FALSE(other.AlreadyExisted());
  }
  NamedMutex again(name);
  EXPECT_FALSE(again.AlreadyExisted());
}

TEST(NamedMutexTest, ANameTooLongForTheSystemIsRefused) {
  NamedMutex tooLong(std::string(200, 'x'));
  EXPECT_FALSE(tooLong.Valid());
  EXPECT_FALSE(tooLong.AlreadyExisted());
}

}  // namespace
}  // namespace qelo::win
