#include "platform/gdiplus/startup.h"

#include <atomic>

#include "platform/gdiplus/gdiplus_private.h"

namespace quill::gdiplus {
namespace {
std::atomic<int> startups{0};
std::atomic<int> live_objects{0};
std::atomic<ULONG_PTR> next_token{1};
}  // namespace

Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output) {
  if (token == nullptr || input == nullptr) return InvalidParameter;
  if (input->GdiplusVersion != 1 && input->GdiplusVersion != 2) return UnsupportedGdiplusVersion;
  // Without a background thread the caller would have to hook notifications;
  // nothing here needs them, so the hooks stay null.
  if (output != nullptr) *output = GdiplusStartupOutput{};
  *token = next_token++;
  ++startups;
  return Ok;
}

void GdiplusShutdown(ULONG_PTR token) {
  if (token != 0 && startups > 0) --startups;
}

int live_gdiplus_objects() { return live_objects.load(); }

namespace detail {

bool started() { return startups.load() > 0; }
void note_created() { ++live_objects; }
void note_deleted() { --live_objects; }
Status creation_status() { return started() ? Ok : GdiplusNotInitialized; }

QString to_qstring(const WCHAR* text, INT length) {
  if (text == nullptr) return {};
  if (length < 0) {
    length = 0;
    while (text[length] != 0) ++length;
  }
  return QString::fromUtf16(text, length);
}

void combine(QTransform& target, const QTransform& other, MatrixOrder order) {
  // Row-vector convention, as QTransform: prepend = other * target.
  target = order == MatrixOrderAppend ? target * other : other * target;
}

REAL pixels_per_unit(Unit unit) {
  switch (unit) {
    case UnitWorld:
    case UnitDisplay:
    case UnitPixel:
      return 1.0f;
    case UnitPoint:
      return 96.0f / 72.0f;
    case UnitInch:
      return 96.0f;
    case UnitDocument:
      return 96.0f / 300.0f;
    case UnitMillimeter:
      return 96.0f / 25.4f;
  }
  return 1.0f;
}

}  // namespace detail
}  // namespace quill::gdiplus
