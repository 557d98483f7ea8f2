#include "native/window_subclass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/window_messages.h"
#include "support/test_window_host.h"

namespace quill::native {
namespace {

using test::TestWindowHost;

constexpr win::UINT kConsumed = 0x0401;    // the top procedure answers it itself
constexpr win::UINT kRemoveTop = 0x0402;   // the top procedure detaches while handling it
constexpr win::LRESULT kOwnResult = 0x51;  // what the window's own behaviour answers

struct Step {
  std::string procedure;
  win::UINT message;
  win::WPARAM wparam;
  bool operator==(const Step&) const = default;
};

std::vector<Step> steps;
WindowSubclass top_subclass;
WindowSubclass lower_subclass;

win::LRESULT top_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  steps.push_back({"top", message, wparam});
  if (message == kConsumed) return 1;
  if (message == kRemoveTop) top_subclass.detach();
  return top_subclass.call_previous(window, message, wparam, lparam);
}

win::LRESULT lower_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  steps.push_back({"lower", message, wparam});
  return lower_subclass.call_previous(window, message, wparam, lparam);
}

win::LRESULT other_procedure(win::HWND, win::UINT, win::WPARAM, win::LPARAM) { return 0; }
win::LRESULT answer_nine(win::HWND, win::UINT, win::WPARAM, win::LPARAM) { return 9; }

TEST(WindowSubclass, DetachWithoutAttachReturnsZero) {
  WindowSubclass subclass;
  EXPECT_EQ(subclass.detach(), 0);
  EXPECT_EQ(subclass.window(), nullptr);
  EXPECT_EQ(subclass.previous_procedure(), 0);
}

TEST(WindowSubclass, AttachKeepsThePreviousProcedureAndDetachPutsItBack) {
  TestWindowHost host(kOwnResult);
  WindowSubclass subclass;
  const win::LONG_PTR own = subclass.attach(host.handle(), &other_procedure);
  ASSERT_NE(own, 0);
  EXPECT_EQ(subclass.previous_procedure(), own);
  EXPECT_EQ(subclass.window(), host.handle());
  EXPECT_EQ(subclass.call_previous(host.handle(), 0x0400, 9, 0), kOwnResult)
      << "call_previous returns exactly what the previous procedure returned";

  // A second attach overwrites both fields: the first saved procedure is gone.
  TestWindowHost second(0);
  win::SetWindowLongA(second.handle(), win::GWL_WNDPROC, reinterpret_cast<win::LONG_PTR>(&answer_nine));
  EXPECT_EQ(subclass.attach(second.handle(), &lower_procedure), reinterpret_cast<win::LONG_PTR>(&answer_nine));
  EXPECT_EQ(subclass.window(), second.handle());
  EXPECT_EQ(subclass.previous_procedure(), reinterpret_cast<win::LONG_PTR>(&answer_nine));
  EXPECT_EQ(subclass.call_previous(second.handle(), 0x0400, 0, 0), 9);

  EXPECT_EQ(subclass.detach(), reinterpret_cast<win::LONG_PTR>(&lower_procedure));
  EXPECT_EQ(subclass.window(), nullptr);
  EXPECT_EQ(subclass.previous_procedure(), reinterpret_cast<win::LONG_PTR>(&answer_nine))
      << "detach keeps previous_procedure";
  EXPECT_EQ(win::SendMessageA(second.handle(), 0x0400, 0, 0), 9);
  // The first window keeps other_procedure: nothing can restore it now.
  EXPECT_EQ(win::SetWindowLongA(host.handle(), win::GWL_WNDPROC, own),
            reinterpret_cast<win::LONG_PTR>(&other_procedure));
}

TEST(WindowSubclass, CopyDuplicatesBothFields) {
  TestWindowHost host;
  WindowSubclass subclass;
  subclass.attach(host.handle(), &other_procedure);
  WindowSubclass copy(subclass);
  EXPECT_EQ(copy.window(), subclass.window());
  EXPECT_EQ(copy.previous_procedure(), subclass.previous_procedure());
  copy.detach();
}

TEST(WindowSubclass, DestructionDetaches) {
  TestWindowHost host(kOwnResult);
  {
    WindowSubclass subclass;
    subclass.attach(host.handle(), &other_procedure);
    EXPECT_EQ(win::SendMessageA(host.handle(), 0x0400, 0, 0), 0);
  }
  EXPECT_EQ(win::SendMessageA(host.handle(), 0x0400, 0, 0), kOwnResult);
}

TEST(WindowSubclass, MessagesPassThroughStackedSubclassesInOrder) {
  TestWindowHost host(kOwnResult);
  steps.clear();
  host.on_message = [](win::UINT message, win::WPARAM wparam) { steps.push_back({"own", message, wparam}); };
  lower_subclass.attach(host.handle(), &lower_procedure);
  top_subclass.attach(host.handle(), &top_procedure);

  struct Case {
    win::UINT message;
    win::WPARAM wparam;
    win::LRESULT result;
  };
  const Case cases[] = {
      {win::WM_MOUSEMOVE, 1, kOwnResult},  // passed all the way down
      {kConsumed, 2, 1},                   // answered by the top procedure
      {kRemoveTop, 3, kOwnResult},         // the top removes itself, the message still goes on
      {win::WM_MOUSEMOVE, 4, kOwnResult},  // the top is gone
  };
  for (const Case& c : cases) {
    EXPECT_EQ(win::SendMessageA(host.handle(), c.message, c.wparam, 0), c.result) << "message " << c.message;
  }
  const std::vector<Step> expected = {
      {"top", win::WM_MOUSEMOVE, 1}, {"lower", win::WM_MOUSEMOVE, 1}, {"own", win::WM_MOUSEMOVE, 1},
      {"top", kConsumed, 2},         {"top", kRemoveTop, 3},          {"lower", kRemoveTop, 3},
      {"own", kRemoveTop, 3},        {"lower", win::WM_MOUSEMOVE, 4}, {"own", win::WM_MOUSEMOVE, 4},
  };
  const std::vector<Step> actual = steps;
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(actual[i], expected[i]) << "step " << i << ": got " << actual[i].procedure << " " << actual[i].message
                                      << " " << actual[i].wparam;
  }
  EXPECT_EQ(top_subclass.window(), nullptr);
  EXPECT_EQ(lower_subclass.detach(), reinterpret_cast<win::LONG_PTR>(&lower_procedure));
}

}  // namespace
}  // namespace quill::native
