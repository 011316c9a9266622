// Where the form's creation, destruction and handlers call into the parts of
// the control that are built on top of it. Each call point states what it
// will do; until its part exists it does nothing and reports nothing, so no
// value is ever invented here.
#include "twain_form.h"

#include "editing_commands.h"
#include "local_save.h"
#include "scan_panel.h"
#include "viewer/pw_image.h"

namespace pagewell {

// Main viewer: automatic zoom and multi-image acquisition (step 9), the
// multi-image switch of chkMultiImage, and duplex.
void TTwainForm::setViewerModes() {
  mainViewer_->SetAutoZoom(true);
  mainViewer_->SetMultiImage(true);
}
void TTwainForm::setViewerMultiImage(bool multiImage) { mainViewer_->SetMultiImage(multiImage); }
void TTwainForm::switchViewerDuplexOff() {
  if (state_.deviceConnected) mainViewer_->SetDuplex(false);
}

// Scan panel: the TWAIN devices (step 12), the settings controls and the
// connection retry of tmrConnect.
int TTwainForm::deviceCount() { return scanPanel_->deviceCount(); }
void TTwainForm::selectFirstDevice() { scanPanel_->listDevices(); }
bool TTwainForm::deviceCanScanDuplex() { return scanPanel_->duplexCapable(); }
void TTwainForm::updateSettingsControls() { scanPanel_->updateSettingsControls(); }
void TTwainForm::retryDeviceConnection() { scanPanel_->refreshDevice(); }

// Scan panel: renaming a pixel type refills cboPixelType from the device;
// renaming a page size runs the device connect again.
void TTwainForm::fillPixelTypeList() { scanPanel_->refillPixelTypes(); }
void TTwainForm::connectDevice() { scanPanel_->reconnect(); }

// The buttons whose commands belong to the scan panel, the page list, the
// editing commands, the local save and the upload.
void TTwainForm::runCommand(const std::string& buttonName) {
  if (runPageCommand(buttonName)) return;
  if (buttonName == "btnUpload") return upload();
  if (buttonName == "btnSave") return SaveLocal(*this);
  if (RunEditingCommand(*this, buttonName)) return;
}

}  // namespace pagewell
