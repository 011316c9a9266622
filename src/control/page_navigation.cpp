#include "page_navigation.h"

namespace pagewell {
namespace {

// Page back and page forward move the window by one screen of slots and
// keep the current page in its slot, except at the ends of the list.
PageWindow pageBack(PageWindow w, unsigned slots) {
  if (w.first == 1) return {1, 1};
  if (w.first <= slots) return {w.current - (w.first - 1), 1};
  return {w.current - slots, w.first - slots};
}

PageWindow pageForward(PageWindow w, unsigned pages, unsigned slots) {
  const unsigned long long first = w.first;
  if (pages <= first + slots - 1) return {pages, w.first};
  if (pages <= first + 2ull * slots - 1) {
    unsigned newFirst = pages - (slots - 1);
    return {w.current + (newFirst - w.first), newFirst};
  }
  return {w.current + slots, w.first + slots};
}

}  // namespace

PageWindow navigate(Navigation button, PageWindow w, unsigned pages, unsigned slots) {
  if (pages == 0 || slots == 0) return w;
  switch (button) {
    case Navigation::First: return {1, 1};
    case Navigation::Previous: return w.current >= 2 ? PageWindow{w.current - 1, w.first} : w;
    case Navigation::Next: return w.current < pages ? PageWindow{w.current + 1, w.first} : w;
    case Navigation::Last: return {pages, pages > slots ? pages - (slots - 1) : 1};
    case Navigation::PageBack: return pageBack(w, slots);
    case Navigation::PageForward: return pageForward(w, pages, slots);
  }
  return w;
}

bool canMoveUp(PageWindow w, unsigned pages) { return pages >= 2 && w.current >= 2; }

PageWindow afterMoveUp(PageWindow w) {
  unsigned current = w.current - 1;
  return {current, current < w.first ? current : w.first};
}

bool canMoveDown(PageWindow w, unsigned pages) { return pages >= 2 && w.current < pages; }

// The window follows only once the page is 11 places past its start; the
// refresh keeps the page visible in any case.
PageWindow afterMoveDown(PageWindow w) {
  unsigned current = w.current + 1;
  return {current, w.first + 11 < current ? current - 11 : w.first};
}

}  // namespace pagewell
