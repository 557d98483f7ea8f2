#include "presentation/gdi_brush.h"

#include "presentation/gdi_image.h"

namespace quill::presentation {

using namespace gdiplus;

template <typename Make>
Status GdiBrush::make(Make&& call) {
  GpBrush* made = nullptr;
  const Status status = call(&made);
  adopt(made);
  return status;
}

void GdiBrush::dispose() {
  if (handle_ == nullptr) return;
  GdipDeleteBrush(handle_);
  handle_ = nullptr;
}

Status GdiBrush::create_solid(ARGB colour) {
  return make([&](GpBrush** out) { return GdipCreateSolidFill(colour, out); });
}

void GdiBrush::adopt(GpBrush* brush) {
  dispose();
  handle_ = brush;
}

Status GdiBrush::clone(GdiBrush& target) const {
  GpBrush* made = nullptr;
  const Status status = GdipCloneBrush(handle_, &made);
  target.adopt(made);
  return status;
}

Status GdiBrush::get_brush_type(BrushType& type) { return GdipGetBrushType(handle_, &type); }
Status GdiBrush::set_solid_color(ARGB colour) { return GdipSetSolidFillColor(handle_, colour); }
Status GdiBrush::get_solid_fill_color(ARGB& colour) { return GdipGetSolidFillColor(handle_, &colour); }

Status GdiBrush::create_hatch_brush(HatchStyle style, ARGB foreground, ARGB background) {
  return make([&](GpBrush** out) { return GdipCreateHatchBrush(style, foreground, background, out); });
}

Status GdiBrush::get_hatch_style(HatchStyle& style) { return GdipGetHatchStyle(handle_, &style); }
Status GdiBrush::get_hatch_foreground_color(ARGB& colour) { return GdipGetHatchForegroundColor(handle_, &colour); }
Status GdiBrush::get_hatch_background_color(ARGB& colour) { return GdipGetHatchBackgroundColor(handle_, &colour); }

Status GdiBrush::create_linear_gradient(PointF first, PointF second, ARGB first_colour, ARGB second_colour) {
  return make([&](GpBrush** out) {
    return GdipCreateLineBrush(&first, &second, first_colour, second_colour, WrapModeTile, out);
  });
}

Status GdiBrush::create_line_brush_from_rect(const RectF& rect, ARGB first_colour, ARGB second_colour,
                                             LinearGradientMode mode) {
  return make([&](GpBrush** out) {
    return GdipCreateLineBrushFromRect(&rect, first_colour, second_colour, mode, WrapModeTile, out);
  });
}

Status GdiBrush::create_line_brush_from_rect_with_angle(const RectF& rect, ARGB first_colour, ARGB second_colour,
                                                        REAL angle, bool angle_scalable) {
  return make([&](GpBrush** out) {
    return GdipCreateLineBrushFromRectWithAngle(&rect, first_colour, second_colour, angle, angle_scalable ? 1 : 0,
                                                WrapModeTile, out);
  });
}

Status GdiBrush::set_line_colors(ARGB first_colour, ARGB second_colour) {
  return GdipSetLineColors(handle_, first_colour, second_colour);
}

Status GdiBrush::get_line_colors(ARGB& first_colour, ARGB& second_colour) {
  ARGB colours[2] = {0, 0};
  const Status status = GdipGetLineColors(handle_, colours);
  if (status == Ok) {
    first_colour = colours[0];
    second_colour = colours[1];
  }
  return status;
}

Status GdiBrush::get_line_rect(RectF& rect) { return GdipGetLineRect(handle_, &rect); }
Status GdiBrush::set_line_gamma_correction(bool use_gamma) {
  return GdipSetLineGammaCorrection(handle_, use_gamma ? 1 : 0);
}

Status GdiBrush::get_line_gamma_correction(bool& use_gamma) {
  BOOL value = 0;
  const Status status = GdipGetLineGammaCorrection(handle_, &value);
  if (status == Ok) use_gamma = value != 0;
  return status;
}

Status GdiBrush::get_line_blend_count(INT& count) { return GdipGetLineBlendCount(handle_, &count); }

Status GdiBrush::set_line_blend(const std::vector<REAL>& factors, const std::vector<REAL>& positions, INT count) {
  if (count < 0 || static_cast<std::size_t>(count) > factors.size() ||
      static_cast<std::size_t>(count) > positions.size())
    return InvalidParameter;
  return GdipSetLineBlend(handle_, factors.data(), positions.data(), count);
}

Status GdiBrush::get_line_blend(std::vector<REAL>& factors, std::vector<REAL>& positions, INT count) {
  if (count < 0) return InvalidParameter;
  factors.resize(static_cast<std::size_t>(count));
  positions.resize(static_cast<std::size_t>(count));
  return GdipGetLineBlend(handle_, factors.data(), positions.data(), count);
}

Status GdiBrush::get_line_preset_blend_count(INT& count) { return GdipGetLinePresetBlendCount(handle_, &count); }

Status GdiBrush::set_line_preset_blend(const std::vector<ARGB>& colours, const std::vector<REAL>& positions,
                                       INT count) {
  if (count < 0 || static_cast<std::size_t>(count) > colours.size() ||
      static_cast<std::size_t>(count) > positions.size())
    return InvalidParameter;
  return GdipSetLinePresetBlend(handle_, colours.data(), positions.data(), count);
}

Status GdiBrush::get_line_preset_blend(std::vector<ARGB>& colours, std::vector<REAL>& positions, INT count) {
  if (count < 0) return InvalidParameter;
  colours.resize(static_cast<std::size_t>(count));
  positions.resize(static_cast<std::size_t>(count));
  return GdipGetLinePresetBlend(handle_, colours.data(), positions.data(), count);
}

Status GdiBrush::set_line_sigma_blend(REAL focus, REAL scale) { return GdipSetLineSigmaBlend(handle_, focus, scale); }
Status GdiBrush::set_line_linear_blend(REAL focus, REAL scale) { return GdipSetLineLinearBlend(handle_, focus, scale); }
Status GdiBrush::set_line_wrap_mode(WrapMode wrap) { return GdipSetLineWrapMode(handle_, wrap); }
Status GdiBrush::get_line_wrap_mode(WrapMode& wrap) { return GdipGetLineWrapMode(handle_, &wrap); }

Status GdiBrush::create_texture(const GdiImage& image, WrapMode wrap) {
  return make([&](GpBrush** out) { return GdipCreateTexture(image.handle(), wrap, out); });
}

Status GdiBrush::create_texture2(const GdiImage& image, REAL x, REAL y, REAL width, REAL height) {
  return create_texture2(image, WrapModeTile, x, y, width, height);
}

Status GdiBrush::create_texture2(const GdiImage& image, WrapMode wrap, REAL x, REAL y, REAL width, REAL height) {
  return make([&](GpBrush** out) { return GdipCreateTexture2(image.handle(), wrap, x, y, width, height, out); });
}

Status GdiBrush::set_texture_wrap_mode(WrapMode wrap) { return GdipSetTextureWrapMode(handle_, wrap); }
Status GdiBrush::get_texture_wrap_mode(WrapMode& wrap) { return GdipGetTextureWrapMode(handle_, &wrap); }

Status GdiBrush::get_texture_image(GdiImage& image) {
  GpImage* made = nullptr;
  const Status status = GdipGetTextureImage(handle_, &made);
  image.adopt(made);
  return status;
}

Status GdiBrush::set_texture_transform(const GpMatrix* matrix) { return GdipSetTextureTransform(handle_, matrix); }
Status GdiBrush::get_texture_transform(GpMatrix* matrix) { return GdipGetTextureTransform(handle_, matrix); }
Status GdiBrush::reset_texture_transform() { return GdipResetTextureTransform(handle_); }
Status GdiBrush::multiply_texture_transform(const GpMatrix* matrix, MatrixOrder order) {
  return GdipMultiplyTextureTransform(handle_, matrix, order);
}
Status GdiBrush::translate_texture_transform(REAL dx, REAL dy, MatrixOrder order) {
  return GdipTranslateTextureTransform(handle_, dx, dy, order);
}
Status GdiBrush::scale_texture_transform(REAL sx, REAL sy, MatrixOrder order) {
  return GdipScaleTextureTransform(handle_, sx, sy, order);
}
Status GdiBrush::rotate_texture_transform(REAL angle, MatrixOrder order) {
  return GdipRotateTextureTransform(handle_, angle, order);
}
Status GdiBrush::set_line_transform(const GpMatrix* matrix) { return GdipSetLineTransform(handle_, matrix); }
Status GdiBrush::get_line_transform(GpMatrix* matrix) { return GdipGetLineTransform(handle_, matrix); }
Status GdiBrush::reset_line_transform() { return GdipResetLineTransform(handle_); }
Status GdiBrush::multiply_line_transform(const GpMatrix* matrix, MatrixOrder order) {
  return GdipMultiplyLineTransform(handle_, matrix, order);
}
Status GdiBrush::translate_line_transform(REAL dx, REAL dy, MatrixOrder order) {
  return GdipTranslateLineTransform(handle_, dx, dy, order);
}
Status GdiBrush::scale_line_transform(REAL sx, REAL sy, MatrixOrder order) {
  return GdipScaleLineTransform(handle_, sx, sy, order);
}
Status GdiBrush::rotate_line_transform(REAL angle, MatrixOrder order) {
  return GdipRotateLineTransform(handle_, angle, order);
}

Status GdiBrush::create_path_gradient(const std::vector<PointF>& points, INT count, WrapMode wrap) {
  if (count < 0 || static_cast<std::size_t>(count) > points.size()) {
    adopt(nullptr);
    return InvalidParameter;
  }
  return make([&](GpBrush** out) { return GdipCreatePathGradient(points.data(), count, wrap, out); });
}

Status GdiBrush::create_path_gradient_from_path(const GpPath* path) {
  return make([&](GpBrush** out) { return GdipCreatePathGradientFromPath(path, out); });
}

Status GdiBrush::set_path_gradient_center_color(ARGB colour) { return GdipSetPathGradientCenterColor(handle_, colour); }
Status GdiBrush::get_path_gradient_center_color(ARGB& colour) {
  return GdipGetPathGradientCenterColor(handle_, &colour);
}
Status GdiBrush::get_path_gradient_transform(GpMatrix* matrix) { return GdipGetPathGradientTransform(handle_, matrix); }
Status GdiBrush::set_path_gradient_transform(GpMatrix* matrix) { return GdipSetPathGradientTransform(handle_, matrix); }
Status GdiBrush::reset_path_gradient_transform() { return GdipResetPathGradientTransform(handle_); }
Status GdiBrush::multiply_path_gradient_transform(const GpMatrix* matrix, MatrixOrder order) {
  return GdipMultiplyPathGradientTransform(handle_, matrix, order);
}
Status GdiBrush::translate_path_gradient_transform(REAL dx, REAL dy, MatrixOrder order) {
  return GdipTranslatePathGradientTransform(handle_, dx, dy, order);
}
Status GdiBrush::scale_path_gradient_transform(REAL sx, REAL sy, MatrixOrder order) {
  return GdipScalePathGradientTransform(handle_, sx, sy, order);
}
Status GdiBrush::rotate_path_gradient_transform(REAL angle, MatrixOrder order) {
  return GdipRotatePathGradientTransform(handle_, angle, order);
}
Status GdiBrush::set_path_gradient_path(const GpPath* path) { return GdipSetPathGradientPath(handle_, path); }
Status GdiBrush::get_path_gradient_path(GpPath* path) { return GdipGetPathGradientPath(handle_, path); }
Status GdiBrush::set_path_gradient_center_point(PointF point) {
  return GdipSetPathGradientCenterPoint(handle_, &point);
}
Status GdiBrush::get_path_gradient_center_point(PointF& point) {
  return GdipGetPathGradientCenterPoint(handle_, &point);
}
Status GdiBrush::get_path_gradient_rect(RectF& rect) { return GdipGetPathGradientRect(handle_, &rect); }
Status GdiBrush::set_path_gradient_wrap_mode(WrapMode wrap) { return GdipSetPathGradientWrapMode(handle_, wrap); }
Status GdiBrush::get_path_gradient_wrap_mode(WrapMode& wrap) { return GdipGetPathGradientWrapMode(handle_, &wrap); }

}  // namespace quill::presentation
