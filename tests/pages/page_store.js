// Pages kept in the page store with a memory limit of nothing, so that every
// page lives in the temporary file: scanned in every pixel type, shown,
// edited, arranged, saved and uploaded as several-page files, deleted and
// cleared, and scanned again. One run, its steps in order; the files are
// checked afterwards by page_store_check.py with real decoders.
//
//   pagehost page_store.js RECEIVER FOLDER ARTIFACTS
//
// RECEIVER is the upload receiver's address, FOLDER a folder of the
// documents folder for the saved files, ARTIFACTS where screenshots go.
var RECEIVER = Host.Arg(0), FOLDER = Host.Arg(1), ARTIFACTS = Host.Arg(2);
var DEVICE = "Pagewell Store Feeder";

var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}
var acquired = 0, saved = 0;
function TwainForm_OnAcquire() { acquired++; }
function TwainForm_OnSaveLocal() { saved++; }

// The limit is in megabytes; values outside 0..1024 are ignored.
check("default memory limit", TwainForm.PageMemoryLimit, 64);
var limits = [[0, 0], [-1, 0], [1025, 0], [1024, 1024], [0, 0]];
for (var i = 0; i < limits.length; i++) {
  TwainForm.PageMemoryLimit = limits[i][0];
  check("memory limit after " + limits[i][0], TwainForm.PageMemoryLimit, limits[i][1]);
}

// The save button sits on a tab of its own until it is placed.
TwainForm.SetContainer("ButtonSaveLocal", "Tab1");
TwainForm.ShowElement("ButtonSaveLocal");

for (var d = 0; d < TwainForm.DeviceCount; d++) {
  TwainForm.DeviceIndex = d;
  if (TwainForm.DeviceName == DEVICE) break;
}
check("device", TwainForm.DeviceName, DEVICE);
TwainForm.UseInterface = false;
TwainForm.MultiImage = true;

function scanBatch(pixelType) {
  var before = acquired;
  TwainForm.PixelType = pixelType;
  Host.ClickTab("Acquire");
  Host.Click("Acquire");
  for (var waited = 0; acquired < before + 2 && waited < 30000; waited += 100) Host.Sleep(100);
  check("pages of the batch in pixel type " + pixelType, acquired - before, 2);
}
// Colour, gray, black and white: pages 1-2, 3-4, 5-6.
scanBatch(2);
scanBatch(1);
scanBatch(0);
check("pages held", TwainForm.ImageCount, 6);
check("current page after the scan", TwainForm.ImageIndex, 6);

// Every page shows again from the file, in any order.
var order = [1, 6, 3, 2, 5, 4, 1];
for (var i = 0; i < order.length; i++) {
  TwainForm.ImageIndex = order[i];
  check("shown page", TwainForm.ImageIndex, order[i]);
}
Host.Screenshot(ARTIFACTS + "\\page_store_first.png");

function save(name, pagesSelected) {
  var before = saved;
  TwainForm.PagesSelected = pagesSelected;
  TwainForm.FileName = FOLDER + "\\" + name;
  Host.ClickTab("Acquire");
  Host.Click("Save Local");
  check("OnSaveLocal for " + name, saved - before, 1);
  check("saved " + name, TwainForm.SaveLocalSuccess, true);
  if (!TwainForm.SaveLocalSuccess) Host.Echo("  " + TwainForm.SaveLocalError);
}
function upload(name, tag) {
  TwainForm.PagesSelected = 2;
  TwainForm.FileName = name;
  TwainForm.UploadURL = RECEIVER + "/ok?t=" + tag;
  TwainForm.Upload();
  check("upload status of " + name, TwainForm.UploadStatus, 200);
}

// The first page on its own, as it was scanned.
save("first.png", 1);
// Every page turned, one at a time through the file, then all of them out.
TwainForm.PagesSelected = 2;
Host.ClickTab("Edit/Upload");
Host.Click("90\u00b0 CW");
save("all.tif", 2);
save("all.pdf", 2);
upload("all.tif", "tif");
upload("all.pdf", "pdf");

// Arranging and deleting move pages, not images.
Host.ClickTab("Arrange");
TwainForm.ImageIndex = 2;
Host.Click("Delete");
check("pages after a delete", TwainForm.ImageCount, 5);
TwainForm.ImageIndex = 5;
Host.Click("Move Up");
check("current page after moving up", TwainForm.ImageIndex, 4);
save("arranged.tif", 2);
Host.Screenshot(ARTIFACTS + "\\page_store_arranged.png");

TwainForm.Clear();
check("pages after Clear", TwainForm.ImageCount, 0);
scanBatch(2);
check("pages after scanning again", TwainForm.ImageCount, 2);
save("again.tif", 2);

Host.Echo(failures == 0 ? "page store: all steps passed" : "page store: " + failures + " failures");
Host.Quit(failures == 0 ? 0 : 1);
