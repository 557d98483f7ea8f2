// Encoders: the list of built-in encoders, their parameter lists and saving.
#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdiplus/gdiplus_private.h"
#include "platform/gdiplus/image.h"
#include "platform/gdiplus/image_private.h"

namespace quill::gdiplus {
namespace {

GUID encoder_clsid(std::uint32_t d1) {
  GUID g;
  g.Data1 = d1;
  g.Data2 = 0x1a04;
  g.Data3 = 0x11d3;
  const std::uint8_t tail[8] = {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e};
  std::memcpy(g.Data4, tail, 8);
  return g;
}

struct Encoder {
  const CLSID* clsid;
  const GUID* format;
  const char* qt_name;
  std::u16string codec_name, format_description, extension, mime;
  std::vector<BYTE> signature;
};

const std::vector<Encoder>& encoders() {
  static const std::vector<Encoder> list = {
      {&EncoderClsidBMP,
       &ImageFormatBMP,
       "bmp",
       u"Built-in BMP Codec",
       u"BMP",
       u"*.BMP;*.DIB;*.RLE",
       u"image/bmp",
       {0x42, 0x4D}},
      {&EncoderClsidJPEG,
       &ImageFormatJPEG,
       "jpeg",
       u"Built-in JPEG Codec",
       u"JPEG",
       u"*.JPG;*.JPEG;*.JPE;*.JFIF",
       u"image/jpeg",
       {0xFF, 0xD8}},
      {&EncoderClsidPNG,
       &ImageFormatPNG,
       "png",
       u"Built-in PNG Codec",
       u"PNG",
       u"*.PNG",
       u"image/png",
       {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A}},
  };
  return list;
}

const Encoder* find_encoder(const CLSID* clsid) {
  if (clsid == nullptr) return nullptr;
  for (const Encoder& e : encoders())
    if (*e.clsid == *clsid) return &e;
  return nullptr;
}

std::size_t text_bytes(const std::u16string& text) { return (text.size() + 1) * sizeof(WCHAR); }

std::size_t record_extra(const Encoder& e) {
  return text_bytes(e.codec_name) + text_bytes(e.format_description) + text_bytes(e.extension) + text_bytes(e.mime) +
         2 * e.signature.size();
}

int jpeg_quality(const EncoderParameters* parameters) {
  if (parameters == nullptr) return -1;
  for (UINT i = 0; i < parameters->Count; ++i) {
    const EncoderParameter& p = parameters->Parameter[i];
    if (p.Guid == EncoderQuality && p.NumberOfValues >= 1 && p.Type == EncoderParameterValueTypeLong &&
        p.Value != nullptr)
      return static_cast<int>(*static_cast<const std::uint32_t*>(p.Value));
  }
  return -1;
}

Status encode(GpImage* image, const CLSID* encoder, const EncoderParameters* parameters, QByteArray& out) {
  if (image == nullptr || encoder == nullptr) return InvalidParameter;
  const Encoder* e = find_encoder(encoder);
  if (e == nullptr) return FileNotFound;  // GDI+'s answer for an unknown encoder
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, e->qt_name);
  const int quality = jpeg_quality(parameters);
  if (quality >= 0 && *e->clsid == EncoderClsidJPEG) writer.setQuality(quality > 100 ? 100 : quality);
  QImage frame = detail::current_frame(*image);
  frame.setDotsPerMeterX(static_cast<int>(image->dpi_x / 0.0254 + 0.5));
  frame.setDotsPerMeterY(static_cast<int>(image->dpi_y / 0.0254 + 0.5));
  return writer.write(frame) ? Ok : Win32Error;
}

}  // namespace

const CLSID EncoderClsidBMP = encoder_clsid(0x557cf400);
const CLSID EncoderClsidJPEG = encoder_clsid(0x557cf401);
const CLSID EncoderClsidPNG = encoder_clsid(0x557cf406);
const GUID EncoderQuality = [] {
  GUID g;
  win::parse_guid("{1d5be4b5-fa4a-452d-9cdd-5db35105e7eb}", g);
  return g;
}();

Status GdipGetImageEncodersSize(UINT* count, UINT* size) {
  if (count == nullptr || size == nullptr) return InvalidParameter;
  std::size_t total = 0;
  for (const Encoder& e : encoders()) total += sizeof(ImageCodecInfo) + record_extra(e);
  *count = static_cast<UINT>(encoders().size());
  *size = static_cast<UINT>(total);
  return Ok;
}

Status GdipGetImageEncoders(UINT count, UINT size, ImageCodecInfo* buffer) {
  UINT want_count = 0, want_size = 0;
  GdipGetImageEncodersSize(&want_count, &want_size);
  if (buffer == nullptr || count != want_count || size != want_size) return GenericError;
  auto* tail = reinterpret_cast<BYTE*>(buffer + count);
  auto put_text = [&](const std::u16string& text) {
    auto* start = reinterpret_cast<WCHAR*>(tail);
    std::memcpy(tail, text.c_str(), text_bytes(text));
    tail += text_bytes(text);
    return start;
  };
  for (UINT i = 0; i < count; ++i) {
    const Encoder& e = encoders()[i];
    ImageCodecInfo& info = buffer[i];
    info = ImageCodecInfo{};
    info.Clsid = *e.clsid;
    info.FormatID = *e.format;
    info.CodecName = put_text(e.codec_name);
    info.FormatDescription = put_text(e.format_description);
    info.FilenameExtension = put_text(e.extension);
    info.MimeType = put_text(e.mime);
    info.Flags = 0x00010007;  // encoder, decoder, supports bitmaps, built in
    info.Version = 1;
    info.SigCount = 1;
    info.SigSize = static_cast<std::uint32_t>(e.signature.size());
    std::memcpy(tail, e.signature.data(), e.signature.size());
    info.SigPattern = tail;
    tail += e.signature.size();
    std::memset(tail, 0xFF, e.signature.size());
    info.SigMask = tail;
    tail += e.signature.size();
  }
  return Ok;
}

Status GdipGetEncoderParameterListSize(GpImage* image, const CLSID* encoder, UINT* size) {
  if (image == nullptr || encoder == nullptr || size == nullptr) return InvalidParameter;
  const Encoder* e = find_encoder(encoder);
  if (e == nullptr) return FileNotFound;
  // JPEG takes a quality from 0 to 100 (one long range); BMP and PNG take none.
  *size = *e->clsid == EncoderClsidJPEG ? static_cast<UINT>(sizeof(EncoderParameters) + 2 * sizeof(std::uint32_t))
                                        : static_cast<UINT>(sizeof(UINT) + sizeof(void*));  // the count alone, padded
  return Ok;
}

Status GdipGetEncoderParameterList(GpImage* image, const CLSID* encoder, UINT size, EncoderParameters* buffer) {
  UINT needed = 0;
  if (const Status s = GdipGetEncoderParameterListSize(image, encoder, &needed); s != Ok) return s;
  if (buffer == nullptr || size != needed) return InvalidParameter;
  if (!(*encoder == EncoderClsidJPEG)) {
    buffer->Count = 0;
    return Ok;
  }
  auto* range = reinterpret_cast<std::uint32_t*>(reinterpret_cast<BYTE*>(buffer) + sizeof(EncoderParameters));
  range[0] = 0;
  range[1] = 100;
  buffer->Count = 1;
  buffer->Parameter[0].Guid = EncoderQuality;
  buffer->Parameter[0].NumberOfValues = 1;
  buffer->Parameter[0].Type = EncoderParameterValueTypeLongRange;
  buffer->Parameter[0].Value = range;
  return Ok;
}

Status GdipSaveImageToStream(GpImage* image, win::IStream* stream, const CLSID* encoder,
                             const EncoderParameters* parameters) {
  if (stream == nullptr) return InvalidParameter;
  QByteArray bytes;
  if (const Status s = encode(image, encoder, parameters, bytes); s != Ok) return s;
  win::DWORD written = 0;
  if (stream->Write(bytes.constData(), static_cast<win::DWORD>(bytes.size()), &written) != win::S_OK ||
      written != static_cast<win::DWORD>(bytes.size()))
    return Win32Error;
  return Ok;
}

Status GdipSaveImageToFile(GpImage* image, const WCHAR* path, const CLSID* encoder,
                           const EncoderParameters* parameters) {
  if (path == nullptr) return InvalidParameter;
  QByteArray bytes;
  if (const Status s = encode(image, encoder, parameters, bytes); s != Ok) return s;
  QFile file(detail::to_qstring(path));
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return Win32Error;
  return file.write(bytes) == bytes.size() ? Ok : Win32Error;
}

}  // namespace quill::gdiplus
