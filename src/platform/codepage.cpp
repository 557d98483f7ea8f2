#include "platform/codepage.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>

namespace quill::platform {
namespace {

// One iconv descriptor per (thread, direction), opened on first use.
class Converter final {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts `in`, calling `on_bad(in_left_ptr, in_left)` at a byte that cannot
  // be converted; it returns how many input bytes to skip and appends its own
  // replacement to the output. `unit` is the output code unit size.
  template <typename OutString, typename OnBad>
  void run(const char* in, size_t in_left, OutString& out, OnBad on_bad) {
    using Unit = typename OutString::value_type;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    auto* src = const_cast<char*>(in);
    while (in_left > 0) {
      char* dst = buffer;
      size_t dst_left = sizeof buffer;
      size_t r = iconv(cd_, &src, &in_left, &dst, &dst_left);
      out.append(reinterpret_cast<const Unit*>(buffer), (dst - buffer) / sizeof(Unit));
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      // EILSEQ or EINVAL (incomplete sequence at the end).
      size_t skip = on_bad(src, in_left, out);
      src += skip;
      in_left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
  }

 private:
  iconv_t cd_;
};

Converter& converter(const char* to, const char* from) {
  thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
  auto& slot = cache[{to, from}];
  if (!slot) slot = std::make_unique<Converter>(to, from);
  return *slot;
}

// A bad GBK byte or pair: one '?', skipping the pair unless its second byte
// could stand on its own (below 0x40, which no GBK trail byte is).
template <typename OutString>
size_t replace_bad_gbk(const char* at, size_t left, OutString& out) {
  out.push_back('?');
  auto lead = static_cast<unsigned char>(at[0]);
  if (lead < 0x80 || left < 2) return 1;
  auto trail = static_cast<unsigned char>(at[1]);
  return trail < 0x40 ? 1 : 2;
}

// A character that cannot be encoded: one '?', skipping one whole input character.
size_t replace_bad_utf16(const char* at, size_t left, std::string& out) {
  out.push_back('?');
  if (left < 2) return left;
  auto unit = static_cast<unsigned char>(at[0]) | static_cast<unsigned char>(at[1]) << 8;
  bool high_surrogate = unit >= 0xD800 && unit < 0xDC00;
  if (high_surrogate && left >= 4) {
    auto next = static_cast<unsigned char>(at[2]) | static_cast<unsigned char>(at[3]) << 8;
    if (next >= 0xDC00 && next < 0xE000) return 4;
  }
  return 2;
}

size_t replace_bad_utf8(const char* at, size_t left, std::string& out) {
  out.push_back('?');
  auto lead = static_cast<unsigned char>(at[0]);
  size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
  size_t skip = 1;
  while (skip < length && skip < left && (static_cast<unsigned char>(at[skip]) & 0xC0) == 0x80) ++skip;
  return skip;
}

// How many bytes the GBK character (or bad byte or pair) at `at` takes, as
// the converter and replace_bad_gbk read it: 0x80 stands alone, any other
// byte from 0x81 takes the next one with it when that could be a trail byte.
size_t gbk_unit_length(std::string_view gbk, size_t at) {
  if (static_cast<unsigned char>(gbk[at]) == 0x80 || at + 1 == gbk.size()) return 1;
  return static_cast<unsigned char>(gbk[at + 1]) >= 0x40 ? 2 : 1;
}

// Decodes GBK: ASCII stands for itself and is copied; each stretch of other
// characters goes through the converter whole.
template <typename OutString>
OutString decode_gbk(std::string_view gbk, const char* to) {
  OutString out;
  out.reserve(gbk.size());
  Converter& other = converter(to, "CP936");
  size_t at = 0;
  while (at < gbk.size()) {
    for (; at < gbk.size() && static_cast<unsigned char>(gbk[at]) < 0x80; ++at) {
      out.push_back(static_cast<typename OutString::value_type>(gbk[at]));
    }
    size_t end = at;
    while (end < gbk.size() && static_cast<unsigned char>(gbk[end]) >= 0x80) end += gbk_unit_length(gbk, end);
    if (end > at) other.run(gbk.data() + at, end - at, out, replace_bad_gbk<OutString>);
    at = end;
  }
  return out;
}

}  // namespace

std::u16string gbk_to_utf16(std::string_view gbk) { return decode_gbk<std::u16string>(gbk, "UTF-16LE"); }

std::string utf16_to_gbk(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size() * 2);
  converter("CP936", "UTF-16LE")
      .run(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2, out, replace_bad_utf16);
  return out;
}

std::string gbk_to_utf8(std::string_view gbk) { return decode_gbk<std::string>(gbk, "UTF-8"); }

std::string utf8_to_gbk(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  converter("CP936", "UTF-8").run(utf8.data(), utf8.size(), out, replace_bad_utf8);
  return out;
}

bool charset_to_utf16(std::string_view bytes, const std::string& charset, std::u16string& out) {
  out.clear();
  Converter& c = converter("UTF-16LE", charset.c_str());
  if (!c.ok()) return false;
  c.run(bytes.data(), bytes.size(), out, [](const char*, size_t, std::u16string& o) {
    o.push_back(u'?');
    return size_t{1};
  });
  return true;
}

}  // namespace quill::platform
