#pragma once
// TScanPanel: the Acquire tab. It chooses the TWAIN device and its settings
// through the main viewer, keeps the tab's controls filled and enabled to
// match the device, and runs an acquisition from btnAcquire. The form owns
// it and hands it the tab's control events; the scan members of ITwainForm
// read and write through it.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace pagewell {

class TTwainForm;
class TPWImage;

class TScanPanel {
 public:
  TScanPanel(TTwainForm& form, TPWImage& viewer);
  TScanPanel(const TScanPanel&) = delete;
  TScanPanel& operator=(const TScanPanel&) = delete;

  // Creation: the devices listed in cboSelect, the first one chosen.
  int deviceCount();
  void listDevices();
  // Connect and bring every control of the tab in line with the device;
  // also what tmrConnect runs.
  void refreshDevice();
  void updateSettingsControls();
  bool duplexCapable();
  // After a pixel type or page size was renamed: the lists again, with the
  // new names.
  void refillPixelTypes();
  void reconnect();
  // An acquisition is running (its batch may call back into the control).
  bool acquiring() const { return acquiring_; }

  // Control events of the tab; false when the control is not the panel's.
  bool handleCommand(std::string_view name, WORD code);
  bool handleClick(std::string_view name);
  // Enter typed into an edit of the tab.
  bool handleEnter(std::string_view name);

  // Automation members. "No device" answers are the members' fallbacks.
  bool hasDevice() const;
  std::wstring deviceName() const;
  void setDeviceName(const std::wstring& name);
  int deviceIndex() const;
  void setDeviceIndex(int index);
  int pixelType() const;
  void setPixelType(int code);
  int resolutionUnits() const;
  void setResolutionUnits(int index);
  double resolution();
  void setResolution(double value);
  int pageSize() const;
  void setPageSize(int index);
  int pageSizeUnits() const;
  void setPageSizeUnits(int index);
  double pageWidth() const;
  double pageHeight() const;
  void setPageWidth(double value);
  void setPageHeight(double value);
  bool useDuplex() const;
  void setUseDuplex(bool value);
  // The viewer's MICR switch, which only the device can turn on.
  bool micrEnabled() const;
  void setMicrEnabled(bool value);

 private:
  enum class Axis { Width, Height };

  bool connect();
  void forgetDeviceSettings();
  void fillPixelTypes();
  void chooseUnits();
  void fillResolutionList();
  void fillPageSizes();
  void showResolution();
  void showFrameSize();
  void applyPageSize();
  void updatePageSizeControls();
  void enableDuplexOption();

  void onSelectChange();
  void onDuplexClick();
  void onPixelTypeChange();
  void commitResolution();
  void commitLength(Axis axis, bool enter);
  void runAcquisition();

  int displayUnit() const;
  int sizeUnit() const;
  bool customSizeChosen() const;
  std::optional<int> chosenPageSize() const;
  double deviceLengthIn(int unit, double length) const;
  double physicalExtent(Axis axis) const;
  const char* visibleResolutionBox() const;
  void selectDevice(int index);

  HWND control(std::string_view name) const;
  void enable(std::string_view name, bool enabled);
  void show(std::string_view name, bool visible);
  int selectedItem(std::string_view name) const;
  void selectItem(std::string_view name, int index);
  int findItem(std::string_view name, const std::wstring& text) const;

  TTwainForm& form_;
  TPWImage& viewer_;
  bool acquiring_ = false;
};

}  // namespace pagewell
