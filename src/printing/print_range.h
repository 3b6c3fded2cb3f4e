// The page range of a print dialog, whose page fields hold 16-bit numbers, against a document
// of any number of pages.
#pragma once

namespace vt9 {

// The largest page number the dialog's fields can show.
inline constexpr unsigned kDialogPageLimit = 0xFFFF;

// What the dialog's "to" and maximum page fields show for a document of `pageCount` pages: the
// count, or the largest number they hold.
inline unsigned DialogLastPage(unsigned pageCount) {
  return pageCount == 0 ? 1 : pageCount > kDialogPageLimit ? kDialogPageLimit : pageCount;
}

struct PageRange {
  unsigned first = 1, last = 1;
  friend bool operator==(const PageRange&, const PageRange&) = default;
};

// The pages to print: "All" is every page, whatever the count; a typed range is honoured as
// far as the document goes.
inline PageRange ChosenPages(bool allPages, unsigned from, unsigned to, unsigned pageCount) {
  const unsigned count = pageCount ? pageCount : 1;
  if (allPages) return {1, count};
  PageRange r;
  r.last = to < 1 ? 1 : to > count ? count : to;
  r.first = from < 1 ? 1 : from > r.last ? r.last : from;
  return r;
}

}  // namespace vt9
