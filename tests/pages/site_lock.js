// The site lock as one page sees it. Host.Arg(0) says what this page must
// get: "allowed", or the one line of a refusal; Host.Arg(1) is where to keep
// a screenshot of the form.
var expected = Host.Arg(0);
var failures = 0;
function fail(text) { Host.Echo("FAIL " + text); failures++; }

// A call the page makes: its error's description, or "" when it worked.
function errorOf(call) {
  try { call(); return ""; } catch (e) { return e.description; }
}

// Readers, writers and methods of every kind.
var calls = [
  ["read Version", function () { return TwainForm.Version; }],
  ["read DeviceCount", function () { return TwainForm.DeviceCount; }],
  ["write FileName", function () { TwainForm.FileName = "site_lock.pdf"; }],
  ["write UploadURL", function () { TwainForm.UploadURL = "http://127.0.0.1:9/upload"; }],
  ["AddFormVar", function () { TwainForm.AddFormVar("a", "b"); }],
  ["SetLeft", function () { TwainForm.SetLeft("ButtonAcquire", 10); }],
  ["Clear", function () { TwainForm.Clear(); }],
  ["Upload", function () { TwainForm.Upload(); }]
];

var allowed = expected == "allowed";
for (var i = 0; i < calls.length; i++) {
  var error = errorOf(calls[i][1]);
  if (allowed && error != "") fail(calls[i][0] + " failed in an allowed page: " + error);
  if (!allowed && error != expected) fail(calls[i][0] + ": got [" + error + "], expected [" + expected + "]");
}

// What the user sees: the whole form, or nothing but the refusal's line.
var buttons = Host.Windows("Button");
if (allowed) {
  if (buttons == "") fail("an allowed page shows no buttons");
} else {
  if (buttons != "") fail("a refused page still shows buttons:\n" + buttons);
  var line = Host.Inspect(expected);
  if (!/,1,/.test(line)) fail("the refusal line is not shown: [" + line + "]");
}
if (Host.ArgCount > 1) Host.Screenshot(Host.Arg(1));
Host.Quit(failures == 0 ? 0 : 1);
