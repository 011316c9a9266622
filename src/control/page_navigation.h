#pragma once
// Where the navigation and arranging commands move the current page and the
// first page shown in the thumbnail strip, as plain calculations over the
// page count and the number of thumbnail slots.
namespace pagewell {

// Both 1-based; 0 while the list is empty.
struct PageWindow {
  unsigned current = 0;
  unsigned first = 0;
  bool operator==(const PageWindow& other) const { return current == other.current && first == other.first; }
};

enum class Navigation { First, PageBack, Previous, Next, PageForward, Last };

// The window after a navigation button, with `pages` pages and `slots`
// thumbnail slots. An empty list stays as it is.
PageWindow navigate(Navigation button, PageWindow window, unsigned pages, unsigned slots);

// Move Up and Move Down: whether the move applies, and the window after it
// (the pages at current - 1 and current, or current and current + 1, are
// exchanged by the caller).
bool canMoveUp(PageWindow window, unsigned pages);
PageWindow afterMoveUp(PageWindow window);
bool canMoveDown(PageWindow window, unsigned pages);
PageWindow afterMoveDown(PageWindow window);

}  // namespace pagewell
