#include "presentation/download_item_painter.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "downloads/task_list.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"
#include "platform/window_messages.h"
#include "presentation/gdi_image.h"
#include "presentation/row_icon.h"
#include "presentation/wide_text.h"

namespace quill::presentation {

using gdiplus::PointF;

namespace {

constexpr std::string_view kDownloadList = "列表框";
constexpr gdiplus::PixelFormat kRowPixelFormat = gdiplus::PixelFormat32bppRGB;
// 1024 bytes of UTF-16 text including the terminator.
constexpr std::size_t kTextUnits = 512;

std::atomic<win::WNDPROC> main_window_forward{nullptr};

}  // namespace

void set_main_window_forward(win::WNDPROC forward) { main_window_forward = forward; }

double progress_bar_length(std::int32_t percent) { return percent * 12.0 / 10.0 - 3.0; }

std::string size_and_time_text(std::int32_t size_kb, std::int32_t time_ms) {
  char buffer[64];
  std::string text;
  if (size_kb <= 1024) {
    std::snprintf(buffer, sizeof buffer, "%d", size_kb);
    text = std::string(buffer) + "KB, ";
  } else {
    const double megabytes = std::floor(size_kb / 1024.0 * 100.0 + 0.5) / 100.0;
    std::snprintf(buffer, sizeof buffer, "%.13g", megabytes);
    text = std::string(buffer) + "MB, ";
  }
  std::snprintf(buffer, sizeof buffer, "%.0f", std::floor(time_ms / 1000.0));
  return text + buffer + "S";
}

void draw_text_in_rect(GdiGraphics& graphics, const std::string& text, int x, int y, int width, int height,
                       const GdiFont& font, const GdiBrush& brush) {
  const gdiplus::RectF layout{static_cast<float>(x), static_cast<float>(y),
                              width > 0 ? static_cast<float>(width) : -1.0f,
                              height > 0 ? static_cast<float>(height) : -1.0f};
  // The fixed buffer holds 511 units and the terminator; longer text is cut,
  // never split inside a surrogate pair.
  char16_t buffer[kTextUnits] = {};
  const std::u16string wide = to_wide(text);
  std::size_t length = std::min(wide.size(), kTextUnits - 1);
  if (length < wide.size() && length > 0 && wide[length - 1] >= 0xD800 && wide[length - 1] <= 0xDBFF) --length;
  std::copy(wide.begin(), wide.begin() + static_cast<std::ptrdiff_t>(length), buffer);
  gdiplus::GdipDrawString(graphics.handle(), buffer, static_cast<gdiplus::INT>(length), font.handle(), &layout, nullptr,
                          brush.handle());
}

void paint_progress_area(const DownloadTask& task, GdiPen& pen, GdiBrush& background, GdiGraphics& graphics,
                         GdiBrush& text_brush, const GdiFont& font) {
  pen.create(0xFFA4DF9A, 1);
  graphics.draw_rectangle(pen, 310, 5, 120, 13);
  background.create_solid(0xFFBECD10);
  graphics.fill_rectangle(background, 312, 7, static_cast<float>(progress_bar_length(task.percent)), 10);
  text_brush.set_solid_color(0xFF808080);
  draw_text_in_rect(graphics, size_and_time_text(task.size_kb, task.time_ms), 310, 22, 170, 12, font, text_brush);
}

void paint_download_item(win::HWND list_box, std::int32_t row, bool selected) {
  if (row < 0 || row >= toolkit::list_box_count(kDownloadList)) return;
  win::RECT item_rect;
  if (win::SendMessageA(list_box, win::LB_GETITEMRECT, static_cast<win::WPARAM>(row),
                        reinterpret_cast<win::LPARAM>(&item_rect)) == win::LB_ERR)
    return;
  const int w = item_rect.right - item_rect.left;
  const int h = item_rect.bottom - item_rect.top;
  DownloadTask task;
  {
    std::lock_guard hold(task_list_lock);
    if (static_cast<std::size_t>(row) >= download_tasks.size()) return;
    task = download_tasks[static_cast<std::size_t>(row)];
  }

  GdiImage row_bitmap;
  GdiGraphics bitmap_graphics;
  GdiGraphics window_graphics;
  GdiPen pen;
  GdiBrush background;
  GdiBrush text_brush;
  GdiFont font;
  GdiImage icon;

  row_bitmap.create_bitmap(w, h, 0, kRowPixelFormat, nullptr);
  bitmap_graphics.from_image(row_bitmap);
  bitmap_graphics.set_text_rendering_hint(gdiplus::TextRenderingHintAntiAliasGridFit);
  background.create_solid(0xFFFFFFFF);
  bitmap_graphics.fill_rectangle(background, 0, 0, static_cast<float>(w), static_cast<float>(h));
  if (row % 2 == 1) {
    pen.create(0xFFD7F3FF, 1);
    bitmap_graphics.draw_rectangle(pen, 0, 0, static_cast<float>(w - 1), static_cast<float>(h - 1));
    background.create_linear_gradient(PointF{0, 0}, PointF{0, static_cast<float>(h - 2)}, 0xFFF2FBFF, 0xFFEAF9FF);
    bitmap_graphics.fill_rectangle(background, 2, 2, static_cast<float>(w - 4), static_cast<float>(h - 4));
  }
  if (selected) {
    pen.create(0xFFFFEBAE, 1);
    bitmap_graphics.draw_rectangle(pen, 0, 0, static_cast<float>(w - 1), static_cast<float>(h - 1));
    background.create_linear_gradient(PointF{0, 0}, PointF{0, static_cast<float>(h)}, 0xFFFEF8DD, 0xFFFFEDB7);
    bitmap_graphics.fill_rectangle(background, 2, 2, static_cast<float>(w - 4), static_cast<float>(h - 4));
  }
  icon.load_from_bytes(row_icon());
  bitmap_graphics.draw_image(icon, 10, 4);
  font.create(gbk("宋体"), 12, gdiplus::FontStyleRegular, gdiplus::UnitPixel);
  text_brush.create_solid(0xFF000000);
  draw_text_in_rect(bitmap_graphics, task.title, 52, 6, w - 200, 12, font, text_brush);
  text_brush.set_solid_color(0xFF808080);
  draw_text_in_rect(bitmap_graphics, task.folder, 52, 22, w - 200, 12, font, text_brush);
  paint_progress_area(task, pen, background, bitmap_graphics, text_brush, font);
  window_graphics.from_window(list_box);
  window_graphics.draw_image(row_bitmap, static_cast<float>(item_rect.left), static_cast<float>(item_rect.top));
}

win::LRESULT main_window_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  if (message == win::WM_DRAWITEM) {
    const auto* item = reinterpret_cast<const win::DRAWITEMSTRUCT*>(lparam);
    if (item != nullptr && item->CtlType == win::ODT_LISTBOX)
      paint_download_item(item->hwndItem, static_cast<std::int32_t>(item->itemID),
                          (item->itemState & win::ODS_SELECTED) != 0);
    return 1;
  }
  const win::WNDPROC forward = main_window_forward.load();
  return forward != nullptr ? forward(window, message, wparam, lparam) : 0;
}

}  // namespace quill::presentation
