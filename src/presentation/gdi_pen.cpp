#include "presentation/gdi_pen.h"

#include "presentation/gdi_brush.h"

namespace quill::presentation {

using namespace gdiplus;

void GdiPen::dispose() {
  if (handle_ == nullptr) return;
  GdipDeletePen(handle_);
  handle_ = nullptr;
}

Status GdiPen::create(ARGB colour, REAL width) {
  GpPen* made = nullptr;
  const Status status = GdipCreatePen1(colour, width, UnitWorld, &made);
  adopt(made);
  return status;
}

Status GdiPen::create_pen2(const GdiBrush& brush, REAL width) {
  GpPen* made = nullptr;
  const Status status = GdipCreatePen2(brush.handle(), width, UnitWorld, &made);
  adopt(made);
  return status;
}

Status GdiPen::clone(GdiPen& target) const {
  GpPen* made = nullptr;
  const Status status = GdipClonePen(handle_, &made);
  target.adopt(made);
  return status;
}

void GdiPen::adopt(GpPen* pen) {
  dispose();
  handle_ = pen;
}

Status GdiPen::set_pen_width(REAL width) { return GdipSetPenWidth(handle_, width); }
Status GdiPen::get_pen_width(REAL& width) { return GdipGetPenWidth(handle_, &width); }
Status GdiPen::set_pen_line_cap197819(LineCap start, LineCap end, DashCap dash) {
  return GdipSetPenLineCap197819(handle_, start, end, dash);
}
Status GdiPen::set_pen_start_cap(LineCap cap) { return GdipSetPenStartCap(handle_, cap); }
Status GdiPen::set_pen_end_cap(LineCap cap) { return GdipSetPenEndCap(handle_, cap); }
Status GdiPen::set_pen_dash_cap197819(DashCap cap) { return GdipSetPenDashCap197819(handle_, cap); }
Status GdiPen::get_pen_start_cap(LineCap& cap) { return GdipGetPenStartCap(handle_, &cap); }
Status GdiPen::get_pen_end_cap(LineCap& cap) { return GdipGetPenEndCap(handle_, &cap); }
Status GdiPen::get_pen_dash_cap197819(DashCap& cap) { return GdipGetPenDashCap197819(handle_, &cap); }
Status GdiPen::set_pen_line_join(LineJoin join) { return GdipSetPenLineJoin(handle_, join); }
Status GdiPen::get_pen_line_join(LineJoin& join) { return GdipGetPenLineJoin(handle_, &join); }
Status GdiPen::set_pen_miter_limit(REAL limit) { return GdipSetPenMiterLimit(handle_, limit); }
Status GdiPen::get_pen_miter_limit(REAL& limit) { return GdipGetPenMiterLimit(handle_, &limit); }
Status GdiPen::set_pen_mode(PenAlignment mode) { return GdipSetPenMode(handle_, mode); }
Status GdiPen::get_pen_mode(PenAlignment& mode) { return GdipGetPenMode(handle_, &mode); }
Status GdiPen::get_pen_fill_type(PenType& type) { return GdipGetPenFillType(handle_, &type); }
Status GdiPen::set_pen_color(ARGB colour) { return GdipSetPenColor(handle_, colour); }
Status GdiPen::get_pen_color(ARGB& colour) { return GdipGetPenColor(handle_, &colour); }
Status GdiPen::set_pen_brush_fill(const GdiBrush& brush) { return GdipSetPenBrushFill(handle_, brush.handle()); }

Status GdiPen::get_pen_brush_fill(GdiBrush& brush) {
  GpBrush* made = nullptr;
  const Status status = GdipGetPenBrushFill(handle_, &made);
  brush.adopt(made);
  return status;
}

Status GdiPen::set_pen_dash_style(DashStyle style) { return GdipSetPenDashStyle(handle_, style); }
Status GdiPen::get_pen_dash_style(DashStyle& style) { return GdipGetPenDashStyle(handle_, &style); }
Status GdiPen::set_pen_dash_offset(REAL offset) { return GdipSetPenDashOffset(handle_, offset); }
Status GdiPen::get_pen_dash_offset(REAL& offset) { return GdipGetPenDashOffset(handle_, &offset); }

Status GdiPen::set_pen_dash_array(const std::vector<REAL>& dashes, INT count) {
  if (count < 0 || static_cast<std::size_t>(count) > dashes.size()) return InvalidParameter;
  return GdipSetPenDashArray(handle_, dashes.data(), count);
}

Status GdiPen::get_pen_dash_array(std::vector<REAL>& dashes, INT count) {
  if (count < 0) return InvalidParameter;
  dashes.resize(static_cast<std::size_t>(count));
  return GdipGetPenDashArray(handle_, dashes.data(), count);
}

Status GdiPen::get_pen_dash_count(INT& count) { return GdipGetPenDashCount(handle_, &count); }

Status GdiPen::set_pen_compound_array(const std::vector<REAL>& bands, INT count) {
  if (count < 0 || static_cast<std::size_t>(count) > bands.size()) return InvalidParameter;
  return GdipSetPenCompoundArray(handle_, bands.data(), count);
}

Status GdiPen::get_pen_compound_array(std::vector<REAL>& bands, INT count) {
  if (count < 0) return InvalidParameter;
  bands.resize(static_cast<std::size_t>(count));
  return GdipGetPenCompoundArray(handle_, bands.data(), count);
}

Status GdiPen::get_pen_compound_count(INT& count) { return GdipGetPenCompoundCount(handle_, &count); }
Status GdiPen::set_pen_unit(Unit unit) { return GdipSetPenUnit(handle_, unit); }
Status GdiPen::get_pen_unit(Unit& unit) { return GdipGetPenUnit(handle_, &unit); }
Status GdiPen::set_pen_transform(GpMatrix* matrix) { return GdipSetPenTransform(handle_, matrix); }
Status GdiPen::get_pen_transform(GpMatrix* matrix) { return GdipGetPenTransform(handle_, matrix); }
Status GdiPen::reset_pen_transform() { return GdipResetPenTransform(handle_); }
Status GdiPen::multiply_pen_transform(const GpMatrix* matrix, MatrixOrder order) {
  return GdipMultiplyPenTransform(handle_, matrix, order);
}
Status GdiPen::translate_pen_transform(REAL dx, REAL dy, MatrixOrder order) {
  return GdipTranslatePenTransform(handle_, dx, dy, order);
}
Status GdiPen::scale_pen_transform(REAL sx, REAL sy, MatrixOrder order) {
  return GdipScalePenTransform(handle_, sx, sy, order);
}
Status GdiPen::rotate_pen_transform(REAL angle, MatrixOrder order) {
  return GdipRotatePenTransform(handle_, angle, order);
}

}  // namespace quill::presentation
