#pragma once
// The kinds of on-screen component the form is made of.
namespace pagewell {

enum class ComponentKind {
  Shape,
  Viewer,
  GroupBox,
  PageControl,
  TabSheet,
  Button,
  CheckBox,
  RadioButton,
  Label,
  ComboBox,
  Edit,
  ProgressBar,
};

}  // namespace pagewell
