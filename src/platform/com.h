#pragma once
// Per-thread COM initialisation counts. Automation objects here are ordinary
// C++ objects; the counts only let tests see that every thread balances its
// CoInitialize calls with CoUninitialize.

namespace quill::platform {

// Both return the calling thread's count after the call. CoUninitialize on a
// thread whose count is 0 leaves it at 0.
int CoInitialize();
int CoUninitialize();
int com_init_count();

// Scoped CoInitialize/CoUninitialize pair.
class ComScope final {
 public:
  ComScope() { CoInitialize(); }
  ~ComScope() { CoUninitialize(); }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
};

}  // namespace quill::platform
