#pragma once
// The category catalogue scraper: fills the list view "列表" with the books of
// the category whose radio button is ticked, page by page, showing progress
// in "标签_提示". Controls are reached only through the toolkit operations.
//
// Threads: the body of the detached thread that a click of "按钮1" starts; it
// blocks its thread for every request and takes no lock. Any thread may call
// it. Only one run goes at a time: a call made while another run is in
// progress returns false at once and touches nothing (two runs would clear
// and fill the same list and share the category code).
//
// Results: nothing is reported beyond the hint texts. A failed first request
// gives page count 0: the run ends with an empty, enabled list. A failed page
// or one without the listing-area markers adds no rows.
//
// Decisions where the site's markup can be incomplete:
//  - A page whose dates, descriptions or links are fewer than its names still
//    gives one row per name; cells without a value are left empty (cell 4 too,
//    rather than the base address alone).
//  - The page count is not trusted blindly: the run stops after
//    kMaxEmptyPagesInRow pages in a row gave no rows (failed requests, error
//    pages, pages without markers), so that a count such as 100000 against a
//    site with a few pages ends after a few requests instead of 100000.

#include <string>

#include "quill_config.h"

namespace quill {

inline constexpr int kMaxEmptyPagesInRow = 3;

// One run. `catalogue_base` is the catalogue site's base address (scheme and
// host, no trailing slash). Returns false when refused because another run
// is in progress, true when the run took place (whatever it found).
bool scrape_catalogue(const std::string& catalogue_base = config::catalogue_base);

// Whether a run is in progress now.
bool catalogue_run_in_progress();

// The category code kept from run to run (empty before the first run).
// Meant for tests; read it while no run is in progress.
std::string current_category_code();

// The page count text converted as the scraper does: optional leading white
// space, an optional sign, then the digits up to the first other character;
// 0 when there are no digits; saturated to the int range.
int page_count_value(const std::string& text);

}  // namespace quill
