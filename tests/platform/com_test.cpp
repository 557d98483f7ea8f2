#include "platform/com.h"

#include <gtest/gtest.h>

#include <thread>

namespace quill::platform {
namespace {

TEST(Com, CountsArePerThreadAndNeverNegative) {
  EXPECT_EQ(com_init_count(), 0);
  {
    ComScope scope;
    EXPECT_EQ(com_init_count(), 1);
    std::thread([] { EXPECT_EQ(com_init_count(), 0); }).join();
  }
  EXPECT_EQ(com_init_count(), 0);
  EXPECT_EQ(CoUninitialize(), 0);
}

}  // namespace
}  // namespace quill::platform
