// Graphics on a window: drawing goes to the window's device context.
#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/graphics.h"
#include "platform/gdiplus/graphics_private.h"
#include "platform/window_messages.h"

namespace quill::gdiplus {

Status GdipCreateFromHWND(win::HWND window, GpGraphics** graphics) {
  if (graphics == nullptr) return InvalidParameter;
  *graphics = nullptr;
  if (const Status s = detail::creation_status(); s != Ok) return s;
  const win::HDC dc = win::GetDC(window);
  if (dc == nullptr) return Win32Error;
  const Status s = GdipCreateFromHDC(dc, graphics);
  if (s != Ok) {
    win::ReleaseDC(window, dc);
    return s;
  }
  (*graphics)->window = window;
  (*graphics)->release = [](GpGraphics& g) { win::ReleaseDC(g.window, g.dc); };
  return Ok;
}

}  // namespace quill::gdiplus
