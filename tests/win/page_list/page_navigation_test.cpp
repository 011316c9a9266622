#include "page_navigation.h"

#include <gtest/gtest.h>

#include <ostream>

namespace pagewell {

std::ostream& operator<<(std::ostream& out, const PageWindow& w) {
  return out << "{current " << w.current << ", first " << w.first << "}";
}

namespace {

using N = Navigation;

TEST(PageNavigation, ButtonsMoveTheCurrentPageAndTheWindow) {
  struct Case {
    const char* what;
    Navigation button;
    PageWindow before;
    unsigned pages, slots;
    PageWindow after;
  };
  const Case cases[] = {
      {"first", N::First, {20, 10}, 30, 14, {1, 1}},
      {"previous", N::Previous, {5, 3}, 30, 14, {4, 3}},
      {"previous at the first page", N::Previous, {1, 1}, 30, 14, {1, 1}},
      {"next", N::Next, {5, 3}, 30, 14, {6, 3}},
      {"next at the last page", N::Next, {30, 17}, 30, 14, {30, 17}},
      {"last, more pages than slots", N::Last, {2, 1}, 30, 14, {30, 17}},
      {"last, pages fit", N::Last, {2, 1}, 10, 14, {10, 1}},
      {"last, pages fill the slots exactly", N::Last, {2, 1}, 14, 14, {14, 1}},
      {"page back at the start", N::PageBack, {5, 1}, 30, 14, {1, 1}},
      {"page back within the first screen", N::PageBack, {12, 6}, 30, 14, {7, 1}},
      {"page back a whole screen", N::PageBack, {25, 17}, 40, 14, {11, 3}},
      {"page back from first = slots", N::PageBack, {20, 14}, 40, 14, {7, 1}},
      {"page back from first = slots + 1", N::PageBack, {20, 15}, 40, 14, {6, 1}},
      {"page forward, list fits", N::PageForward, {2, 1}, 10, 14, {10, 1}},
      {"page forward, last screen", N::PageForward, {3, 1}, 20, 14, {9, 7}},
      {"page forward a whole screen", N::PageForward, {3, 1}, 40, 14, {17, 15}},
      {"page forward to exactly two screens", N::PageForward, {3, 1}, 28, 14, {17, 15}},
      {"page forward, one page past two screens", N::PageForward, {3, 1}, 29, 14, {17, 15}},
      {"page forward with one slot", N::PageForward, {3, 3}, 5, 1, {4, 4}},
  };
  for (const Case& c : cases) EXPECT_EQ(navigate(c.button, c.before, c.pages, c.slots), c.after) << c.what;
}

// While the list is empty every button does nothing.
TEST(PageNavigation, EmptyListStaysEmpty) {
  for (N button : {N::First, N::PageBack, N::Previous, N::Next, N::PageForward, N::Last})
    EXPECT_EQ(navigate(button, {0, 0}, 0, 14), (PageWindow{0, 0}));
}

TEST(PageNavigation, MovesUpAndDown) {
  struct Case {
    const char* what;
    bool up;
    PageWindow before;
    unsigned pages;
    bool applies;
    PageWindow after;
  };
  const Case cases[] = {
      {"up", true, {5, 3}, 10, true, {4, 3}},
      {"up past the window's start", true, {3, 3}, 10, true, {2, 2}},
      {"first page up", true, {1, 1}, 10, false, {1, 1}},
      {"only page up", true, {1, 1}, 1, false, {1, 1}},
      {"down", false, {5, 3}, 10, true, {6, 3}},
      {"down, 11 places from the window's start", false, {11, 1}, 20, true, {12, 1}},
      {"down, 12 places from the window's start", false, {12, 1}, 20, true, {13, 2}},
      {"last page down", false, {10, 1}, 10, false, {10, 1}},
      {"only page down", false, {1, 1}, 1, false, {1, 1}},
  };
  for (const Case& c : cases) {
    bool applies = c.up ? canMoveUp(c.before, c.pages) : canMoveDown(c.before, c.pages);
    EXPECT_EQ(applies, c.applies) << c.what;
    if (applies) {
      EXPECT_EQ(c.up ? afterMoveUp(c.before) : afterMoveDown(c.before), c.after) << c.what;
    }
  }
}

}  // namespace
}  // namespace pagewell
