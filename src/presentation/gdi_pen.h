#pragma once
// GdiPen: owns one pen of the drawing layer. Creating again releases the pen
// held before (after the new one exists). One thread at a time; never copied.

#include <vector>

#include "platform/gdiplus/pen.h"

namespace quill::presentation {

class GdiBrush;

class GdiPen final {
 public:
  using Status = gdiplus::Status;
  using REAL = gdiplus::REAL;
  using INT = gdiplus::INT;

  GdiPen() = default;
  ~GdiPen() { dispose(); }
  GdiPen(const GdiPen&) = delete;
  GdiPen& operator=(const GdiPen&) = delete;

  void dispose();
  // A solid pen, unit world.
  Status create(gdiplus::ARGB colour, REAL width);
  Status create_pen2(const GdiBrush& brush, REAL width);
  // The copy is adopted by `target`.
  Status clone(GdiPen& target) const;
  gdiplus::GpPen* handle() const { return handle_; }
  void adopt(gdiplus::GpPen* pen);
  Status set_pen_width(REAL width);
  Status get_pen_width(REAL& width);
  Status set_pen_line_cap197819(gdiplus::LineCap start, gdiplus::LineCap end, gdiplus::DashCap dash);
  Status set_pen_start_cap(gdiplus::LineCap cap);
  Status set_pen_end_cap(gdiplus::LineCap cap);
  Status set_pen_dash_cap197819(gdiplus::DashCap cap);
  Status get_pen_start_cap(gdiplus::LineCap& cap);
  Status get_pen_end_cap(gdiplus::LineCap& cap);
  Status get_pen_dash_cap197819(gdiplus::DashCap& cap);
  Status set_pen_line_join(gdiplus::LineJoin join);
  Status get_pen_line_join(gdiplus::LineJoin& join);
  Status set_pen_miter_limit(REAL limit);
  Status get_pen_miter_limit(REAL& limit);
  Status set_pen_mode(gdiplus::PenAlignment mode);
  Status get_pen_mode(gdiplus::PenAlignment& mode);
  Status get_pen_fill_type(gdiplus::PenType& type);
  Status set_pen_color(gdiplus::ARGB colour);
  Status get_pen_color(gdiplus::ARGB& colour);
  Status set_pen_brush_fill(const GdiBrush& brush);
  // The pen's fill is adopted by `brush`.
  Status get_pen_brush_fill(GdiBrush& brush);
  Status set_pen_dash_style(gdiplus::DashStyle style);
  Status get_pen_dash_style(gdiplus::DashStyle& style);
  Status set_pen_dash_offset(REAL offset);
  Status get_pen_dash_offset(REAL& offset);
  // `count` values of `dashes`; InvalidParameter when it holds fewer.
  Status set_pen_dash_array(const std::vector<REAL>& dashes, INT count);
  Status get_pen_dash_array(std::vector<REAL>& dashes, INT count);
  Status get_pen_dash_count(INT& count);
  Status set_pen_compound_array(const std::vector<REAL>& bands, INT count);
  Status get_pen_compound_array(std::vector<REAL>& bands, INT count);
  Status get_pen_compound_count(INT& count);
  Status set_pen_unit(gdiplus::Unit unit);
  Status get_pen_unit(gdiplus::Unit& unit);
  Status set_pen_transform(gdiplus::GpMatrix* matrix);
  Status get_pen_transform(gdiplus::GpMatrix* matrix);
  Status reset_pen_transform();
  Status multiply_pen_transform(const gdiplus::GpMatrix* matrix,
                                gdiplus::MatrixOrder order = gdiplus::MatrixOrderPrepend);
  Status translate_pen_transform(REAL dx, REAL dy, gdiplus::MatrixOrder order = gdiplus::MatrixOrderPrepend);
  Status scale_pen_transform(REAL sx, REAL sy, gdiplus::MatrixOrder order = gdiplus::MatrixOrderPrepend);
  Status rotate_pen_transform(REAL angle, gdiplus::MatrixOrder order = gdiplus::MatrixOrderPrepend);

 private:
  gdiplus::GpPen* handle_ = nullptr;
};

}  // namespace quill::presentation
