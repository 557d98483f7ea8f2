#include "app/handlers.h"

#include <system_error>
#include <thread>

#include "catalogue/catalogue_scraper.h"
#include "downloads/dispatcher.h"
#include "platform/toolkit.h"

namespace quill::app {
namespace {

constexpr const char* kSelectAll = "选择框1";
constexpr const char* kCatalogue = "列表";

// A thread that cannot be started is not reported: the click has no effect.
void start_detached(void (*body)()) {
  try {
    std::thread(body).detach();
  } catch (const std::system_error&) {
  }
}

}  // namespace

void toggle_all_rows() {
  const int ticked = toolkit::get_property(kSelectAll, toolkit::Property::ticked);
  const int rows = toolkit::list_view_count(kCatalogue);
  for (int row = 0; row < rows; ++row) toolkit::set_tick_state(kCatalogue, row, ticked == 1 ? 1 : 0);
}

void start_catalogue_fetch() { start_detached(&run_catalogue_thread); }

void start_batch_download() { start_detached(&run_dispatch_thread); }

// A click while a run is in progress starts a thread that ends at once: the
// scraper refuses a second run.
void run_catalogue_thread() { scrape_catalogue(); }

void run_dispatch_thread() { dispatch_downloads(); }

}  // namespace quill::app
