// The text layer against a plain std::string::find baseline that extracts the
// same items from the same synthetic 1 MiB GBK catalogue page.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

#include "catalogue/text_extraction.h"
#include "catalogue/text_rules.h"
#include "platform/codepage.h"
#include "support/ratio_reporter.h"

namespace {

struct Markers {
  std::string area_start = quill::gbk("<input type=\"submit\" value=\"站内搜索\">\r");
  std::string area_end = quill::gbk("<h2><span class=\"boxhead\">下载栏目导航</span></h2>");
  std::vector<std::pair<std::string, std::string>> items = {
      {quill::gbk("全集\">"), "</a>"},
      {"mainListDate\"><span class=\"oldDate\">", "</span>"},
      {"soft_content_1\">", "</div>\r"},
      {"mainSoftName\"><a href=\"", "\" title=\""},
  };
};

const Markers& markers() {
  static const Markers m;
  return m;
}

// About 1 MiB: a header, the listing area with a few thousand books, a footer.
const std::string& catalogue_page() {
  static const std::string page = [] {
    const Markers& m = markers();
    std::string p = quill::gbk("<html><head><title>小说下载</title></head><body>\r\n");
    for (int i = 0; i < 200; ++i) p += quill::gbk("<p>导航 栏目 推荐 排行</p>\r\n");
    p += m.area_start;
    const std::string name = quill::gbk("斗破苍穹之玄幻世界"), blurb = quill::gbk("少年在大陆上修炼成长，历经磨难，");
    for (int i = 0; p.size() < (1 << 20) - 4096; ++i) {
      std::string id = std::to_string(10000 + i);
      p += "<li><div class=\"mainSoftName\"><a href=\"/book.com/" + id + ".html\" title=\"" + name + id +
           quill::gbk("全集\">") + name + id + "</a></div>\r\n";
      p += "<div class=\"mainListDate\"><span class=\"oldDate\">2026-12-" + std::to_string(1 + i % 28) +
           "</span></div>\r\n";
      p += "<div class=\"soft_content_1\">" + blurb + blurb + "\r\n" + blurb + "</div>\r\n</li>\r\n";
    }
    p += m.area_end + "\r\n</body></html>";
    return p;
  }();
  return page;
}

size_t extract_with_text_layer(const std::string& page) {
  const Markers& m = markers();
  std::string area = quill::text_between(page, m.area_start, m.area_end);
  size_t total = 0;
  std::vector<std::string> items;
  for (const auto& [start, end] : m.items) total += quill::all_text_between(area, start, end, items);
  return total;
}

// The same extraction by exact byte search, without character stepping.
size_t collect_baseline(const std::string& text, const std::string& start, const std::string& end,
                        std::vector<std::string>& items) {
  items.clear();
  size_t pos = 0;
  for (;;) {
    size_t p = text.find(start, pos);
    if (p == std::string::npos) break;
    size_t q = p + start.size();
    size_t e = text.find(end, q);
    if (e == std::string::npos) break;
    pos = q;
    std::string item = quill::strip_spaces(std::string_view(text).substr(q, e - q));
    if (!item.empty()) {
      items.push_back(std::move(item));
      pos = e;
    }
  }
  return items.size();
}

size_t extract_with_baseline(const std::string& page) {
  const Markers& m = markers();
  size_t a = page.find(m.area_start);
  size_t b = page.find(m.area_end, a + m.area_start.size());
  std::string area = page.substr(a + m.area_start.size(), b - a - m.area_start.size());
  size_t total = 0;
  std::vector<std::string> items;
  for (const auto& [start, end] : m.items) total += collect_baseline(area, start, end, items);
  return total;
}

void BM_TextLayer(benchmark::State& state) {
  const std::string& page = catalogue_page();
  size_t items = 0;
  for (auto _ : state) benchmark::DoNotOptimize(items = extract_with_text_layer(page));
  state.counters["items"] = static_cast<double>(items);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

void BM_FindBaseline(benchmark::State& state) {
  const std::string& page = catalogue_page();
  size_t items = 0;
  for (auto _ : state) benchmark::DoNotOptimize(items = extract_with_baseline(page));
  state.counters["items"] = static_cast<double>(items);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * page.size()));
}

// Seven repetitions of each, interleaved in random order (see main); the
// ratio is taken of the medians, and of the fastest runs.
void text_runs(benchmark::internal::Benchmark* benchmark) {
  quill::bench::repeated(benchmark->Unit(benchmark::kMillisecond)->MinTime(0.3), 7);
}
BENCHMARK(BM_TextLayer)->Apply(text_runs);
BENCHMARK(BM_FindBaseline)->Apply(text_runs);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args = quill::bench::interleaved_arguments(argc, argv);
  int count = static_cast<int>(args.size());
  benchmark::Initialize(&count, args.data());
  if (extract_with_text_layer(catalogue_page()) != extract_with_baseline(catalogue_page())) {
    std::fprintf(stderr, "the text layer and the baseline disagree on the items\n");
    return 1;
  }
  quill::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  std::printf("page %zu bytes; text layer / find baseline = %.3f (median), %.3f (fastest run) (goal <= 1.25)\n",
              catalogue_page().size(), reporter.ratio("BM_TextLayer/median", "BM_FindBaseline/median"),
              reporter.ratio("BM_TextLayer/min", "BM_FindBaseline/min"));
  benchmark::Shutdown();
}
