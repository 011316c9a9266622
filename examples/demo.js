// Pagewell demo page: drives the control as a web page would, every step
// through the control's own members and buttons.
//
//   scripts/pagehost examples/demo.js [OUTPUT_FOLDER [UPLOAD_URL [SAVE_FOLDER]]]
//
// 1. Chooses the virtual feeder and its settings: black and white, 200 dots
//    per inch, Letter, every sheet of the feeder, no device dialog.
// 2. Scans its pages by pressing Acquire.
// 3. With all pages selected: Deskew, Despeckle, Add Text (a stamp) and
//    90° CW on every page.
// 4. Saves, with Save Local, all pages as one TIFF and one PDF, and the
//    first page as PNG and as JPEG, into SAVE_FOLDER (default PagewellDemo)
//    of the user's documents folder, where the control puts local saves.
// 5. Uploads all pages as one PDF with a form variable to UPLOAD_URL, when
//    one is given, and checks the server's answer.
//
// OUTPUT_FOLDER (a Windows path, Z:\... for a Linux folder) receives
// pictures of the form before the scan, after it and at the end.
//
// Every step reports one "[page] ..." line; the last line is
// "[page] demo finished". Any error of the control, a refused setting, a
// failed save or upload, or a button that cannot be pressed ends the script
// with exit code 1 and a "[page] FAILED: ..." line (77 when the form keeps
// no scanned pages at all). The same steps, for a
// browser and a person pressing the buttons, are in demo.html.

var outputFolder = Host.ArgCount > 0 ? Host.Arg(0) : "";
var uploadUrl = Host.ArgCount > 1 ? Host.Arg(1) : "";
var saveFolder = Host.ArgCount > 2 ? Host.Arg(2) : "PagewellDemo";

var DEVICE = "Pagewell Virtual Feeder";
var BLACK_AND_WHITE = 0, INCH = 0, DPI = 200, LETTER = 3, ALL_PAGES = 2, CURRENT_PAGE = 1;
var STAMP = "Pagewell demo";
var WAIT_LIMIT_MS = 60000;
var NO_PAGE_LIST = 77;

var acquired = 0, savedLocal = 0, uploadsStarted = 0, uploadsFinished = 0;
function TwainForm_OnAcquire() { acquired++; }
function TwainForm_OnSaveLocal() { savedLocal++; }
function TwainForm_OnStartUpload() { uploadsStarted++; }
function TwainForm_OnFinishUpload() { uploadsFinished++; }

function say(text) { Host.Echo("[page] " + text); }

function check(what, condition) {
  if (!condition) throw new Error(what);
}

function expect(what, actual, wanted) {
  check(what + " reads " + actual + ", expected " + wanted, actual === wanted);
}

// Runs one step; an error names the step it happened in.
function step(what, body) {
  try {
    body();
  } catch (e) {
    throw new Error(what + ": " + (e.message || e.description || e));
  }
}

// Waits, serving the control's messages, until done() holds.
function waitFor(what, done) {
  for (var waited = 0; !done(); waited += 100) {
    if (waited >= WAIT_LIMIT_MS) throw new Error("gave up waiting for " + what);
    Host.Sleep(100);
  }
}

function picture(name) {
  if (outputFolder == "") return;
  Host.Screenshot(outputFolder + "\\" + name);
  say("picture of the form: " + name);
}

// An element method answers 0 when all went as asked.
function arrange(what, result) {
  check(what + " answered " + result, result === 0);
}

function chooseDevice() {
  var names = [];
  for (var i = 0; i < TwainForm.DeviceCount; i++) {
    TwainForm.DeviceIndex = i;
    names.push(TwainForm.DeviceName);
  }
  say("devices: " + names.join(", "));
  TwainForm.DeviceName = DEVICE;
  expect("DeviceName", TwainForm.DeviceName, DEVICE);
}

// Scanning without the device's own dialog, every sheet of the feeder.
function chooseSettings() {
  TwainForm.UseInterface = false;
  TwainForm.MultiImage = true;
  TwainForm.UseDuplex = false;
  TwainForm.PixelType = BLACK_AND_WHITE;
  TwainForm.ResolutionUnits = INCH;
  TwainForm.Resolution = DPI;
  TwainForm.PageSize = LETTER;
  expect("UseInterface", TwainForm.UseInterface, false);
  expect("MultiImage", TwainForm.MultiImage, true);
  expect("PixelType", TwainForm.PixelType, BLACK_AND_WHITE);
  expect("ResolutionUnits", TwainForm.ResolutionUnits, INCH);
  expect("Resolution", TwainForm.Resolution, DPI);
  expect("PageSize", TwainForm.PageSize, LETTER);
  say("settings: black and white, " + TwainForm.Resolution + " dpi, Letter, all sheets, no device dialog");
}

function scan() {
  Host.Click("Acquire");
  // The click returns when the feeder is empty; each page raised OnAcquire.
  waitFor("the scanned pages", function () { return acquired > 0; });
  if (TwainForm.ImageCount == 0) {
    // A build of the control whose form does not keep scanned pages yet:
    // nothing after this can run. The page test counts this as skipped.
    say("FAILED: scan: " + acquired + " pages acquired, but the form keeps no pages");
    Host.Quit(NO_PAGE_LIST);
  }
  check(acquired + " pages acquired, but ImageCount is " + TwainForm.ImageCount, TwainForm.ImageCount == acquired);
  say("scanned " + TwainForm.ImageCount + " pages, page " + TwainForm.ImageIndex + " showing");
}

// The editing and saving buttons live on other tabs; once the device
// settings have done their work, the page puts the buttons it uses in their
// place on the first tab, where the user (and the host's Click) reaches them.
function placeButtons() {
  arrange("HideElement Frame1", TwainForm.HideElement("Frame1"));
  arrange("SetContainer Frame3", TwainForm.SetContainer("Frame3", "Tab1"));
  arrange("SetTop Frame3", TwainForm.SetTop("Frame3", 192));
  var row = [["InputAddText", 8, 370], ["ButtonAddText", 104, 368], ["ButtonSaveLocal", 176, 368]];
  for (var i = 0; i < row.length; i++) {
    arrange("SetContainer " + row[i][0], TwainForm.SetContainer(row[i][0], "Tab1"));
    arrange("SetLeft " + row[i][0], TwainForm.SetLeft(row[i][0], row[i][1]));
    arrange("SetTop " + row[i][0], TwainForm.SetTop(row[i][0], row[i][2]));
  }
  say("editing buttons placed on the first tab");
}

function edit() {
  TwainForm.PagesSelected = ALL_PAGES;
  expect("PagesSelected", TwainForm.PagesSelected, ALL_PAGES);
  Host.Click("Deskew");
  Host.Click("Despeckle");
  TwainForm.AddText = STAMP;
  expect("AddText", TwainForm.AddText, STAMP);
  Host.Click("Add Text");
  Host.Click("90\u00b0 CW");
  say("all " + TwainForm.ImageCount + " pages deskewed, despeckled, stamped \"" + STAMP +
      "\" and turned 90 degrees clockwise");
}

// Save Local writes into the documents folder and answers with OnSaveLocal.
function saveLocal(fileName, pages) {
  TwainForm.FileName = saveFolder + "\\" + fileName;
  TwainForm.PagesSelected = pages;
  var before = savedLocal;
  Host.Click("Save Local");
  waitFor("the local save of " + fileName, function () { return savedLocal > before; });
  check("SaveLocalError: " + TwainForm.SaveLocalError, TwainForm.SaveLocalSuccess);
  say("saved " + fileName + " (" + (pages == ALL_PAGES ? "all pages" : "page " + TwainForm.ImageIndex) +
      ") in Documents\\" + saveFolder);
}

function saveFiles() {
  TwainForm.FileFormat = "FileName";  // the format follows the extension
  saveLocal("demo.pdf", ALL_PAGES);
  saveLocal("demo.tif", ALL_PAGES);
  TwainForm.ImageIndex = 1;
  expect("ImageIndex", TwainForm.ImageIndex, 1);
  saveLocal("page1.png", CURRENT_PAGE);
  saveLocal("page1.jpg", CURRENT_PAGE);
}

function upload() {
  TwainForm.UploadURL = uploadUrl;
  TwainForm.FormTagName = "Pagewell";
  var count = TwainForm.AddFormVar("source", "Pagewell demo");
  expect("AddFormVar", count, 1);
  TwainForm.FileFormat = "PDF";
  TwainForm.FileName = "demo.pdf";
  TwainForm.PagesSelected = ALL_PAGES;
  TwainForm.UploadTimeout = 30;
  var before = uploadsFinished;
  TwainForm.Upload();
  waitFor("the upload", function () { return uploadsFinished > before; });
  check("no OnStartUpload", uploadsStarted > 0);
  var reply = TwainForm.UploadReturnString.replace(/\s+$/, "");
  check("UploadStatus " + TwainForm.UploadStatus + ", reply: " + reply, TwainForm.UploadStatus == 200);
  say("uploaded demo.pdf (all pages) to " + uploadUrl + ": status " + TwainForm.UploadStatus + ", reply: " + reply);
}

try {
  say(TwainForm.Version);
  step("choose the device", chooseDevice);
  step("choose the settings", chooseSettings);
  picture("form-before-scan.png");
  step("scan", scan);
  picture("form-after-scan.png");
  step("place the buttons", placeButtons);
  step("edit", edit);
  step("save locally", saveFiles);
  if (uploadUrl != "") {
    step("upload", upload);
  } else {
    say("no upload URL given: upload left out");
  }
  picture("form-done.png");
} catch (e) {
  say("FAILED: " + e.message);
  Host.Quit(1);
}
say("demo finished: " + TwainForm.ImageCount + " pages");
