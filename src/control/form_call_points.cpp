// Where the form's creation, destruction and handlers call into the parts of
// the control that are built on top of it. Each call point states what it
// will do; until its part exists it does nothing and reports nothing, so no
// value is ever invented here.
#include "twain_form.h"

#include <stdexcept>

#include "editing_commands.h"
#include "local_save.h"

namespace pagewell {

// Page list: created at step 4, freed with every page viewer and bitmap.
void TTwainForm::createPageList() {}
void TTwainForm::freePageList() {}
void TTwainForm::freeSlotLabels() {}
unsigned TTwainForm::pageCount() const { return 0; }
std::vector<const TluBitmap*> TTwainForm::pageBitmaps() const { return {}; }
TPWImage* TTwainForm::pageViewer(unsigned) { return nullptr; }
void TTwainForm::showCurrentPage() {}
TPWImage& TTwainForm::mainViewer() { throw std::logic_error("There is no main viewer"); }

// Main viewer: automatic zoom and multi-image acquisition (step 9), the
// multi-image switch of chkMultiImage, and duplex.
void TTwainForm::setViewerModes() {}
void TTwainForm::setViewerMultiImage(bool) {}
void TTwainForm::switchViewerDuplexOff() {}

// Main viewer and scan panel: the TWAIN devices (step 12). Until the viewer
// can load the source manager there is no device to list.
int TTwainForm::deviceCount() { return 0; }
void TTwainForm::selectFirstDevice() {}
bool TTwainForm::deviceCanScanDuplex() { return state_.deviceConnected && false; }
void TTwainForm::updateSettingsControls() {}
void TTwainForm::retryDeviceConnection() {}
// Scan panel: renaming a pixel type refills cboPixelType from the device;
// renaming a page size runs the device connect again.
void TTwainForm::fillPixelTypeList() {}
void TTwainForm::connectDevice() {}

// Page list: the thumbnail strip (step 15).
void TTwainForm::layOutThumbnailStrip() {}
void TTwainForm::refreshThumbnails() {}

// The buttons whose commands belong to the scan panel, the page list, the
// editing commands, the local save and the upload.
void TTwainForm::runCommand(const std::string& buttonName) {
  if (buttonName == "btnUpload") return upload();
  if (buttonName == "btnSave") return SaveLocal(*this);
  if (RunEditingCommand(*this, buttonName)) return;
}

}  // namespace pagewell
