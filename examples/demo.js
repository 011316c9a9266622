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
// 6. When the virtual scanner offers the duplex batch (scripts/demo gives it
//    examples/demo_devices.cfg): scans both sides of its mixed sheets in
//    colour as they come, saving duplex-all.pdf, then again with
//    DiscardBlankPages and AutoColor 2, saving duplex-kept.pdf, and reports
//    the pages kept and BlankPagesDiscarded.
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
var DUPLEX_DEVICE = "Pagewell Duplex Batch", RGB = 2, DUPLEX_DPI = 150;
var AUTO_COLOR_OFF = 0, AUTO_COLOR_TEXT_TO_BLACK_AND_WHITE = 2;
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

var deviceNames = [];
function chooseDevice() {
  for (var i = 0; i < TwainForm.DeviceCount; i++) {
    TwainForm.DeviceIndex = i;
    deviceNames.push(TwainForm.DeviceName);
  }
  say("devices: " + deviceNames.join(", "));
  TwainForm.DeviceName = DEVICE;
  expect("DeviceName", TwainForm.DeviceName, DEVICE);
}

// Scanning without the device's own dialog, every sheet of the feeder.
// Sets the control's properties in the order given, [name, value] each,
// then checks that every one reads back as set.
function setProperties(settings) {
  for (var i = 0; i < settings.length; i++) TwainForm[settings[i][0]] = settings[i][1];
  for (var i = 0; i < settings.length; i++) expect(settings[i][0], TwainForm[settings[i][0]], settings[i][1]);
}

function chooseSettings() {
  setProperties([["UseInterface", false], ["MultiImage", true], ["UseDuplex", false],
                 ["PixelType", BLACK_AND_WHITE], ["ResolutionUnits", INCH], ["Resolution", DPI], ["PageSize", LETTER]]);
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

// One scan of the duplex batch into an empty page list with the two
// members set as asked; answers the pages the form kept.
function scanDuplexBatch(discardBlankPages, autoColor) {
  TwainForm.Clear();
  setProperties([["DiscardBlankPages", discardBlankPages], ["AutoColor", autoColor]]);
  var before = acquired;
  Host.Click("Acquire");
  // The click returns when the feeder is empty; each kept page raised OnAcquire.
  check((acquired - before) + " pages acquired, but ImageCount is " + TwainForm.ImageCount,
        TwainForm.ImageCount == acquired - before);
  return TwainForm.ImageCount;
}

function blankPageNumbers() {
  var blank = [];
  for (var p = 1; p <= TwainForm.ImageCount; p++) {
    if (TwainForm.IsBlankPage(p)) blank.push(p);
  }
  return blank;
}

// The same sheets twice: as they come, then without their blank sides and
// with every page in the smallest colour mode that loses nothing. The
// pages IsBlankPage finds in the first scan are the ones the second drops.
function blankPagesAndColour() {
  setProperties([["DeviceName", DUPLEX_DEVICE], ["UseDuplex", true], ["PixelType", RGB], ["Resolution", DUPLEX_DPI],
                 ["PageSize", LETTER], ["FileFormat", "FileName"]]);
  say("duplex batch: " + DUPLEX_DEVICE + ", colour, " + DUPLEX_DPI + " dpi, Letter, both sides of every sheet");

  var scanned = scanDuplexBatch(false, AUTO_COLOR_OFF);
  var blank = blankPageNumbers();
  check("IsBlankPage finds " + blank.length + " of " + scanned + " pages blank",
        blank.length > 0 && blank.length < scanned);
  say("duplex scanned " + scanned + " pages with DiscardBlankPages false and AutoColor 0; IsBlankPage true for pages " +
      blank.join(" "));
  saveLocal("duplex-all.pdf", ALL_PAGES);

  var kept = scanDuplexBatch(true, AUTO_COLOR_TEXT_TO_BLACK_AND_WHITE);
  expect("BlankPagesDiscarded", TwainForm.BlankPagesDiscarded, blank.length);
  expect("pages kept", kept, scanned - blank.length);
  var keptBlank = blankPageNumbers();
  check("kept pages " + keptBlank.join(" ") + " are blank", keptBlank.length == 0);
  say("duplex kept " + kept + " of " + scanned + " pages with DiscardBlankPages true and AutoColor 2: BlankPagesDiscarded " +
      TwainForm.BlankPagesDiscarded);
  saveLocal("duplex-kept.pdf", ALL_PAGES);
  picture("form-duplex-kept.png");
}

function offersDuplexBatch() {
  for (var i = 0; i < deviceNames.length; i++) {
    if (deviceNames[i] == DUPLEX_DEVICE) return true;
  }
  return false;
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
  if (offersDuplexBatch()) {
    step("blank pages and colour", blankPagesAndColour);
  } else {
    say("no device \"" + DUPLEX_DEVICE + "\": blank pages and colour left out");
  }
} catch (e) {
  say("FAILED: " + e.message);
  Host.Quit(1);
}
say("demo finished");
