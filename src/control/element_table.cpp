#include "element_table.h"

namespace pagewell {

const std::array<ElementDesign, kElementCount>& elementDesigns() {
  using G = ElementGroup;
  static const std::array<ElementDesign, kElementCount> table = {{
      {L"CurrentImage", "shpMain", "PWImageMain", nullptr, false, G::MainArea},  // 0
      {L"Thumbnails", "grpThumbs", nullptr, nullptr, false, G::MainArea},  // 1
      {L"ControlPanel", "pgcPanel", "grpPanel", nullptr, false, G::MainArea},  // 2
      {L"Tab1", "tab1", nullptr, "pgcPanel", true, G::Tab},  // 3
      {L"Tab2", "tab2", nullptr, "pgcPanel", true, G::Tab},  // 4
      {L"Tab3", "tab3", nullptr, "pgcPanel", true, G::Tab},  // 5
      {L"Tab4", "tab4", nullptr, "pgcPanel", true, G::Tab},  // 6
      {L"Tab5", "tab5", nullptr, "pgcPanel", true, G::Tab},  // 7
      {L"Frame1", "grp1", nullptr, "tab1", true, G::Frame},  // 8
      {L"Frame2", "grp2", nullptr, "tab2", true, G::Frame},  // 9
      {L"Frame3", "grp3", nullptr, "tab2", true, G::Frame},  // 10
      {L"Frame4", "grp4", nullptr, "tab2", true, G::Frame},  // 11
      {L"Frame5", "grp5", nullptr, "tab3", true, G::Frame},  // 12
      {L"Frame6", "grp6", nullptr, "tab4", true, G::Frame},  // 13
      {L"Frame7", "grp7", nullptr, "tab4", true, G::Frame},  // 14
      {L"Frame8", "grp8", nullptr, "tab4", true, G::Frame},  // 15
      {L"Frame9", "grp9", nullptr, "tab4", true, G::Frame},  // 16
      {L"Frame10", "grp10", nullptr, "tab4", true, G::Frame},  // 17
      {L"ButtonAcquire", "btnAcquire", nullptr, "tab1", false, G::Button},  // 18
      {L"InputSelect", "cboSelect", nullptr, "tab1", false, G::Input},  // 19
      {L"CheckInterface", "chkInterface", nullptr, "tab1", false, G::CheckBox},  // 20
      {L"CheckMultiImage", "chkMultiImage", nullptr, "tab1", false, G::CheckBox},  // 21
      {L"CheckCloseInterface", "chkCloseInterface", nullptr, "tab1", false, G::CheckBox},  // 22
      {L"CheckDuplex", "chkDuplex", nullptr, "tab1", false, G::CheckBox},  // 23
      {L"LabelPixelType", "lblPixelType", nullptr, "grp1", false, G::Label},  // 24
      {L"InputPixelType", "cboPixelType", nullptr, "grp1", false, G::Input},  // 25
      {L"LabelResolution", "lblResolution", nullptr, "grp1", false, G::Label},  // 26
      {L"InputResolution", "edtResolution", "cboResolution", "grp1", false, G::Input},  // 27
      {L"LabelResolutionUnits", "lblResUnits", nullptr, "grp1", false, G::Label},  // 28
      {L"InputResolutionUnits", "cboResUnits", nullptr, "grp1", false, G::Input},  // 29
      {L"LabelPageSize", "lblPageSize", nullptr, "grp1", false, G::Label},  // 30
      {L"InputPageSize", "cboPageSize", nullptr, "grp1", false, G::Input},  // 31
      {L"LabelCustomSize", "lblCustomPage", nullptr, "grp1", false, G::Label},  // 32
      {L"InputWidth", "edtWidth", nullptr, "grp1", false, G::Input},  // 33
      {L"LabelBy", "lblx", nullptr, "grp1", false, G::Label},  // 34
      {L"InputHeight", "edtHeight", nullptr, "grp1", false, G::Input},  // 35
      {L"InputSizeUnits", "cboSizeUnits", nullptr, "grp1", false, G::Input},  // 36
      {L"OptionPages", "rdbSingle", "rdbAll", "grp2", false, G::OptionPages},  // 37
      {L"ButtonRotateCW", "btnRot90CW", nullptr, "grp3", false, G::Button},  // 38
      {L"ButtonRotateCCW", "btnRot90CCW", nullptr, "grp3", false, G::Button},  // 39
      {L"ButtonRotate180", "btnRot180", nullptr, "grp3", false, G::Button},  // 40
      {L"ButtonDeskew", "btnDeskew", nullptr, "grp3", false, G::Button},  // 41
      {L"ButtonDespeckle", "btnDespeckle", nullptr, "grp3", false, G::Button},  // 42
      {L"ButtonUpload", "btnUpload", nullptr, "grp4", false, G::Button},  // 43
      {L"ButtonAbort", "btnAbort", nullptr, "grp4", false, G::Button},  // 44
      {L"ProgressBar", "pbrUpload", "lblProgress", "grp4", false, G::ProgressBar},  // 45
      {L"LabelFilename", "lblFileName", nullptr, "grp4", false, G::Label},  // 46
      {L"InputFilename", "edtFileName", nullptr, "grp4", false, G::Input},  // 47
      {L"ButtonClear", "btnClear", nullptr, "grp5", false, G::Button},  // 48
      {L"ButtonDelete", "btnDelete", nullptr, "grp5", false, G::Button},  // 49
      {L"ButtonMoveUp", "btnMoveUp", nullptr, "grp5", false, G::Button},  // 50
      {L"ButtonMoveDown", "btnMoveDown", nullptr, "grp5", false, G::Button},  // 51
      {L"Label1", "lbl1", nullptr, "tab4", false, G::Label},  // 52
      {L"Label2", "lbl2", nullptr, "tab4", false, G::Label},  // 53
      {L"Label3", "lbl3", nullptr, "tab4", false, G::Label},  // 54
      {L"Label4", "lbl4", nullptr, "tab4", false, G::Label},  // 55
      {L"Label5", "lbl5", nullptr, "tab4", false, G::Label},  // 56
      {L"Label6", "lbl6", nullptr, "tab4", false, G::Label},  // 57
      {L"Label7", "lbl7", nullptr, "tab4", false, G::Label},  // 58
      {L"Label8", "lbl8", nullptr, "tab4", false, G::Label},  // 59
      {L"Label9", "lbl9", nullptr, "tab4", false, G::Label},  // 60
      {L"Label10", "lbl10", nullptr, "tab4", false, G::Label},  // 61
      {L"ButtonCrop", "btnCrop", nullptr, "grp3", false, G::Button},  // 62
      {L"ButtonSaveLocal", "btnSave", nullptr, "tab4", false, G::Button},  // 63
      {L"ButtonAddText", "btnText", nullptr, "tab4", false, G::Button},  // 64
      {L"InputAddText", "edtText", nullptr, "tab4", false, G::Input},  // 65
      {L"ButtonCustom", "btnCustom", nullptr, "tab4", false, G::Button},  // 66
      {L"LabelRotate", "lblRotate", nullptr, "grp3", false, G::Label},  // 67
      {L"LabelEdit", "lblEdit", nullptr, "grp3", false, G::Label},  // 68
      {L"InputText1", "edtText1", nullptr, "tab4", false, G::Input},  // 69
      {L"InputText2", "edtText2", nullptr, "tab4", false, G::Input},  // 70
      {L"InputText3", "edtText3", nullptr, "tab4", false, G::Input},  // 71
      {L"InputText4", "edtText4", nullptr, "tab4", false, G::Input},  // 72
      {L"InputText5", "edtText5", nullptr, "tab4", false, G::Input},  // 73
      {L"InputText6", "edtText6", nullptr, "tab4", false, G::Input},  // 74
      {L"InputText7", "edtText7", nullptr, "tab4", false, G::Input},  // 75
      {L"InputText8", "edtText8", nullptr, "tab4", false, G::Input},  // 76
      {L"InputText9", "edtText9", nullptr, "tab4", false, G::Input},  // 77
      {L"InputText10", "edtText10", nullptr, "tab4", false, G::Input},  // 78
  }};
  return table;
}

namespace {

// Element names are plain ASCII; other characters must match exactly.
wchar_t foldCase(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

bool sameName(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (foldCase(a[i]) != foldCase(b[i])) return false;
  return true;
}

}  // namespace

std::optional<std::size_t> findElement(std::wstring_view name) {
  const auto& table = elementDesigns();
  for (std::size_t entry = 0; entry < table.size(); ++entry)
    if (sameName(name, table[entry].name)) return entry;
  return std::nullopt;
}

ElementTable::ElementTable() {
  const auto& table = elementDesigns();
  for (std::size_t entry = 0; entry < table.size(); ++entry)
    containers_[entry] = table[entry].container ? table[entry].container : "";
}

const char* ElementTable::component(std::size_t entry) const {
  return entry == kTab1 ? tab1Component_.c_str() : elementDesigns()[entry].component;
}

}  // namespace pagewell
