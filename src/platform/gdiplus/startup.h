#pragma once
// Starting the drawing layer. GdiplusStartup must have succeeded before any
// object is made; creation functions answer GdiplusNotInitialized before it.
// The layer is never shut down by the program; GdiplusShutdown exists for
// symmetry and makes later creations fail again.

#include "platform/gdiplus/status.h"
#include "platform/gdiplus/types.h"

namespace quill::gdiplus {

struct GdiplusStartupInput {
  std::uint32_t GdiplusVersion = 1;  // 1 or 2
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = 0;
  BOOL SuppressExternalCodecs = 0;
};

struct GdiplusStartupOutput {
  void* NotificationHook = nullptr;
  void* NotificationUnhook = nullptr;
};

// Any thread. Each successful call gives a distinct token.
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

// Number of drawing objects (graphics, images, brushes, pens, fonts, font
// families, matrices, paths, regions) alive in the process; tests use it to
// see that every object is released exactly once.
int live_gdiplus_objects();

}  // namespace quill::gdiplus
