// Pagewell demo page: drives the control as a web page would.
//
//   scripts/pagehost examples/demo.js [OUTPUT_FOLDER [UPLOAD_URL]]
//
// Picks the virtual scanner, scans its pages, straightens, cleans, turns and
// stamps them, saves them as one PDF and one TIFF plus the first page as PNG
// and JPEG, and uploads the PDF to UPLOAD_URL. OUTPUT_FOLDER (a Windows
// path, Z:\... for a Linux folder) receives a picture of the form. The local
// saves go where the control puts them, the user's documents folder, under
// PagewellDemo\; scripts/demo collects them from there.
//
// Every step reports one line. A member the control does not have yet
// answers "... is not available in this build": the step says so, the steps
// that need its result are skipped, and the last line lists those members,
// so that the caller (scripts/demo) knows what the control did not do. Any
// other error ends the script with exit code 1.
//
// The same logic, for a browser, is in demo.html.

var outputFolder = Host.ArgCount > 0 ? Host.Arg(0) : "";
var uploadUrl = Host.ArgCount > 1 ? Host.Arg(1) : "";

var DEVICE = "Pagewell Virtual Feeder";
var SAVE_FOLDER = "PagewellDemo";
var STAMP = "Pagewell demo";
var WAIT_LIMIT_MS = 60000;

var missing = [];
var acquired = 0, savedLocal = 0, uploadsFinished = 0;

function TwainForm_OnAcquire() { acquired++; }
function TwainForm_OnSaveLocal() { savedLocal++; }
function TwainForm_OnFinishUpload() { uploadsFinished++; }

function say(text) { Host.Echo("[page] " + text); }

function notInThisBuild(error) {
  return /is not available in this build$/.test(error.message);
}

// Runs one step. False when the control lacks a member the step needs;
// other errors are real failures and propagate.
function step(what, body) {
  try {
    body();
    return true;
  } catch (e) {
    if (!notInThisBuild(e)) {
      e.message = what + ": " + e.message;
      throw e;
    }
    say(what + ": skipped, " + e.message);
    missing.push(e.message.replace(/ is not available in this build$/, ""));
    return false;
  }
}

// Waits, serving the control's messages, until done() holds.
function waitFor(what, done) {
  for (var waited = 0; !done(); waited += 100) {
    if (waited >= WAIT_LIMIT_MS) throw new Error("gave up waiting for " + what);
    Host.Sleep(100);
  }
}

function check(what, condition) {
  if (!condition) throw new Error(what);
}

function run() {
  say(TwainForm.Version);

  // Scanning without the device's own dialog, every page of the feeder.
  TwainForm.UseInterface = false;
  TwainForm.MultiImage = true;
  TwainForm.CloseInterface = true;
  say("scan settings: own interface " + TwainForm.UseInterface + ", multiple images " + TwainForm.MultiImage);

  var picked = step("pick the virtual scanner", function () {
    var names = [];
    for (var i = 0; i < TwainForm.DeviceCount; i++) {
      TwainForm.DeviceIndex = i;
      names.push(TwainForm.DeviceName);
    }
    say("devices: " + names.join(", "));
    TwainForm.DeviceName = DEVICE;
    check("device " + DEVICE + " not found", TwainForm.DeviceName == DEVICE);
    TwainForm.PixelType = 1;  // grayscale
    TwainForm.ResolutionUnits = 0;
    TwainForm.Resolution = 150;
    say("device: " + TwainForm.DeviceName + ", pixel type " + TwainForm.PixelType + ", " +
        TwainForm.Resolution + " dpi");
  });

  if (picked) {
    Host.Click("Acquire");
    waitFor("the scanned pages", function () { return acquired > 0 && acquired >= TwainForm.ImageCount; });
    say("scanned " + acquired + " images, " + TwainForm.ImageCount + " pages kept");
  }
  var pages = TwainForm.ImageCount;
  if (pages == 0) {
    say("no pages in the control: editing, saving and uploading skipped");
    return;
  }

  // The editing and saving buttons live on other tabs; a page puts the ones
  // it uses where the user (and the host's Click) can reach them.
  var placed = step("place the buttons", function () {
    var elements = ["ButtonDeskew", "ButtonDespeckle", "ButtonRotateCW", "InputAddText", "ButtonAddText",
                    "ButtonSaveLocal"];
    for (var i = 0; i < elements.length; i++) {
      TwainForm.SetContainer(elements[i], "Tab1");
      TwainForm.ShowElement(elements[i]);
    }
  });

  if (placed) {
    TwainForm.PagesSelected = 2;  // all pages
    Host.Click("Deskew");
    Host.Click("Despeckle");
    TwainForm.AddText = STAMP;
    Host.Click("Add Text");
    say("all pages deskewed, despeckled and stamped \"" + TwainForm.AddText + "\"");
    TwainForm.PagesSelected = 1;
    step("turn the first page", function () {
      TwainForm.ImageIndex = 1;
      Host.Click("90\u00b0 CW");
      say("page 1 turned 90 degrees clockwise");
    });

    // PDF and TIFF hold every page; PNG and JPEG the current one.
    var files = [[SAVE_FOLDER + "\\demo.pdf", 2], [SAVE_FOLDER + "\\demo.tif", 2],
                 [SAVE_FOLDER + "\\page1.png", 1], [SAVE_FOLDER + "\\page1.jpg", 1]];
    TwainForm.FileFormat = "FileName";
    for (var f = 0; f < files.length; f++) {
      TwainForm.FileName = files[f][0];
      TwainForm.PagesSelected = files[f][1];
      var before = savedLocal;
      Host.Click("Save Local");
      waitFor("the local save of " + files[f][0], function () { return savedLocal > before; });
      check("saving " + files[f][0] + " failed: " + TwainForm.SaveLocalError, TwainForm.SaveLocalSuccess);
      say("saved " + files[f][0] + " (" + (files[f][1] == 2 ? "all pages" : "current page") + ")");
    }
  }

  if (uploadUrl == "") {
    say("no upload URL given: upload skipped");
    return;
  }
  step("upload", function () {
    TwainForm.UploadURL = uploadUrl;
    TwainForm.FormTagName = "Pagewell";
    TwainForm.AddFormVar("source", "Pagewell demo");
    TwainForm.FileFormat = "PDF";
    TwainForm.FileName = "demo.pdf";
    TwainForm.PagesSelected = 2;
    TwainForm.UploadTimeout = 30;
    var before = uploadsFinished;
    TwainForm.Upload();
    waitFor("the upload", function () { return uploadsFinished > before; });
    check("upload answered status " + TwainForm.UploadStatus + ": " + TwainForm.UploadReturnString,
          TwainForm.UploadStatus == 200);
    say("uploaded demo.pdf to " + uploadUrl + ": " + TwainForm.UploadReturnString.replace(/\s+$/, ""));
  });
}

try {
  run();
  if (outputFolder != "") {
    Host.Screenshot(outputFolder + "\\form.png");
    say("picture of the form: form.png");
  }
} catch (e) {
  Host.Echo("[page] FAILED: " + e.message);
  Host.Quit(1);
}
say("pages in the control: " + TwainForm.ImageCount);
say("not in this build: " + (missing.length ? missing.join(", ") : "nothing"));
