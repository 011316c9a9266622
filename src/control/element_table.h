#pragma once
// The fixed table of on-screen elements a page addresses by name: which
// component(s) each name stands for, the container it is declared in and
// whether it may hold other elements. Only the declared containers and the
// component behind "Tab1" change after creation.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pagewell {

// How the element methods treat an element.
enum class ElementGroup {
  MainArea,
  Tab,
  Frame,
  Button,
  Input,
  CheckBox,
  Label,
  OptionPages,
  ProgressBar,
};

struct ElementDesign {
  const wchar_t* name;
  // The component it stands for, and a second one moved along with it
  // (nullptr when there is none).
  const char* component;
  const char* companion;
  const char* container;  // declared container at creation; nullptr: the form
  bool canContain;
  ElementGroup group;
};

constexpr std::size_t kElementCount = 79;
const std::array<ElementDesign, kElementCount>& elementDesigns();

// Entries with a fixed meaning.
enum ElementIndex : std::size_t {
  kCurrentImage = 0,
  kThumbnails = 1,
  kControlPanel = 2,
  kTab1 = 3,
  kFirstMovableElement = 8,
};

// The entry of that name, compared without regard to case.
std::optional<std::size_t> findElement(std::wstring_view name);

class ElementTable {
 public:
  ElementTable();

  // The component an entry stands for now ("Tab1" is grpPanel while the
  // control panel is a single panel).
  const char* component(std::size_t entry) const;
  const char* companion(std::size_t entry) const { return elementDesigns()[entry].companion; }
  ElementGroup group(std::size_t entry) const { return elementDesigns()[entry].group; }
  bool canContain(std::size_t entry) const { return elementDesigns()[entry].canContain; }

  // Declared container: the component name, empty for the form.
  const std::string& container(std::size_t entry) const { return containers_[entry]; }
  void setContainer(std::size_t entry, std::string component) { containers_[entry] = std::move(component); }

  void setTab1Component(std::string component) { tab1Component_ = std::move(component); }
  const std::string& tab1Component() const { return tab1Component_; }

 private:
  std::array<std::string, kElementCount> containers_;
  std::string tab1Component_ = "tab1";
};

}  // namespace pagewell
