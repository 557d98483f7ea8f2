#pragma once
// The download list's row painter and the main window procedure that calls it.
//
// paint_download_item composes one row of "列表框" from its DownloadTask in an
// off-screen bitmap of the row's size and copies it to the list box in one
// draw. It takes task_list_lock only while copying the task and sends no
// message and draws nothing while holding it. Nothing is cached between
// paints. Any thread may paint (the UI thread on WM_DRAWITEM, progress
// threads through update_download_task); the drawing layer must be started.

#include <cstdint>
#include <string>

#include "downloads/download_task.h"
#include "platform/win_types.h"
#include "presentation/gdi_brush.h"
#include "presentation/gdi_font.h"
#include "presentation/gdi_graphics.h"
#include "presentation/gdi_pen.h"

namespace quill::presentation {

// Repaints row `row` of the list box `list_box`. A row outside the list, or
// one without a task, draws nothing.
void paint_download_item(win::HWND list_box, std::int32_t row, bool selected);

// WM_DRAWITEM: paints the list box row it names and returns 1 (not passed on),
// whatever the control type. Every other message goes to the previous
// procedure through the forwarding routine (0 without one). UI thread.
win::LRESULT main_window_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam);
// The routine main_window_procedure passes other messages to (the application
// forwards them to the procedure its subclass replaced).
void set_main_window_forward(win::WNDPROC forward);

// Draws `text` (system text) in the layout rectangle; a width or height that
// is not positive becomes -1 (no limit). Text beyond 511 UTF-16 units is cut.
void draw_text_in_rect(GdiGraphics& graphics, const std::string& text, int x, int y, int width, int height,
                       const GdiFont& font, const GdiBrush& brush);

// The progress frame, the bar for task.percent (not limited to the frame) and
// the size-and-time text.
void paint_progress_area(const DownloadTask& task, GdiPen& pen, GdiBrush& background, GdiGraphics& graphics,
                         GdiBrush& text_brush, const GdiFont& font);

// "512KB, 3S", "1.13MB, 0S", ...: the size up to 1024 KB in KB, above in MB
// with two decimals (halves up, "%.13g"), then whole seconds.
std::string size_and_time_text(std::int32_t size_kb, std::int32_t time_ms);

// The progress bar's length for `percent`: percent x 12 / 10 - 3.
double progress_bar_length(std::int32_t percent);

}  // namespace quill::presentation
