// Editing, output naming and the local save, as a page drives them.
//
//   output.js FOLDER ARTIFACTS
//
// Scans the three pages of the virtual scanner (output_scanner.conf), edits
// them and saves them under FOLDER in the documents folder. Checks what the
// control answers itself; the written files are checked by output_test.sh
// with libtiff, poppler, qpdf, djpeg, pngcheck and ImageMagick from the
// lines this script prints:
//   CHECK file type pages [width height]   the file decodes as that
//   SAME file file / DIFF file file        two saved pages have equal (or
//                                          different) pixels
//   ABSENT file                            no such file was written
// The wrapper puts FOLDER\keep.tif, FOLDER\locked.pdf (read-only) and the
// file FOLDER\blocker in place first.

var folder = Host.Arg(0);
var artifacts = Host.Arg(1);
var acquired = 0, saves = 0, customs = 0, failures = 0;

function TwainForm_OnAcquire() { acquired++; }
function TwainForm_OnSaveLocal() { saves++; }
function TwainForm_OnCustomClick() { customs++; }

function fail(what) {
  Host.Echo("FAIL " + what);
  failures++;
}
function expect(what, got, want) {
  if (got !== want) fail(what + ": got [" + got + "], want [" + want + "]");
}
function expectContains(what, text, part) {
  if (String(text).indexOf(part) < 0) fail(what + ": [" + text + "] lacks [" + part + "]");
}

// One click of "Save Local" with the name, format and page choice; answers
// the file's name inside FOLDER.
function save(fileFormat, name, pagesSelected) {
  TwainForm.FileFormat = fileFormat;
  TwainForm.FileName = name;
  TwainForm.PagesSelected = pagesSelected;
  var before = saves;
  Host.Click("Save Local");
  expect("OnSaveLocal raised once for " + name, saves, before + 1);
  return name;
}
function saveOk(fileFormat, name, pagesSelected) {
  save(fileFormat, folder + "\\" + name, pagesSelected);
  expect("saved " + name, TwainForm.SaveLocalSuccess, true);
  expect("no error for " + name, TwainForm.SaveLocalError, "");
  return name;
}
// Page `index` alone as a PNG.
function savePage(index, name) {
  TwainForm.ImageIndex = index;
  return saveOk("PNG", name, 1);
}

// Thumbnails: every viewer but the largest (the main viewer), top to
// bottom and left to right.
function thumbnails() {
  var lines = Host.Windows("PagewellViewer").split("\n"), boxes = [];
  for (var i = 0; i < lines.length; i++) {
    if (lines[i] == "") continue;
    var f = lines[i].split(" ");
    boxes.push({left: +f[0], top: +f[1], width: +f[2], height: +f[3]});
  }
  boxes.sort(function (a, b) { return b.width * b.height - a.width * a.height; });
  boxes.shift();
  boxes.sort(function (a, b) { return a.top - b.top || a.left - b.left; });
  return boxes;
}

function placeButtons() {
  var elements = ["ButtonRotateCW", "ButtonRotateCCW", "ButtonRotate180", "ButtonDeskew", "ButtonDespeckle",
                  "ButtonCrop", "InputAddText", "ButtonAddText", "ButtonSaveLocal", "ButtonCustom"];
  for (var i = 0; i < elements.length; i++) {
    TwainForm.SetContainer(elements[i], "Tab1");
    TwainForm.ShowElement(elements[i]);
  }
}

// The page list is what holds scanned pages; without it there is nothing
// to edit or save.
function scanKeepsPages() {
  try {
    TwainForm.Clear();
    return true;
  } catch (e) {
    return !/is not available in this build$/.test(e.message);
  }
}

function scan() {
  // Without the device's own window, and with the device's 3 x 2 inch frame.
  TwainForm.UseInterface = false;
  TwainForm.PageSizeMode = 2;
  Host.Click("Acquire");
  for (var waited = 0; TwainForm.ImageCount < 3 || acquired < 3; waited += 100) {
    if (waited > 60000) throw new Error("the scan gave " + TwainForm.ImageCount + " pages");
    Host.Sleep(100);
  }
}

function formats() {
  var cases = [
    // FileFormat, name, PagesSelected, type, pages in the file
    ["FileName", "sub\\scan.tif", 1, "tif", 1],
    ["TIF", "all.tif", 2, "tif", 3],
    ["PDF", "all.pdf", 2, "pdf", 3],
    ["FileName", "all_by_name.pdf", 2, "pdf", 3],
    ["JPG", "current_only.jpg", 2, "jpg", 1],
    ["FileName", "scan.jpeg", 1, "jpg", 1],
    ["FileName", "scan.txt", 1, "pdf", 1],
    ["BMP", "page.bmp", 1, "bmp", 1],
    ["GIF", "page.gif", 1, "gif", 1],
    ["PCX", "page.pcx", 1, "pcx", 1],
    ["PNG", "page.png", 2, "png", 1],
    ["PSD", "page.psd", 1, "psd", 1],
    ["WBM", "page.wbm", 1, "wbm", 1]
  ];
  TwainForm.ImageIndex = 1;
  for (var i = 0; i < cases.length; i++) {
    var c = cases[i];
    saveOk(c[0], c[1], c[2]);
    Host.Echo("CHECK " + c[1].replace(/\\/g, "/") + " " + c[3] + " " + c[4] + " 300 200");
  }
  TwainForm.FileName = "scan.txt";
  expect("FileNameExtension of scan.txt", TwainForm.FileNameExtension, "");
}

// Names that would leave the folder or name no file; each save fails with a
// message, raises OnSaveLocal and writes nothing.
function refusedNames() {
  var outside = "The file name must name a file inside the documents folder";
  var longName = new Array(300).join("x") + ".pdf";
  var cases = [
    ["..\\..\\escape.pdf", outside],
    [folder + "\\..\\..\\escape.pdf", outside],
    ["C:\\escape.pdf", outside],
    ["\\\\localhost\\share\\escape.pdf", outside],
    [folder + "\\escape.pdf:stream", outside],
    ["", "The file name is empty"],
    ["CON", "reserved for a device"],
    [folder + "\\nul.pdf", "reserved for a device"],
    [folder + "\\" + longName, "The file name is too long"],
    [folder + "\\locked.pdf", "read-only"],
    [folder + "\\blocker\\x.pdf", "Cannot create the file"],
    // Programs, scripts and names without a type are never written.
    [folder + "\\no_extension", "The file name needs a type such as .pdf"],
    [folder + "\\setup.exe", "The file type .exe is refused"],
    [folder + "\\invoice.pdf.Js", "The file type .js is refused"],
    [folder + "\\open.HTA", "The file type .hta is refused"]
  ];
  for (var i = 0; i < cases.length; i++) {
    save("FileName", cases[i][0], 1);
    expect("refused " + cases[i][0], TwainForm.SaveLocalSuccess, false);
    expectContains("message for " + cases[i][0], TwainForm.SaveLocalError, cases[i][1]);
  }
  Host.Echo("ABSENT escape.pdf");
  Host.Echo("ABSENT no_extension");
  Host.Echo("ABSENT setup.exe");
}

// An abort before the pages are encoded keeps the old file and reports
// failure; the next save goes through.
function abortedSave() {
  TwainForm.AbortUpload();
  save("TIF", folder + "\\keep.tif", 2);
  expect("aborted save fails", TwainForm.SaveLocalSuccess, false);
  expectContains("aborted save says so", TwainForm.SaveLocalError, "aborted");
  saveOk("TIF", "after_abort.tif", 2);
  Host.Echo("CHECK after_abort.tif tif 3 300 200");
}

function progressTexts() {
  Host.LabelLog();
  Host.StartLabelLog();
  saveOk("PDF", "progress.pdf", 2);
  expect("progress texts", Host.LabelLog(),
         "Preparing to upload - Page(1/3)...\nPreparing to upload - Page(2/3)...\nPreparing to upload - Page(3/3)...\n");
}

function replyFile() {
  TwainForm.SaveUploadReturnString(folder + "\\reply.txt");
  Host.Echo("REPLY reply.txt");
  var cases = [["..\\reply.txt", "inside the documents folder"], [folder + "\\missing\\reply.txt", "Cannot create the file"],
               [folder + "\\reply.cmd", "The file type .cmd is refused"], [folder + "\\reply", "needs a type"]];
  for (var i = 0; i < cases.length; i++) {
    try {
      TwainForm.SaveUploadReturnString(cases[i][0]);
      fail("SaveUploadReturnString(" + cases[i][0] + ") did not fail");
    } catch (e) {
      expectContains("SaveUploadReturnString(" + cases[i][0] + ")", e.message, cases[i][1]);
    }
  }
}

function editing() {
  // All pages turned: every page and every thumbnail stands upright.
  var before = thumbnails();
  expect("three thumbnails", before.length, 3);
  TwainForm.PagesSelected = 2;
  Host.Click("90\u00b0 CW");
  var after = thumbnails();
  for (var i = 0; i < 3; i++) {
    expect("thumbnail " + (i + 1) + " was wide", before[i].width > before[i].height, true);
    expect("thumbnail " + (i + 1) + " stands", after[i].width < after[i].height, true);
    Host.Echo("CHECK " + savePage(i + 1, "turned" + (i + 1) + ".png") + " png 1 200 300");
  }
  TwainForm.PagesSelected = 2;
  Host.Click("90\u00b0 CCW");
  savePage(1, "back1.png");
  Host.Echo("CHECK back1.png png 1 300 200");

  // Two half turns give the page back.
  savePage(2, "half_before.png");
  TwainForm.PagesSelected = 1;
  Host.Click("180\u00b0");
  savePage(2, "half_once.png");
  TwainForm.PagesSelected = 1;
  Host.Click("180\u00b0");
  savePage(2, "half_twice.png");
  Host.Echo("SAME half_before.png half_twice.png");
  Host.Echo("DIFF half_before.png half_once.png");

  // An empty stamp leaves the page as it was; a text changes it.
  TwainForm.AddText = "";
  Host.Click("Add Text");
  savePage(2, "stamp_empty.png");
  Host.Echo("SAME half_before.png stamp_empty.png");
  TwainForm.AddText = "Pagewell";
  TwainForm.PagesSelected = 1;
  Host.Click("Add Text");
  savePage(2, "stamped.png");
  Host.Echo("DIFF half_before.png stamped.png");

  // Crop with all pages selected: only the current page.
  savePage(1, "crop_other_before.png");
  TwainForm.ImageIndex = 2;
  TwainForm.PagesSelected = 2;
  Host.PostDrag("PagewellViewerPaintArea", 20, 20, 120, 90);
  Host.Click("Crop");
  savePage(2, "cropped.png");
  savePage(1, "crop_other_after.png");
  Host.Echo("SMALLER cropped.png 300 200");
  Host.Echo("SAME crop_other_before.png crop_other_after.png");

  // A release without a dragged rectangle leaves the page unchanged.
  TwainForm.ImageIndex = 3;
  savePage(3, "click_before.png");
  Host.PostDrag("PagewellViewerPaintArea", 50, 50, 50, 50);
  Host.Click("Crop");
  savePage(3, "click_after.png");
  Host.Echo("SAME click_before.png click_after.png");

  // Deskew and despeckle of every page keep them saveable.
  TwainForm.PagesSelected = 2;
  Host.Click("Deskew");
  Host.Click("Despeckle");
  saveOk("TIF", "edited.tif", 2);
  Host.Echo("CHECK edited.tif tif 3");

  Host.Click("Custom");
  expect("OnCustomClick", customs, 1);
}

try {
  placeButtons();
  if (!scanKeepsPages()) {
    Host.Echo("SKIP the form keeps no scanned pages");
    Host.Quit(0);
  }
  // With no page the button is disabled; nothing is saved and no event comes.
  try { Host.Click("Save Local"); } catch (e) {}
  expect("OnSaveLocal with no page", saves, 0);
  scan();
  formats();
  refusedNames();
  abortedSave();
  progressTexts();
  replyFile();
  editing();
  Host.Screenshot(artifacts + "\\output.png");
} catch (e) {
  fail("script stopped: " + e.message);
}
Host.Quit(failures == 0 ? 0 : 1);
