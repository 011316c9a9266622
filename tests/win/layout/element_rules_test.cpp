// The value rules of the element methods: what a requested value becomes
// and the result code it earns, for default and changed layout constants.
#include <gtest/gtest.h>

#include <climits>

#include "element_rules.h"

namespace {

using namespace pagewell;

struct RuleCase {
  const char* rule;
  long value;
  int code;
  std::optional<long> applied;
};

void expectOutcome(const RuleCase& c, const ValueOutcome& outcome) {
  EXPECT_EQ(outcome.code, c.code) << c.rule << " " << c.value;
  EXPECT_EQ(outcome.apply, c.applied) << c.rule << " " << c.value;
}

TEST(ElementRules, DefaultLayout) {
  const LayoutConstants layout;
  const int captionHeight = 8;
  const std::optional<long> none;
  const RuleCase cases[] = {
      {"position", -1, 3, none},       {"position", 0, 0, 0L},          {"position", LONG_MAX, 0, LONG_MAX},
      {"position", LONG_MIN, 3, none},
      {"image", 0, 3, none},           {"image", -5, 3, none},          {"image", 1, 5, 112L},
      {"image", 111, 5, 112L},         {"image", 112, 0, 112L},         {"image", 450, 0, 450L},
      {"strip width", 150, 5, 201L},   {"strip width", -1, 5, 201L},    {"strip width", 0, 5, 201L},
      {"strip width", LONG_MIN, 5, 201L}, {"strip width", 200, 5, 201L}, {"strip width", 201, 0, 201L},
      {"strip height", 0, 3, none},    {"strip height", -3, 3, none},   {"strip height", 1, 5, 80L},
      {"strip height", 79, 5, 80L},    {"strip height", 80, 0, 80L},    {"strip height", 121, 0, 121L},
      {"panel", 0, 3, none},           {"panel", -1, 3, none},          {"panel", 1, 0, 1L},
      {"progress", 20, 3, none},       {"progress", -21, 3, none},      {"progress", 21, 0, 1L},
      {"progress", 37, 0, 17L},
      {"image border", -1, 3, none},   {"image border", 0, 0, 0L},      {"image border", 174, 0, 174L},
      {"image border", 175, 5, 174L},  {"image border", LONG_MAX, 5, 174L},
      {"gap", 7, 3, none},             {"gap", LONG_MIN, 3, none},      {"gap", 8, 0, 8L},
      {"gap", 40, 0, 40L},
  };
  for (const RuleCase& c : cases) {
    std::string rule = c.rule;
    if (rule == "position") expectOutcome(c, mainAreaPosition(c.value));
    if (rule == "image") expectOutcome(c, currentImageSize(c.value, layout));
    if (rule == "strip width") expectOutcome(c, thumbnailsWidth(c.value, layout));
    if (rule == "strip height") expectOutcome(c, thumbnailsHeight(c.value, captionHeight, layout));
    if (rule == "panel") expectOutcome(c, controlPanelSize(c.value));
    if (rule == "progress") expectOutcome(c, progressBarHeight(c.value, layout));
    if (rule == "image border") expectOutcome(c, currentImageBorder(c.value, 450, layout));
    if (rule == "gap") expectOutcome(c, thumbnailGap(c.value));
  }
}

// The minimums follow the constants they are made of: a page that widened
// the border or the gap, or a larger font, moves them.
TEST(ElementRules, MinimumsFollowTheLayout) {
  LayoutConstants layout;
  layout.mainBorder = 20;
  EXPECT_EQ(currentImageSize(141, layout).apply, 142L);
  layout.thumbnailGap = 30;
  EXPECT_EQ(thumbnailsHeight(1, 14, layout).apply, 14L + 60 + 15 + 17 + 8);
  EXPECT_EQ(minimumStripWidth(layout), 201);
  // The smallest frame leaves room for a border of (112 - 100 - 2) div 2.
  EXPECT_EQ(currentImageBorder(6, 112, LayoutConstants{}).apply, 5L);
}

struct ContainedCase {
  long position, extent, container;
  int code;
};

TEST(ElementRules, ContainedCheck) {
  const ContainedCase cases[] = {
      {8, 81, 305, 0},   {224, 81, 305, 0},  {225, 81, 305, 4}, {0, 0, 0, 0},
      {-50, 10, 0, 0},   {10, -20, 0, 0},    {LONG_MAX, LONG_MAX, LONG_MAX, 4},
      {LONG_MIN, LONG_MIN, 0, 0}, {LONG_MAX, 1, LONG_MAX, 4},
  };
  for (const ContainedCase& c : cases)
    EXPECT_EQ(containedCheck(c.position, c.extent, c.container), c.code)
        << c.position << " + " << c.extent << " in " << c.container;
}

TEST(ElementRules, IndexRanges) {
  const struct {
    long index;
    int count;
    int code;
  } cases[] = {{0, 4, 0}, {3, 4, 0}, {4, 4, 6}, {-1, 4, 6}, {LONG_MIN, 9, 6}, {LONG_MAX, 9, 6}, {8, 9, 0}, {1, 2, 0}, {2, 2, 6}};
  for (const auto& c : cases) EXPECT_EQ(indexCheck(c.index, c.count), c.code) << c.index << " of " << c.count;
}

}  // namespace
