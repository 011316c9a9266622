// Uploads as a page makes them: scanned pages posted to loopback servers
// (tests/support/upload_servers.py) with every status, fault and
// authentication case a page can meet, the password dialog answered by the
// host. One run, a table of cases in order (credentials carry over from one
// case to the next, as they do in the control).
//
//   pagehost upload.js RECEIVER PHP
//
// RECEIVER and PHP are the servers' addresses. What the receiver recorded
// is checked afterwards by upload_check.py (the files with real decoders).

var RECEIVER = Host.Arg(0);
var PHP = Host.Arg(1);
var DEVICE = "Pagewell Upload Feeder";

var started = 0, finished = 0, acquired = 0;
var abortInStart = false;
function TwainForm_OnStartUpload() {
  started++;
  if (abortInStart) TwainForm.AbortUpload();
}
function TwainForm_OnFinishUpload() { finished++; }
function TwainForm_OnAcquire() { acquired++; }

var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}

function clickable(caption) {
  try {
    Host.Click(caption);
    return true;
  } catch (e) {
    return false;
  }
}

function hex(text) {
  var out = "";
  for (var i = 0; i < text.length; i++) out += (text.charCodeAt(i) < 16 ? "0" : "") + text.charCodeAt(i).toString(16);
  return out;
}

// Scan the test device's pages.
for (var i = 0; i < TwainForm.DeviceCount; i++) {
  TwainForm.DeviceIndex = i;
  if (TwainForm.DeviceName == DEVICE) break;
}
check("device", TwainForm.DeviceName, DEVICE);
TwainForm.UseInterface = false;
TwainForm.MultiImage = true;
Host.Click("Acquire");
for (var waited = 0; acquired < 2 && waited < 30000; waited += 100) Host.Sleep(100);
// A build whose form keeps no pages yet has nothing to upload: the run
// says so and counts as skipped (exit code 77), not as passed.
if (TwainForm.ImageCount == 0) {
  Host.Echo("SKIP: the control keeps no scanned pages in this build");
  Host.Quit(77);
}
check("pages scanned", TwainForm.ImageCount, 2);
// The Upload button where the host can click it.
TwainForm.SetContainer("ButtonUpload", "Tab1");
TwainForm.ShowElement("ButtonUpload");

// Members whose writers ignore values out of range.
TwainForm.UploadTimeout = 20;
TwainForm.UploadTimeout = -5;
check("UploadTimeout -5 ignored", TwainForm.UploadTimeout, 20);
TwainForm.MaxUploadSize = -1;
check("MaxUploadSize -1 ignored", TwainForm.MaxUploadSize, 0);
TwainForm.AuthenticationType = 257;
check("AuthenticationType kept in 8 bits", TwainForm.AuthenticationType, 1);
TwainForm.AuthenticationType = 0;

// Each case: what the page sets, then what it must see. `vars` are added
// before the upload; `varsAfter` is what AddFormVar answers afterwards
// (the list is emptied only by a success).
var cases = [
  {what: "all pages as TIFF with form variables", url: RECEIVER + "/ok?t=page-tiff", format: "TIF",
   fileName: "scan.tif", pages: 2, vars: [["user", "ann"], ["note", "say \"hi\""], ["a=b", "c"]],
   status: 200, reply: /^received \d+ bytes$/, varsAfter: 1},
  {what: "all pages as PDF, by the button", url: RECEIVER + "/ok?t=page-pdf", format: "PDF", fileName: "scan.pdf",
   pages: 2, click: true, status: 200, reply: /^received \d+ bytes$/, varsAfter: 1},
  {what: "all pages as PDF to PHP", url: PHP + "/report.php", format: "PDF", fileName: "both pages.pdf", pages: 2,
   vars: [["user", "ann"], ["note", "line 1\r\nline 2"]], status: 200,
   reply: new RegExp("post user=" + hex("ann") + "\npost note=" + hex("line 1\r\nline 2") +
                     "\nfile Pagewell name=" + hex("both pages.pdf") + " type=application/pdf error=0 size=\\d+ "),
   varsAfter: 1},
  {what: "the current page as JPEG, by the file name", url: RECEIVER + "/ok?t=page-jpeg", format: "FileName",
   fileName: "page.jpg", pages: 1, tag: "FieldName", status: 200, varsAfter: 1},
  {what: "larger than MaxUploadSize", url: RECEIVER + "/ok?t=page-toolarge", format: "TIF", fileName: "scan.tif",
   pages: 2, maxSize: 100, vars: [["kept", "1"]], status: 2, varsAfter: 3},
  {what: "a scheme other than http and https", url: "ftp://127.0.0.1/in", status: 0, varsAfter: 4},
  {what: "a URL that does not split", url: "http://127.0.0.1:99999/x", status: 0, varsAfter: 5},
  {what: "the server fails", url: RECEIVER + "/error?t=page-error", status: 500,
   reply: /the script failed/, varsAfter: 6},
  {what: "the server never answers", url: RECEIVER + "/silent?t=page-silent", timeout: 2, status: 0, varsAfter: 7},
  {what: "401 answered in the dialog", url: RECEIVER + "/auth-once?t=page-dialog", dialog: "ann\ns3cret",
   dialogs: 1, status: 200, reply: /^welcome ann/, varsAfter: 1},
  {what: "credentials kept after a success", url: RECEIVER + "/auth-once?t=page-kept", click: true, dialogs: 0,
   status: 200, varsAfter: 1},
  {what: "a failure in between", url: "ftp://127.0.0.1/in", status: 0, varsAfter: 2},
  {what: "401 and the dialog cancelled", url: RECEIVER + "/auth-always?t=page-cancel", answer: "Cancel",
   dialogs: 1, status: 401, varsAfter: 3},
  {what: "credentials asked for first, cancelled", url: RECEIVER + "/ok?t=page-upfront-cancel", authentication: 1,
   username: "", password: "", answer: "Cancel", dialogs: 1, status: 0, varsAfter: 4},
  {what: "credentials asked for first, typed", url: RECEIVER + "/auth-once?t=page-upfront-typed", authentication: 1,
   dialog: "ann\ns3cret", dialogs: 1, status: 200, reply: /^welcome ann/, varsAfter: 1},
  {what: "another failure", url: "ftp://127.0.0.1/in", status: 0, varsAfter: 2},
  {what: "credentials in the URL", url: RECEIVER.replace("//", "//ann:s3cret@") + "/auth-once?t=page-inurl",
   username: "someone", password: "wrong", dialogs: 0, status: 200, varsAfter: 1},
  {what: "credentials up front, known from the last success", url: RECEIVER + "/auth-once?t=page-upfront-known",
   authentication: 1, dialogs: 0, status: 200, varsAfter: 1}
];

for (var c = 0; c < cases.length; c++) {
  var k = cases[c];
  TwainForm.UploadURL = k.url;
  TwainForm.FileFormat = k.format || "TIF";
  TwainForm.FileName = k.fileName || "scan.tif";
  TwainForm.PagesSelected = k.pages || 1;
  TwainForm.FormTagName = k.tag || "Pagewell";
  TwainForm.MaxUploadSize = k.maxSize || 0;
  TwainForm.UploadTimeout = k.timeout || 20;
  TwainForm.AuthenticationType = k.authentication || 0;
  if (k.username !== undefined) TwainForm.Username = k.username;
  if (k.password !== undefined) TwainForm.Password = k.password;
  Host.DialogEdits = k.dialog || "";
  Host.DialogAnswer = k.answer || "OK";
  var vars = k.vars || [];
  for (var v = 0; v < vars.length; v++) TwainForm.AddFormVar(vars[v][0], vars[v][1]);
  var dialogsBefore = Host.DialogCount, startedBefore = started, finishedBefore = finished;

  // The button does what the method does; it can be clicked only if the
  // previous upload gave it back.
  if (k.click) {
    check(k.what + ": the Upload button is enabled", clickable("Upload"), true);
  } else {
    TwainForm.Upload();
  }

  check(k.what + ": UploadStatus", TwainForm.UploadStatus, k.status);
  check(k.what + ": OnStartUpload", started - startedBefore, 1);
  check(k.what + ": OnFinishUpload", finished - finishedBefore, 1);
  if (k.reply) check(k.what + ": UploadReturnString " + TwainForm.UploadReturnString, k.reply.test(TwainForm.UploadReturnString), true);
  if (k.dialogs !== undefined) check(k.what + ": dialogs", Host.DialogCount - dialogsBefore, k.dialogs);
  if (k.dialogs) check(k.what + ": the dialog names the site", /Site:\n127\.0\.0\.1\n/.test(Host.LastDialogText), true);
  check(k.what + ": form variables afterwards", TwainForm.AddFormVar("probe", String(c)), k.varsAfter);
  check(k.what + ": Abort disabled again", clickable("Abort"), false);
}

// AbortUpload in OnStartUpload: nothing is encoded or sent, no
// OnFinishUpload, the status stays.
abortInStart = true;
TwainForm.UploadURL = RECEIVER + "/ok?t=page-abort-start";
var startedBefore = started, finishedBefore = finished, statusBefore = TwainForm.UploadStatus;
TwainForm.Upload();
abortInStart = false;
check("abort in OnStartUpload: OnStartUpload", started - startedBefore, 1);
check("abort in OnStartUpload: no OnFinishUpload", finished - finishedBefore, 0);
check("abort in OnStartUpload: status kept", TwainForm.UploadStatus, statusBefore);

Host.Echo(failures ? failures + " checks failed" : "all upload cases passed");
Host.Quit(failures ? 1 : 0);
