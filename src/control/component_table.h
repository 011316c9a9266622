#pragma once
// The form's components as designed: name, kind, parent, bounds in design
// pixels, caption and whether it starts visible. Parents come before their
// children, so the table can be created from top to bottom.
#include <vector>

#include "component_kind.h"

namespace pagewell {

struct ComponentDesign {
  const char* name;
  ComponentKind kind;
  const char* parent;  // nullptr: the form itself
  int left, top, width, height;
  const wchar_t* caption;
  bool visible;
};

const std::vector<ComponentDesign>& componentTable();

}  // namespace pagewell
