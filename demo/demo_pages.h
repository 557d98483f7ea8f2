#pragma once
// The demo catalogue site's content: catalogue pages in the site's markup and
// the mirror's archives. Everything is computed from its inputs, so the same
// book always has the same name, link and archive bytes. Texts are GBK bytes.
// Pure functions; any thread may call them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quill::demo {

// The eight category codes the catalogue site knows, in radio button order.
const std::vector<std::string>& category_codes();

// One listing entry as the page shows it (GBK).
struct DemoBook {
  std::string name;
  std::string date;
  std::string description;  // may hold "\r\n" line breaks
  std::string link;         // path relative to the site base, e.g. "/book.com/12000001.html"
};

// Id of the `index`-th (1-based) book on `page` (1-based) of category `code`.
std::uint64_t book_id(std::string_view code, int page, int index, int books_per_page);
// The generated listing entry for a book id.
DemoBook demo_book(std::uint64_t id);
// Detail link of a book: "/book.com/" + id + ".html", so that the text between
// "com/" and ".html" of base + link is the id.
std::string book_link(std::uint64_t id);

// Layout switches of a rendered catalogue page.
struct PageLayout {
  bool with_listing_markers = true;       // false: the listing area's markers are left out
  std::string after_count_cell = "\r\n";  // what follows the page count cell's "</td>"
  std::string charset = "gb2312";         // declared in the page's meta tag
};

// A catalogue page: header with the charset meta tag, the search form ending
// the listing area's start marker, one entry per book, the page count cell
// "&nbsp;<page>/<page_count_text>页&nbsp;</td>" and the navigation heading that
// ends the listing area. Line breaks are "\r\n".
std::string catalogue_page(std::string_view code, int page, std::string_view page_count_text,
                           const std::vector<DemoBook>& books, const PageLayout& layout = {});

// Archive size of a book, between `min_size` and `max_size` inclusive.
std::size_t archive_size(std::uint64_t id, std::size_t min_size, std::size_t max_size);
// Fills `out` with `length` archive bytes of book `id` from `offset` on; the
// archive starts with the RAR signature and its bytes depend only on id and
// position.
void archive_bytes(std::uint64_t id, std::size_t offset, std::size_t length, std::string& out);

}  // namespace quill::demo
