#include "catalogue/catalogue_scraper.h"

#include <array>
#include <atomic>
#include <climits>
#include <string_view>
#include <vector>

#include "catalogue/text_extraction.h"
#include "platform/codepage.h"
#include "platform/toolkit.h"
#include "web/http_client.h"

namespace quill {
namespace {

using toolkit::Property;

constexpr std::string_view kList = "列表";
constexpr std::string_view kHint = "标签_提示";

struct Category {
  std::string_view radio_button;
  const char* code;
};

// In the order the radio buttons are read; the last ticked one wins.
constexpr std::array<Category, 8> kCategories = {{
    {"单选框_玄幻", "1"},
    {"单选框_武侠", "2"},
    {"单选框_都市", "3"},
    {"单选框_穿越", "12"},
    {"单选框_网游", "5"},
    {"单选框_灵异", "6"},
    {"单选框_科幻", "7"},
    {"单选框_言情", "15"},
}};

// The site's markers, as GBK text, matched byte for byte (line breaks included).
struct Markers {
  std::string count_start = gbk("<td class=\"tabletitle1\" title=\"页次\">&nbsp;1/");
  std::string count_end = gbk("页&nbsp;</td>\r");
  std::string area_start = gbk("<input type=\"submit\" value=\"站内搜索\">\r");
  std::string area_end = gbk("<h2><span class=\"boxhead\">下载栏目导航</span></h2>");
  std::string name_start = gbk("全集\">");
  std::string name_end = "</a>";
  std::string date_start = "mainListDate\"><span class=\"oldDate\">";
  std::string date_end = "</span>";
  std::string description_start = "soft_content_1\">";
  std::string description_end = "</div>\r";
  std::string link_start = "mainSoftName\"><a href=\"";
  std::string link_end = "\" title=\"";
  std::string hint_working = gbk("提示：操作中、正在获取...");
  std::string hint_page_head = gbk("提示： 正在获取...  总页数：");
  std::string hint_page_middle = gbk(" 执行第 ");
  std::string hint_page_tail = gbk(" 页.");
};

const Markers& markers() {
  static const Markers m;
  return m;
}

std::atomic<bool> run_in_progress{false};

// Program-wide; read and written only by the run that holds run_in_progress.
std::string& category_code() {
  static std::string code;
  return code;
}

// Clears run_in_progress when the run ends, whichever way it leaves.
class RunGuard final {
 public:
  RunGuard() = default;
  ~RunGuard() { run_in_progress.store(false, std::memory_order_release); }
  RunGuard(const RunGuard&) = delete;
  RunGuard& operator=(const RunGuard&) = delete;
};

const std::string& item_or_empty(const std::vector<std::string>& items, std::size_t j) {
  static const std::string empty;
  return j < items.size() ? items[j] : empty;
}

// Collects one page's books and inserts a row per name at positions 0, 1, 2 …
// Returns the number of rows added.
int add_page_rows(const std::string& page, const std::string& catalogue_base) {
  const Markers& m = markers();
  std::string area = text_between(page, m.area_start, m.area_end);
  std::vector<std::string> names, dates, descriptions, links;
  all_text_between(area, m.name_start, m.name_end, names);
  all_text_between(area, m.date_start, m.date_end, dates);
  all_text_between(area, m.description_start, m.description_end, descriptions);
  all_text_between(area, m.link_start, m.link_end, links);
  for (std::size_t j = 0; j < names.size(); ++j) {
    int row = static_cast<int>(j);
    toolkit::list_view_insert_row(kList, std::string(), row);
    toolkit::set_cell_text(kList, row, 1, names[j]);
    toolkit::set_cell_text(kList, row, 2, item_or_empty(dates, j));
    toolkit::set_cell_text(kList, row, 3, item_or_empty(descriptions, j));
    toolkit::set_cell_text(kList, row, 4, j < links.size() ? catalogue_base + links[j] : std::string());
    toolkit::process_pending_events();
  }
  return static_cast<int>(names.size());
}

}  // namespace

int page_count_value(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > INT_MAX) {
      value = static_cast<long long>(INT_MAX) + 1;
      if (!negative) return INT_MAX;
    }
  }
  if (negative) return value > INT_MAX ? INT_MIN : static_cast<int>(-value);
  return static_cast<int>(value);
}

bool catalogue_run_in_progress() { return run_in_progress.load(std::memory_order_acquire); }

std::string current_category_code() { return category_code(); }

bool scrape_catalogue(const std::string& catalogue_base) {
  if (run_in_progress.exchange(true, std::memory_order_acq_rel)) return false;
  RunGuard guard;
  const Markers& m = markers();

  toolkit::set_property(kList, Property::disabled, 1);
  toolkit::set_text_property(kHint, m.hint_working);

  for (const Category& category : kCategories) {
    if (toolkit::get_property(category.radio_button, Property::ticked) == 1) category_code() = category.code;
  }
  const std::string code = category_code();

  toolkit::list_view_clear(kList);

  std::string first_page = http_fetch(catalogue_base + "/class_" + code + ".html");
  std::string count_text = text_between(first_page, m.count_start, m.count_end);
  first_page.clear();
  int page_count = page_count_value(count_text);

  int empty_in_row = 0;
  for (long long n = 1; n <= page_count; ++n) {
    std::string number = std::to_string(n);
    toolkit::set_text_property(kHint, m.hint_page_head + count_text + m.hint_page_middle + number + m.hint_page_tail);
    std::string page = http_fetch(catalogue_base + "/class_" + code + "_" + number + ".html");
    int added = add_page_rows(page, catalogue_base);
    toolkit::process_pending_events();
    toolkit::process_pending_events();
    empty_in_row = added > 0 ? 0 : empty_in_row + 1;
    if (empty_in_row >= kMaxEmptyPagesInRow) break;
  }

  toolkit::set_property(kList, Property::disabled, 0);
  return true;
}

}  // namespace quill
