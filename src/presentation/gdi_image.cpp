#include "presentation/gdi_image.h"

#include <vector>

#include "presentation/gdi_graphics.h"
#include "presentation/wide_text.h"

namespace quill::presentation {

using namespace gdiplus;

namespace {

template <typename Make>
Status make_into(GdiImage& image, Make&& call) {
  GpImage* made = nullptr;
  const Status status = call(&made);
  image.adopt(made);
  return status;
}

std::string bytes_of(const BYTE* data, std::size_t count) {
  return data == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(data), count);
}

}  // namespace

void GdiImage::dispose() {
  if (handle_ == nullptr) return;
  GdipDisposeImage(handle_);
  handle_ = nullptr;
}

void GdiImage::adopt(GpImage* image) {
  dispose();
  handle_ = image;
}

Status GdiImage::load_from_file(const std::string& path) {
  const std::u16string wide = to_wide(path);
  return make_into(*this, [&](GpImage** out) { return GdipLoadImageFromFile(wide.c_str(), out); });
}

Status GdiImage::load_from_bytes(std::string_view bytes) {
  dispose();  // no image may outlive the memory it was decoded from
  stream_.create(bytes, true);
  return make_into(*this, [&](GpImage** out) { return GdipLoadImageFromStream(stream_.stream(), out); });
}

Status GdiImage::save_to_bytes(std::string& bytes, const std::string& encoder) {
  HGlobalStream target;
  target.create({}, false);
  CLSID clsid;
  const std::u16string wide = to_wide(encoder);
  win::CLSIDFromString(wide.c_str(), &clsid);
  const Status status = GdipSaveImageToStream(handle_, target.stream(), &clsid, nullptr);
  bytes = target.bytes();
  return status;
}

Status GdiImage::get_image_type(ImageType& type) { return GdipGetImageType(handle_, &type); }

Status GdiImage::create_bitmap_from_file(const std::string& path) {
  const std::u16string wide = to_wide(path);
  return make_into(*this, [&](GpImage** out) { return GdipCreateBitmapFromFile(wide.c_str(), out); });
}

Status GdiImage::get_image_width(UINT& width) { return GdipGetImageWidth(handle_, &width); }
Status GdiImage::get_image_height(UINT& height) { return GdipGetImageHeight(handle_, &height); }

Status GdiImage::create_bitmap_from_graphics(INT width, INT height, const GdiGraphics& graphics) {
  return make_into(*this,
                   [&](GpImage** out) { return GdipCreateBitmapFromGraphics(width, height, graphics.handle(), out); });
}

Status GdiImage::create_bitmap(INT width, INT height, INT stride, PixelFormat format, BYTE* scan0) {
  return make_into(*this,
                   [&](GpImage** out) { return GdipCreateBitmapFromScan0(width, height, stride, format, scan0, out); });
}

Status GdiImage::create_bitmap_from_hbitmap(HBITMAP bitmap, HPALETTE palette) {
  return make_into(*this, [&](GpImage** out) { return GdipCreateBitmapFromHBITMAP(bitmap, palette, out); });
}

Status GdiImage::create_bitmap_from_hicon(HICON icon) {
  return make_into(*this, [&](GpImage** out) { return GdipCreateBitmapFromHICON(icon, out); });
}

Status GdiImage::create_hbitmap_from_bitmap(HBITMAP& bitmap, ARGB background) {
  return GdipCreateHBITMAPFromBitmap(handle_, &bitmap, background);
}

Status GdiImage::create_hicon_from_bitmap(HICON& icon) { return GdipCreateHICONFromBitmap(handle_, &icon); }
Status GdiImage::bitmap_set_pixel(INT x, INT y, ARGB colour) { return GdipBitmapSetPixel(handle_, x, y, colour); }
Status GdiImage::bitmap_get_pixel(INT x, INT y, ARGB& colour) { return GdipBitmapGetPixel(handle_, x, y, &colour); }
Status GdiImage::bitmap_set_resolution(REAL xdpi, REAL ydpi) { return GdipBitmapSetResolution(handle_, xdpi, ydpi); }

Status GdiImage::get_image_raw_format(std::string& format) {
  GUID guid;
  const Status status = GdipGetImageRawFormat(handle_, &guid);
  if (status == Ok) format = guid_bytes(guid);
  return status;
}

Status GdiImage::save_to_file(const std::string& path, const std::string& encoder) {
  CLSID clsid;
  const std::u16string wide_encoder = to_wide(encoder);
  win::CLSIDFromString(wide_encoder.c_str(), &clsid);
  const std::u16string wide_path = to_wide(path);
  return GdipSaveImageToFile(handle_, wide_path.c_str(), &clsid, nullptr);
}

Status GdiImage::get_encoder_parameter_list(const std::string& encoder, std::vector<EncoderParameterRecord>& list) {
  const CLSID clsid = guid_from_bytes(encoder);
  UINT size = 0;
  if (const Status status = GdipGetEncoderParameterListSize(handle_, &clsid, &size); status != Ok) return status;
  std::vector<std::uint64_t> buffer((size + sizeof(std::uint64_t) - 1) / sizeof(std::uint64_t) + 1);
  auto* parameters = reinterpret_cast<EncoderParameters*>(buffer.data());
  const Status status = GdipGetEncoderParameterList(handle_, &clsid, size, parameters);
  list.clear();
  if (status != Ok) return status;
  for (UINT i = 0; i < parameters->Count; ++i) {
    const EncoderParameter& p = parameters->Parameter[i];
    list.push_back({guid_bytes(p.Guid), p.NumberOfValues, p.Type});
  }
  return status;
}

Status GdiImage::get_image_dimension(REAL& width, REAL& height) {
  return GdipGetImageDimension(handle_, &width, &height);
}
Status GdiImage::get_image_bounds(RectF& bounds, Unit& unit) { return GdipGetImageBounds(handle_, &bounds, &unit); }
Status GdiImage::get_image_horizontal_resolution(REAL& resolution) {
  return GdipGetImageHorizontalResolution(handle_, &resolution);
}
Status GdiImage::get_image_vertical_resolution(REAL& resolution) {
  return GdipGetImageVerticalResolution(handle_, &resolution);
}
Status GdiImage::get_image_flags(UINT& flags) { return GdipGetImageFlags(handle_, &flags); }
Status GdiImage::get_image_pixel_format(PixelFormat& format) { return GdipGetImagePixelFormat(handle_, &format); }

Status GdiImage::get_image_encoders(std::vector<ImageEncoderRecord>& list) {
  UINT count = 0, size = 0;
  if (const Status status = GdipGetImageEncodersSize(&count, &size); status != Ok) return status;
  std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);
  auto* codecs = reinterpret_cast<ImageCodecInfo*>(buffer.data());
  const Status status = GdipGetImageEncoders(count, size, codecs);
  list.clear();
  if (status != Ok) return status;
  for (UINT i = 0; i < count; ++i) {
    const ImageCodecInfo& c = codecs[i];
    const std::size_t signature_bytes = static_cast<std::size_t>(c.SigCount) * c.SigSize;
    list.push_back({guid_bytes(c.Clsid), guid_bytes(c.FormatID), from_wide(c.CodecName), from_wide(c.DllName),
                    from_wide(c.FormatDescription), from_wide(c.FilenameExtension), from_wide(c.MimeType), c.Flags,
                    c.Version, c.SigCount, c.SigSize, bytes_of(c.SigPattern, signature_bytes),
                    bytes_of(c.SigMask, signature_bytes)});
  }
  return status;
}

Status GdiImage::save_add(const EncoderParameters* parameters) { return GdipSaveAdd(handle_, parameters); }

Status GdiImage::save_add_image(const GdiImage& image, const EncoderParameters* parameters) {
  return GdipSaveAddImage(handle_, image.handle(), parameters);
}

Status GdiImage::get_frame_delays(std::vector<std::int32_t>& delays) {
  UINT size = 0;
  GdipGetPropertyItemSize(handle_, PropertyTagFrameDelay, &size);
  std::vector<std::uint64_t> buffer(size / sizeof(std::uint64_t) + 1);
  auto* item = reinterpret_cast<PropertyItem*>(buffer.data());
  const Status status = GdipGetPropertyItem(handle_, PropertyTagFrameDelay, size, item);
  delays.clear();
  UINT frames = 0;
  get_frame_count(frames);
  if (status != Ok) return status;
  const std::size_t available = item->length / sizeof(std::int32_t);
  const auto* values = static_cast<const std::int32_t*>(item->value);
  for (UINT i = 0; i < frames && i < available; ++i) delays.push_back(values[i]);
  return status;
}

Status GdiImage::get_frame_count(UINT& count) {
  UINT dimensions = 0;
  GdipImageGetFrameDimensionsCount(handle_, &dimensions);
  std::vector<GUID> list(dimensions > 0 ? dimensions : 1);
  GdipImageGetFrameDimensionsList(handle_, list.data(), dimensions);
  return GdipImageGetFrameCount(handle_, &list[0], &count);
}

Status GdiImage::image_select_active_frame(const std::string& dimension, UINT index) {
  const GUID guid = guid_from_bytes(dimension);
  return GdipImageSelectActiveFrame(handle_, &guid, index);
}

}  // namespace quill::presentation
