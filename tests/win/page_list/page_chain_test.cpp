#include "page_chain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pagewell {
namespace {

// A page that reports its own destruction, so that the tests see what the
// list frees.
struct Page {
  Page(std::string name, std::vector<std::string>& freed) : name(std::move(name)), freed(freed) {}
  ~Page() { freed.push_back(name); }
  std::string name;
  std::vector<std::string>& freed;
};

struct PageChainTest : ::testing::Test {
  std::vector<std::string> freed;
  TPageChain<Page> list;

  void add(const std::string& name, unsigned position) { list.Add(std::make_unique<Page>(name, freed), position); }
  std::string names() {
    std::string all;
    for (unsigned p = 1; p <= list.Count(); ++p) all += list.Get(p)->name;
    return all;
  }
  // Every position from the head, ignoring the hint: the list's real order.
  std::string namesFromHead() {
    std::string all;
    for (unsigned p = 1; p <= list.Count(); ++p) {
      list.Get(1);  // hint to the head
      all += list.Get(p)->name;
    }
    return all;
  }
};

TEST_F(PageChainTest, AddPlacesThePageAtItsPosition) {
  struct Case {
    const char* start;
    unsigned position;
    const char* after;
  };
  const Case cases[] = {
      {"", 0, "x"},    {"", 5, "x"},     {"abc", 0, "abcx"}, {"abc", 1, "xabc"},
      {"abc", 2, "axbc"}, {"abc", 3, "abxc"}, {"abc", 4, "abcx"}, {"abc", 99, "abcx"},
  };
  for (const Case& c : cases) {
    list.Clear();
    for (const char* n = c.start; *n; ++n) add(std::string(1, *n), 0);
    add("x", c.position);
    EXPECT_EQ(names(), c.after) << c.start << " + x at " << c.position;
    EXPECT_EQ(namesFromHead(), c.after) << c.start << " + x at " << c.position;
    EXPECT_EQ(list.Count(), std::string(c.after).size());
  }
}

TEST_F(PageChainTest, GetAnswersNothingOutsideTheList) {
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.Get(1), nullptr);
  add("a", 0);
  EXPECT_EQ(list.Get(0), nullptr);
  EXPECT_EQ(list.Get(2), nullptr);
  EXPECT_EQ(list.Get(1)->name, "a");
  EXPECT_EQ(list.HintPosition(), 1u);
}

TEST_F(PageChainTest, DeleteFreesThePageAndKeepsTheRestInOrder) {
  struct Case {
    unsigned hintBefore;  // position read just before the delete
    unsigned position;
    const char* after;
  };
  const Case cases[] = {
      {1, 1, "bcd"}, {4, 1, "bcd"}, {2, 2, "acd"}, {3, 2, "acd"}, {1, 4, "abc"},
      {4, 4, "abc"}, {2, 3, "abd"}, {4, 3, "abd"}, {2, 0, "abcd"}, {2, 5, "abcd"},
  };
  for (const Case& c : cases) {
    list.Clear();
    for (const char* n = "abcd"; *n; ++n) add(std::string(1, *n), 0);
    freed.clear();
    list.Get(c.hintBefore);
    list.Delete(c.position);
    // Reading on from the hint must see the list as it is now.
    EXPECT_EQ(names(), c.after) << "delete " << c.position << " after reading " << c.hintBefore;
    EXPECT_EQ(namesFromHead(), c.after);
    EXPECT_EQ(freed.size(), std::string(c.after) == "abcd" ? 0u : 1u);
  }
}

// After a delete of the first page, the next page read by position is the
// page that now stands first.
TEST_F(PageChainTest, AfterDeletingTheFirstPagePositionOneIsTheNextPage) {
  for (const char* n = "abc"; *n; ++n) add(std::string(1, *n), 0);
  list.Get(1);
  list.Delete(1);
  EXPECT_EQ(list.Get(1)->name, "b");
  EXPECT_EQ(freed, std::vector<std::string>{"a"});
}

TEST_F(PageChainTest, SwapWithPreviousExchangesNeighbours) {
  struct Case {
    unsigned hintBefore;
    unsigned position;
    const char* after;
  };
  const Case cases[] = {
      {1, 2, "bacd"}, {4, 2, "bacd"}, {3, 3, "acbd"}, {1, 4, "abdc"}, {4, 4, "abdc"},
      {2, 1, "abcd"}, {2, 0, "abcd"}, {2, 5, "abcd"},
  };
  for (const Case& c : cases) {
    list.Clear();
    for (const char* n = "abcd"; *n; ++n) add(std::string(1, *n), 0);
    freed.clear();
    list.Get(c.hintBefore);
    list.SwapWithPrevious(c.position);
    EXPECT_EQ(names(), c.after) << "swap " << c.position << " after reading " << c.hintBefore;
    EXPECT_EQ(namesFromHead(), c.after);
    EXPECT_TRUE(freed.empty());
  }
}

TEST_F(PageChainTest, ClearAndDestructionFreeEveryPage) {
  {
    TPageChain<Page> other;
    for (const char* n = "xyz"; *n; ++n) other.Add(std::make_unique<Page>(std::string(1, *n), freed), 0);
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"x", "y", "z"}));
  freed.clear();
  for (const char* n = "ab"; *n; ++n) add(std::string(1, *n), 0);
  list.Clear();
  EXPECT_EQ(freed, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(list.Count(), 0u);
  EXPECT_EQ(list.HintPosition(), 0u);
  add("c", 3);
  EXPECT_EQ(names(), "c");
}

// Adding a page, then walking the list in order (as every refresh does)
// follows one link per page; a walk from the head on every read would
// follow about n^2 / 2. A long list is freed without recursion.
TEST_F(PageChainTest, WalksFollowOneLinkPerPage) {
  struct Counted {
    explicit Counted(unsigned& freed) : freed(freed) {}
    ~Counted() { ++freed; }
    unsigned& freed;
  };
  unsigned released = 0;
  {
    TPageChain<Counted> pages;
    const unsigned walked = 1000;
    for (unsigned i = 0; i < walked; ++i) {
      pages.Add(std::make_unique<Counted>(released), 0);
      unsigned expected = 1;
      pages.ForEach([&](Counted&, unsigned position) { EXPECT_EQ(position, expected++); });
    }
    // Each add and each walk: at most one link per page, plus the walk
    // back to the head.
    EXPECT_LE(pages.LinksFollowed(), 2ull * walked * walked);
    // Appends one after the other start where the last one ended.
    unsigned long long before = pages.LinksFollowed();
    while (pages.Count() < 300000) pages.Add(std::make_unique<Counted>(released), 0);
    EXPECT_LE(pages.LinksFollowed() - before, 300000u);
  }
  EXPECT_EQ(released, 300000u);
}

}  // namespace
}  // namespace pagewell
