#pragma once
// GdiBrush: owns one brush of the drawing layer, of any kind (solid, hatch,
// linear gradient, texture, path gradient). Creating again releases the brush
// held before (after the new one exists); a failed creation leaves the object
// empty. One thread at a time; never copied.

#include <vector>

#include "platform/gdiplus/brush.h"

namespace quill::presentation {

class GdiImage;

class GdiBrush final {
 public:
  using Status = gdiplus::Status;
  using REAL = gdiplus::REAL;
  using INT = gdiplus::INT;
  using ARGB = gdiplus::ARGB;
  using MatrixOrder = gdiplus::MatrixOrder;
  static constexpr MatrixOrder kPrepend = gdiplus::MatrixOrderPrepend;

  GdiBrush() = default;
  ~GdiBrush() { dispose(); }
  GdiBrush(const GdiBrush&) = delete;
  GdiBrush& operator=(const GdiBrush&) = delete;

  void dispose();
  Status create_solid(ARGB colour);
  gdiplus::GpBrush* handle() const { return handle_; }
  void adopt(gdiplus::GpBrush* brush);
  // The copy is adopted by `target`.
  Status clone(GdiBrush& target) const;
  Status get_brush_type(gdiplus::BrushType& type);
  // Changes the colour of the held solid brush in place.
  Status set_solid_color(ARGB colour);
  Status get_solid_fill_color(ARGB& colour);
  Status create_hatch_brush(gdiplus::HatchStyle style, ARGB foreground, ARGB background);
  Status get_hatch_style(gdiplus::HatchStyle& style);
  Status get_hatch_foreground_color(ARGB& colour);
  Status get_hatch_background_color(ARGB& colour);
  // The first colour at the first point, the second at the second; tiled.
  Status create_linear_gradient(gdiplus::PointF first, gdiplus::PointF second, ARGB first_colour, ARGB second_colour);
  Status create_line_brush_from_rect(const gdiplus::RectF& rect, ARGB first_colour, ARGB second_colour,
                                     gdiplus::LinearGradientMode mode);
  Status create_line_brush_from_rect_with_angle(const gdiplus::RectF& rect, ARGB first_colour, ARGB second_colour,
                                                REAL angle, bool angle_scalable);
  Status set_line_colors(ARGB first_colour, ARGB second_colour);
  Status get_line_colors(ARGB& first_colour, ARGB& second_colour);
  Status get_line_rect(gdiplus::RectF& rect);
  Status set_line_gamma_correction(bool use_gamma);
  Status get_line_gamma_correction(bool& use_gamma);
  Status get_line_blend_count(INT& count);
  // `count` entries of each vector; InvalidParameter when one holds fewer.
  Status set_line_blend(const std::vector<REAL>& factors, const std::vector<REAL>& positions, INT count);
  Status get_line_blend(std::vector<REAL>& factors, std::vector<REAL>& positions, INT count);
  Status get_line_preset_blend_count(INT& count);
  Status set_line_preset_blend(const std::vector<ARGB>& colours, const std::vector<REAL>& positions, INT count);
  Status get_line_preset_blend(std::vector<ARGB>& colours, std::vector<REAL>& positions, INT count);
  Status set_line_sigma_blend(REAL focus, REAL scale);
  Status set_line_linear_blend(REAL focus, REAL scale);
  Status set_line_wrap_mode(gdiplus::WrapMode wrap);
  Status get_line_wrap_mode(gdiplus::WrapMode& wrap);
  Status create_texture(const GdiImage& image, gdiplus::WrapMode wrap = gdiplus::WrapModeTile);
  Status create_texture2(const GdiImage& image, REAL x, REAL y, REAL width, REAL height);
  Status create_texture2(const GdiImage& image, gdiplus::WrapMode wrap, REAL x, REAL y, REAL width, REAL height);
  Status set_texture_wrap_mode(gdiplus::WrapMode wrap);
  Status get_texture_wrap_mode(gdiplus::WrapMode& wrap);
  // The texture's picture is adopted by `image`.
  Status get_texture_image(GdiImage& image);
  Status set_texture_transform(const gdiplus::GpMatrix* matrix);
  Status get_texture_transform(gdiplus::GpMatrix* matrix);
  Status reset_texture_transform();
  Status multiply_texture_transform(const gdiplus::GpMatrix* matrix, MatrixOrder order = kPrepend);
  Status translate_texture_transform(REAL dx, REAL dy, MatrixOrder order = kPrepend);
  Status scale_texture_transform(REAL sx, REAL sy, MatrixOrder order = kPrepend);
  Status rotate_texture_transform(REAL angle, MatrixOrder order = kPrepend);
  Status set_line_transform(const gdiplus::GpMatrix* matrix);
  Status get_line_transform(gdiplus::GpMatrix* matrix);
  Status reset_line_transform();
  Status multiply_line_transform(const gdiplus::GpMatrix* matrix, MatrixOrder order = kPrepend);
  Status translate_line_transform(REAL dx, REAL dy, MatrixOrder order = kPrepend);
  Status scale_line_transform(REAL sx, REAL sy, MatrixOrder order = kPrepend);
  Status rotate_line_transform(REAL angle, MatrixOrder order = kPrepend);
  Status create_path_gradient(const std::vector<gdiplus::PointF>& points, INT count,
                              gdiplus::WrapMode wrap = gdiplus::WrapModeClamp);
  Status create_path_gradient_from_path(const gdiplus::GpPath* path);
  Status set_path_gradient_center_color(ARGB colour);
  Status get_path_gradient_center_color(ARGB& colour);
  Status get_path_gradient_transform(gdiplus::GpMatrix* matrix);
  Status set_path_gradient_transform(gdiplus::GpMatrix* matrix);
  Status reset_path_gradient_transform();
  Status multiply_path_gradient_transform(const gdiplus::GpMatrix* matrix, MatrixOrder order = kPrepend);
  Status translate_path_gradient_transform(REAL dx, REAL dy, MatrixOrder order = kPrepend);
  Status scale_path_gradient_transform(REAL sx, REAL sy, MatrixOrder order = kPrepend);
  Status rotate_path_gradient_transform(REAL angle, MatrixOrder order = kPrepend);
  Status set_path_gradient_path(const gdiplus::GpPath* path);
  Status get_path_gradient_path(gdiplus::GpPath* path);
  Status set_path_gradient_center_point(gdiplus::PointF point);
  Status get_path_gradient_center_point(gdiplus::PointF& point);
  Status get_path_gradient_rect(gdiplus::RectF& rect);
  Status set_path_gradient_wrap_mode(gdiplus::WrapMode wrap);
  Status get_path_gradient_wrap_mode(gdiplus::WrapMode& wrap);

 private:
  template <typename Make>
  Status make(Make&& call);

  gdiplus::GpBrush* handle_ = nullptr;
};

}  // namespace quill::presentation
