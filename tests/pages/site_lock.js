// The site lock as one page sees it. Host.Arg(0) says what this page must
// get: "allowed", or the one line of a refusal; Host.Arg(1) whether the
// control asked the user about the page's site first: "-" for no question,
// or the origin the one question must name; Host.Arg(2) is where to keep a
// screenshot of the form.
var expected = Host.Arg(0);
var question = Host.Arg(1);
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

// The question comes once, before the first call, and names the site.
var questions = question == "-" ? 0 : 1;
if (Host.ConsentCount != questions) fail("questions: got " + Host.ConsentCount + ", expected " + questions);
if (questions == 1 && Host.ConsentOrigin != question)
  fail("the question named [" + Host.ConsentOrigin + "], expected [" + question + "]");

// A second control in the same page works at once where the first does.
if (allowed) {
  var second = Host.NewControl();
  var secondError = errorOf(function () { return second.Version; });
  if (secondError != "") fail("a second control in an allowed page: " + secondError);
  if (Host.ConsentCount != questions) fail("the second control asked again");
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
if (Host.ArgCount > 2) Host.Screenshot(Host.Arg(2));
Host.Quit(failures == 0 ? 0 : 1);
