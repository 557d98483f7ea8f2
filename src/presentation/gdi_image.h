#pragma once
// GdiImage: owns one image or bitmap of the drawing layer and the memory it
// was decoded from (an HGlobalStream member). The image is disposed before
// that memory is freed, so no image outlives its source. Creating again
// releases the image held before. One thread at a time; never copied.
// GUIDs travel as 16-byte strings; encoders as CLSID registry texts.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gdiplus/image.h"
#include "presentation/hglobal_stream.h"

namespace quill::presentation {

class GdiGraphics;

// One encoder of get_image_encoders. Texts are system text.
struct ImageEncoderRecord {
  std::string clsid;      // 16 bytes
  std::string format_id;  // 16 bytes
  std::string codec_name, dll_name, format_description, filename_extension, mime_type;
  std::uint32_t flags = 0, version = 0, signature_count = 0, signature_size = 0;
  std::string signature_patterns, signature_masks;  // count x size bytes each
};

// One parameter of get_encoder_parameter_list.
struct EncoderParameterRecord {
  std::string guid;  // 16 bytes
  std::uint32_t number_of_values = 0;
  std::uint32_t value_type = 0;
};

class GdiImage final {
 public:
  using Status = gdiplus::Status;
  using REAL = gdiplus::REAL;
  using INT = gdiplus::INT;
  using UINT = gdiplus::UINT;

  GdiImage() = default;
  ~GdiImage() { dispose(); }  // the stream member goes after the image
  GdiImage(const GdiImage&) = delete;
  GdiImage& operator=(const GdiImage&) = delete;

  void dispose();
  gdiplus::GpImage* handle() const { return handle_; }
  void adopt(gdiplus::GpImage* image);
  Status load_from_file(const std::string& path);
  // Decodes `bytes` (any format the layer decodes) from a copy held by this
  // object; an undecodable input leaves the object empty with the load status.
  Status load_from_bytes(std::string_view bytes);
  // Encodes into `bytes` with the encoder of CLSID text `encoder`.
  Status save_to_bytes(std::string& bytes, const std::string& encoder);
  Status get_image_type(gdiplus::ImageType& type);
  Status create_bitmap_from_file(const std::string& path);
  Status get_image_width(UINT& width);
  Status get_image_height(UINT& height);
  Status create_bitmap_from_graphics(INT width, INT height, const GdiGraphics& graphics);
  Status create_bitmap(INT width, INT height, INT stride, gdiplus::PixelFormat format, gdiplus::BYTE* scan0);
  Status create_bitmap_from_hbitmap(gdiplus::HBITMAP bitmap, gdiplus::HPALETTE palette);
  Status create_bitmap_from_hicon(gdiplus::HICON icon);
  Status create_hbitmap_from_bitmap(gdiplus::HBITMAP& bitmap, gdiplus::ARGB background = 0);
  Status create_hicon_from_bitmap(gdiplus::HICON& icon);
  Status bitmap_set_pixel(INT x, INT y, gdiplus::ARGB colour);
  Status bitmap_get_pixel(INT x, INT y, gdiplus::ARGB& colour);
  Status bitmap_set_resolution(REAL xdpi, REAL ydpi);
  Status get_image_raw_format(std::string& format);
  Status save_to_file(const std::string& path, const std::string& encoder);
  // `encoder` is a 16-byte CLSID. The list stays as it was when the size query fails.
  Status get_encoder_parameter_list(const std::string& encoder, std::vector<EncoderParameterRecord>& list);
  Status get_image_dimension(REAL& width, REAL& height);
  Status get_image_bounds(gdiplus::RectF& bounds, gdiplus::Unit& unit);
  Status get_image_horizontal_resolution(REAL& resolution);
  Status get_image_vertical_resolution(REAL& resolution);
  Status get_image_flags(UINT& flags);
  Status get_image_pixel_format(gdiplus::PixelFormat& format);
  // The list stays as it was when the size query fails.
  Status get_image_encoders(std::vector<ImageEncoderRecord>& list);
  Status save_add(const gdiplus::EncoderParameters* parameters = nullptr);
  Status save_add_image(const GdiImage& image, const gdiplus::EncoderParameters* parameters = nullptr);
  // Hundredths of a second per frame; the status of the property read.
  Status get_frame_delays(std::vector<std::int32_t>& delays);
  Status get_frame_count(UINT& count);
  // `dimension` is a 16-byte GUID.
  Status image_select_active_frame(const std::string& dimension, UINT index);

 private:
  gdiplus::GpImage* handle_ = nullptr;
  HGlobalStream stream_;
};

}  // namespace quill::presentation
