#include "web/cookie_merging.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

TEST(MergeCookies, Cases) {
  struct Case {
    const char* old_cookies;
    const char* new_cookies;
    const char* merged;
    const char* new_after;
  };
  const Case cases[] = {
      {"a=1; b=2", "c=3; a=9", "c=3; a=9; b=2", "c=3;a=9"},
      {"sid=1", "sid=deleted", "", "sid=deleted"},
      {"x=1", "y=deleted", "x=1", "y=deleted"},
      {"a = 1 ; b=2", "", "a=1; b=2", ""},
      {"", "a=1; a=1", "a=1", "a=1;a=1"},
      {"", "a=1; a=2", "a=1; a=2", "a=1;a=2"},
      {"b=2; b=3", "", "b=2", ""},
      {"", "", "", ""},
      {"k=a b", "", "k=ab", ""},
      {"flag; a=1", "flag", "flag; a=1", "flag"},
      {"Name=1", "name=2", "name=2; Name=1", "name=2"},  // names keep their case
  };
  for (const Case& c : cases) {
    std::string old_cookies = c.old_cookies;
    std::string new_cookies = c.new_cookies;
    const std::string result = merge_cookies(old_cookies, new_cookies);
    EXPECT_EQ(old_cookies, c.merged) << c.old_cookies << " + " << c.new_cookies;
    EXPECT_EQ(result, c.merged) << c.old_cookies << " + " << c.new_cookies;
    EXPECT_EQ(new_cookies, c.new_after) << c.old_cookies << " + " << c.new_cookies;
  }
}

TEST(JoinDistinct, DropsRepeatsInPlace) {
  EXPECT_EQ(join_distinct("a; b; a; c; b", "; "), "a; b; c");
  EXPECT_EQ(join_distinct("", "; "), "");
  EXPECT_EQ(join_distinct("x,x,,y,", ","), "x,,y");
}

}  // namespace
}  // namespace quill
