#include "presentation/list_box_procedure.h"

#include <atomic>

#include "platform/toolkit.h"
#include "platform/window_messages.h"

namespace quill::presentation {
namespace {

constexpr std::string_view kDownloadList = "列表框";
constexpr win::COLORREF kWhite = 0x00FFFFFF;

std::atomic<win::WNDPROC> list_box_forward{nullptr};

void erase_below_rows(win::HWND window, win::HDC dc) {
  const int count = toolkit::list_box_count(kDownloadList);
  win::RECT last{};
  // For an empty list the row is -1: the request fails and the rectangle
  // stays zero, so the whole client area is filled.
  win::SendMessageA(window, win::LB_GETITEMRECT, static_cast<win::WPARAM>(count - 1),
                    reinterpret_cast<win::LPARAM>(&last));
  const int height = toolkit::client_height(kDownloadList);
  if (last.bottom >= height) return;
  const win::RECT fill{0, last.bottom, toolkit::client_width(kDownloadList), height};
  const win::HBRUSH brush = win::CreateSolidBrush(kWhite);
  win::FillRect(dc, &fill, brush);
  win::DeleteObject(brush);
}

}  // namespace

void set_list_box_forward(win::WNDPROC forward) { list_box_forward = forward; }

win::LRESULT list_box_procedure(win::HWND window, win::UINT message, win::WPARAM wparam, win::LPARAM lparam) {
  switch (message) {
    case win::WM_MOUSELEAVE:
      return 1;
    case win::WM_MOUSEMOVE: {
      win::TRACKMOUSEEVENT request{sizeof(win::TRACKMOUSEEVENT), win::TME_LEAVE, window, 0};
      win::TrackMouseEvent(&request);
      return 1;
    }
    case win::WM_ERASEBKGND:
      erase_below_rows(window, reinterpret_cast<win::HDC>(wparam));
      return 1;
    default:
      break;
  }
  const win::WNDPROC forward = list_box_forward.load();
  return forward != nullptr ? forward(window, message, wparam, lparam) : 0;
}

}  // namespace quill::presentation
