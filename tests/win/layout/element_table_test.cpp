// The element table as pages address it: names in any case, the groups the
// methods treat alike, the containers, and the component behind "Tab1".
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "element_table.h"

namespace {

using namespace pagewell;

struct LookupCase {
  const wchar_t* name;
  std::optional<std::size_t> entry;
};

const LookupCase kLookups[] = {
    {L"CurrentImage", 0},   {L"currentimage", 0}, {L"CURRENTIMAGE", 0}, {L"cUrReNtImAgE", 0},
    {L"Thumbnails", 1},     {L"ControlPanel", 2}, {L"Tab1", 3},         {L"tab5", 7},
    {L"Frame1", 8},         {L"frame10", 17},     {L"ButtonAcquire", 18}, {L"InputResolution", 27},
    {L"OptionPages", 37},   {L"ProgressBar", 45}, {L"Label1", 52},      {L"Label10", 61},
    {L"ButtonCrop", 62},    {L"ButtonCustom", 66}, {L"LabelEdit", 68},  {L"InputText1", 69},
    {L"InputText10", 78},
    // Not names of the table.
    {L"Frame99", std::nullopt}, {L"Frame0", std::nullopt}, {L"", std::nullopt},
    {L"CurrentImage ", std::nullopt}, {L" CurrentImage", std::nullopt}, {L"Tab", std::nullopt},
    {L"InputText", std::nullopt}, {L"InputText11", std::nullopt},
    // Only ASCII letters fold: a dotless or accented look-alike is another name.
    {L"Tab\u0131", std::nullopt}, {L"Frame\u0661", std::nullopt},
};

TEST(ElementTable, NamesAreFoundInAnyCase) {
  for (const LookupCase& lookup : kLookups)
    EXPECT_EQ(findElement(lookup.name), lookup.entry) << std::string(lookup.name, lookup.name + wcslen(lookup.name));
}

TEST(ElementTable, EmbeddedNulAndVeryLongNamesAreUnknown) {
  EXPECT_EQ(findElement(std::wstring_view(L"Tab1\0x", 6)), std::nullopt);
  EXPECT_EQ(findElement(std::wstring(1 << 20, L'a')), std::nullopt);
}

TEST(ElementTable, NamesAndComponentsAreUnique) {
  std::set<std::wstring> names;
  std::set<std::string> components;
  for (const ElementDesign& design : elementDesigns()) {
    std::wstring folded(design.name);
    for (wchar_t& c : folded) c = static_cast<wchar_t>(towlower(c));
    EXPECT_TRUE(names.insert(folded).second);
    EXPECT_TRUE(components.insert(design.component).second) << design.component;
    if (design.companion) {
      EXPECT_TRUE(components.insert(design.companion).second) << design.companion;
    }
  }
}

// Which entries the methods treat alike: a wrong group silently gives an
// element another element's rules.
TEST(ElementTable, GroupsCoverTheirEntries) {
  auto entriesOf = [](ElementGroup group) {
    std::set<std::size_t> entries;
    for (std::size_t i = 0; i < kElementCount; ++i)
      if (elementDesigns()[i].group == group) entries.insert(i);
    return entries;
  };
  auto range = [](std::size_t from, std::size_t to) {
    std::set<std::size_t> entries;
    for (std::size_t i = from; i <= to; ++i) entries.insert(i);
    return entries;
  };
  auto joined = [](std::initializer_list<std::set<std::size_t>> parts) {
    std::set<std::size_t> all;
    for (const auto& part : parts) all.insert(part.begin(), part.end());
    return all;
  };
  EXPECT_EQ(entriesOf(ElementGroup::MainArea), range(0, 2));
  EXPECT_EQ(entriesOf(ElementGroup::Tab), range(3, 7));
  EXPECT_EQ(entriesOf(ElementGroup::Frame), range(8, 17));
  EXPECT_EQ(entriesOf(ElementGroup::Button),
            joined({{18}, range(38, 44), range(48, 51), range(62, 64), {66}}));
  EXPECT_EQ(entriesOf(ElementGroup::Input),
            joined({{19, 25, 27, 29, 31, 33, 35, 36, 47, 65}, range(69, 78)}));
  EXPECT_EQ(entriesOf(ElementGroup::CheckBox), range(20, 23));
  EXPECT_EQ(entriesOf(ElementGroup::Label),
            joined({{24, 26, 28, 30, 32, 34, 46}, range(52, 61), {67, 68}}));
  EXPECT_EQ(entriesOf(ElementGroup::OptionPages), std::set<std::size_t>{37});
  EXPECT_EQ(entriesOf(ElementGroup::ProgressBar), std::set<std::size_t>{45});
  // Only tabs and frames may hold other elements.
  for (std::size_t i = 0; i < kElementCount; ++i)
    EXPECT_EQ(elementDesigns()[i].canContain, i >= 3 && i <= 17) << i;
}

struct ComponentCase {
  const wchar_t* name;
  const char* component;
  const char* companion;
  const char* container;
};

const ComponentCase kComponents[] = {
    {L"CurrentImage", "shpMain", "PWImageMain", ""},
    {L"Thumbnails", "grpThumbs", nullptr, ""},
    {L"ControlPanel", "pgcPanel", "grpPanel", ""},
    {L"Tab3", "tab3", nullptr, "pgcPanel"},
    {L"Frame5", "grp5", nullptr, "tab3"},
    {L"InputResolution", "edtResolution", "cboResolution", "grp1"},
    {L"OptionPages", "rdbSingle", "rdbAll", "grp2"},
    {L"ProgressBar", "pbrUpload", "lblProgress", "grp4"},
    {L"LabelBy", "lblx", nullptr, "grp1"},
    {L"ButtonSaveLocal", "btnSave", nullptr, "tab4"},
    {L"InputAddText", "edtText", nullptr, "tab4"},
    {L"LabelRotate", "lblRotate", nullptr, "grp3"},
    {L"InputText7", "edtText7", nullptr, "tab4"},
};

TEST(ElementTable, ComponentsAndDeclaredContainers) {
  ElementTable table;
  for (const ComponentCase& c : kComponents) {
    std::size_t entry = *findElement(c.name);
    EXPECT_STREQ(table.component(entry), c.component);
    if (c.companion)
      EXPECT_STREQ(table.companion(entry), c.companion);
    else
      EXPECT_EQ(table.companion(entry), nullptr);
    EXPECT_EQ(table.container(entry), c.container);
  }
}

TEST(ElementTable, Tab1StandsForTheSinglePanelWhenAsked) {
  ElementTable table;
  EXPECT_STREQ(table.component(kTab1), "tab1");
  table.setTab1Component("grpPanel");
  EXPECT_STREQ(table.component(kTab1), "grpPanel");
  EXPECT_STREQ(table.component(kTab1 + 1), "tab2");
  table.setContainer(18, "grp6");
  EXPECT_EQ(table.container(18), "grp6");
  EXPECT_EQ(ElementTable().container(18), "tab1");
}

}  // namespace
