#include "demo/demo_pages.h"

#include <array>

#include "platform/codepage.h"

namespace quill::demo {
namespace {

std::uint64_t mix(std::uint64_t x) {
  // splitmix64 finaliser: cheap, well spread, reproducible.
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  return x ^ (x >> 31);
}

constexpr std::array<const char*, 12> kFirstWords = {"星河", "青云", "天命", "苍穹", "山海", "烟雨",
                                                     "剑来", "长风", "九州", "龙城", "寒江", "明月"};
constexpr std::array<const char*, 10> kSecondWords = {"长歌", "归途", "传说", "纪元", "行者",
                                                      "志异", "问道", "风云", "旧事", "无双"};
constexpr std::array<const char*, 6> kDescriptions = {
    "少年离家远行，一路斩妖除魔，终成一代宗师。", "都市之中暗流涌动，他带着秘密回到故乡。",
    "一觉醒来回到千年之前，她要改写自己的命运。", "虚拟世界里的一场比赛，牵出现实中的旧案。",
    "古宅深夜的灯火，照见一段不肯散去的往事。",   "飞船穿过星门，人类第一次听见远方的回答。",
};

}  // namespace

const std::vector<std::string>& category_codes() {
  static const std::vector<std::string> codes = {"1", "2", "3", "12", "5", "6", "7", "15"};
  return codes;
}

std::uint64_t book_id(std::string_view code, int page, int index, int books_per_page) {
  std::uint64_t category = 0;
  for (char c : code) category = category * 10 + static_cast<unsigned char>(c - '0') % 10;
  return category * 1000000 + static_cast<std::uint64_t>(page - 1) * books_per_page + index;
}

std::string book_link(std::uint64_t id) { return "/book.com/" + std::to_string(id) + ".html"; }

DemoBook demo_book(std::uint64_t id) {
  std::uint64_t h = mix(id);
  DemoBook book;
  book.name = gbk(kFirstWords[h % kFirstWords.size()]) + gbk(kSecondWords[(h >> 8) % kSecondWords.size()]) +
              std::to_string(id % 1000000);
  int month = static_cast<int>((h >> 16) % 12) + 1;
  int day = static_cast<int>((h >> 24) % 28) + 1;
  book.date = "2026-" + std::string(month < 10 ? "0" : "") + std::to_string(month) + "-" +
              std::string(day < 10 ? "0" : "") + std::to_string(day);
  book.description = gbk(kDescriptions[(h >> 32) % kDescriptions.size()]);
  // Every third description spans two lines, as the site's editors write them.
  if (id % 3 == 0) book.description += "\r\n" + gbk(kDescriptions[(h >> 40) % kDescriptions.size()]);
  book.link = book_link(id);
  return book;
}

std::string catalogue_page(std::string_view code, int page, std::string_view page_count_text,
                           const std::vector<DemoBook>& books, const PageLayout& layout) {
  std::string p;
  p.reserve(1024 + books.size() * 400);
  p += "<html>\r\n<head>\r\n<meta http-equiv=\"Content-Type\" content=\"text/html; charset=" + layout.charset +
       "\">\r\n";
  p += "<title>" + gbk("小说下载") + " class_" + std::string(code) + " " + std::to_string(page) + "</title>\r\n";
  p += "</head>\r\n<body>\r\n<div class=\"search\"><form action=\"/search.asp\" method=\"get\">";
  p += "<input type=\"text\" name=\"q\">";
  if (layout.with_listing_markers) p += "<input type=\"submit\" value=\"" + gbk("站内搜索") + "\">";
  p += "\r\n</form></div>\r\n<div class=\"mainList\">\r\n";
  for (const DemoBook& b : books) {
    p += "<div class=\"mainListItem\">\r\n";
    p += "<div class=\"mainSoftName\"><a href=\"" + b.link + "\" title=\"" + b.name + gbk("全集") + "\">" + b.name +
         "</a></div>\r\n";
    p += "<div class=\"mainListDate\"><span class=\"oldDate\">" + b.date + "</span></div>\r\n";
    p += "<div class=\"soft_content_1\">" + b.description + "</div>\r\n";
    p += "</div>\r\n";
  }
  p += "</div>\r\n<table><tr><td class=\"tabletitle1\" title=\"" + gbk("页次") + "\">&nbsp;" + std::to_string(page) +
       "/" + std::string(page_count_text) + gbk("页") + "&nbsp;</td>" + layout.after_count_cell;
  p += "<td class=\"tabletitle2\"><a href=\"/class_" + std::string(code) + "_" + std::to_string(page + 1) + ".html\">" +
       gbk("下一页") + "</a></td></tr></table>\r\n";
  if (layout.with_listing_markers) p += "<h2><span class=\"boxhead\">" + gbk("下载栏目导航") + "</span></h2>";
  p += "\r\n<ul>";
  for (const std::string& c : category_codes()) p += "<li><a href=\"/class_" + c + ".html\">" + c + "</a></li>";
  p += "</ul>\r\n</body>\r\n</html>\r\n";
  return p;
}

std::size_t archive_size(std::uint64_t id, std::size_t min_size, std::size_t max_size) {
  if (max_size <= min_size) return min_size;
  return min_size + mix(id ^ 0xA5A5A5A5ULL) % (max_size - min_size + 1);
}

void archive_bytes(std::uint64_t id, std::size_t offset, std::size_t length, std::string& out) {
  static constexpr char kSignature[] = "Rar!\x1a\x07\x00";
  out.resize(length);
  for (std::size_t i = 0; i < length;) {
    std::size_t pos = offset + i;
    if (pos < sizeof kSignature - 1) {
      out[i++] = kSignature[pos];
      continue;
    }
    std::uint64_t word = mix(id * 0x100000001B3ULL + pos / 8);
    for (std::size_t k = pos % 8; k < 8 && i < length; ++k, ++i) out[i] = static_cast<char>(word >> (k * 8));
  }
}

}  // namespace quill::demo
