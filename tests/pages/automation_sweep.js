// Every member of the control called from JScript with awkward values, the
// way a page's script passes them (by value): undefined, null, texts where
// numbers are expected and numbers where texts are, empty, huge and
// zero-holding texts, the extreme 32-bit values, NaN and infinities,
// objects, arrays and functions, and too few or too many arguments.
//
// Each call must come back with a value or an error the script can catch,
// without a dialog (AboutBox excepted). After every write the property must
// still read, and reals must not read back as NaN or infinite. Properties
// are put back after their writes, so every member runs on a control in its
// default state. At the end the control must still scan and save.
var failures = 0;
function fail(text) {
  Host.Echo("FAIL " + text);
  failures++;
}

var huge = "";
while (huge.length < 100000) huge += "WWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWWW";
var awkward = [
  ["undefined", undefined], ["null", null], ["empty text", ""], ["word text", "abc"], ["number text", "12"],
  ["100000-char text", huge], ["text with zero", "before\u0000after"], ["INT_MIN", -2147483648],
  ["INT_MAX", 2147483647], ["-1", -1], ["0", 0], ["2^32", 4294967296], ["NaN", NaN], ["+inf", Infinity],
  ["-inf", -Infinity], ["1e300", 1e300], ["-0", -0], ["true", true], ["object", {}], ["array", [1, 2, 3]],
  ["function", function () { return 1; }], ["the control", TwainForm]
];

// Writable properties, read-only properties and methods with their number of
// arguments, as the type library lists them.
var writable = [
  "Visible", "AutoScroll", "AutoSize", "AxBorderStyle", "Caption", "Color", "Font", "KeyPreview",
  "PixelsPerInch", "PrintScale", "Scaled", "DropTarget", "HelpFile", "ScreenSnap", "SnapBuffer",
  "DoubleBuffered", "Enabled", "ThumbRows", "Username", "Password", "AuthenticationType", "UploadURL",
  "DebugAlerts", "ControlPanelTabs", "FileFormat", "FileName", "MultiImage", "UploadTimeout", "FormTagName",
  "UseInterface", "CloseInterface", "PagesSelected", "PixelType", "ResolutionUnits", "DeviceName",
  "DeviceIndex", "Resolution", "PageSize", "PageSizeUnits", "PageWidth", "PageHeight", "AddText",
  "MICREnabled", "ImageIndex", "CustomText1", "CustomText2", "CustomText3", "CustomText4", "CustomText5",
  "CustomText6", "CustomText7", "CustomText8", "CustomText9", "CustomText10", "MaxUploadSize", "UseDuplex",
  "PageSizeMode"
];
var readOnly = [
  "Active", "AlignDisabled", "VisibleDockClientCount", "UploadStatus", "RequiredWidth", "RequiredHeight",
  "UploadReturnString", "Version", "FileNameExtension", "DeviceCount", "MICRString", "SaveLocalSuccess",
  "SaveLocalError", "ImageCount"
];
var methods = [
  ["AboutBox", 0], ["SetLeft", 2], ["SetTop", 2], ["SetWidth", 2], ["SetHeight", 2], ["SetBorder", 2],
  ["SetText", 3], ["SetContainer", 2], ["SetColor", 2], ["HideElement", 1], ["ShowElement", 1],
  ["SetThumbnails", 3], ["AddFormVar", 2], ["AbortUpload", 0], ["Upload", 0], ["Clear", 0],
  ["SaveUploadReturnString", 1]
];
// The plain value of each argument position not under test.
var plainArguments = {
  SetLeft: ["ButtonAcquire", 8], SetTop: ["ButtonAcquire", 64], SetWidth: ["ButtonAcquire", 81],
  SetHeight: ["ButtonAcquire", 33], SetBorder: ["ButtonAcquire", 0], SetText: ["ButtonAcquire", "Acquire", 0],
  SetContainer: ["ButtonAcquire", "Tab1"], SetColor: ["ButtonAcquire", 0], HideElement: ["Frame6"],
  ShowElement: ["Frame6"], SetThumbnails: [55, 73, 3], AddFormVar: ["name", "value"],
  SaveUploadReturnString: ["sweep-reply.txt"]
};

// A page held while the members run, so that the page, editing and output
// members have something to work on.
// (A build whose form keeps no scanned pages runs the sweep without one.)
TwainForm.UseInterface = false;
Host.Click("Acquire");
var keepsPages = TwainForm.ImageCount > 0;
if (!keepsPages) Host.Echo("the form keeps no scanned pages: the save after the sweep is skipped");

var calls = 0;
var dialogBefore = Host.DialogCount;
function checkNoDialog(what) {
  var count = Host.DialogCount;
  if (count !== dialogBefore) {
    fail(what + " showed a dialog: " + Host.LastDialogText);
    dialogBefore = count;
  }
}

// Runs `body`; a thrown error must carry a number or a message.
function attempt(what, body) {
  calls++;
  try {
    body();
  } catch (e) {
    if (!(e.number || e.message)) fail(what + ": an error without number or message");
  }
  if (what.indexOf("AboutBox") !== 0) checkNoDialog(what);
  else dialogBefore = Host.DialogCount;
}

function expectReadable(name, after) {
  try {
    var value = TwainForm[name];
    if (typeof value === "number" && !isFinite(value)) fail(name + " reads " + value + " after " + after);
  } catch (e) {
    // A member of a part this build lacks still answers with its error.
    if (!(e.number || e.message)) fail(name + " unreadable after " + after);
  }
}

function readOrUndefined(name) {
  try { return TwainForm[name]; } catch (e) { return undefined; }
}

for (var i = 0; i < writable.length; i++) {
  var name = writable[i];
  var original = readOrUndefined(name);
  for (var k = 0; k < awkward.length; k++) {
    attempt(name + " = " + awkward[k][0], function () { TwainForm[name] = awkward[k][1]; });
    expectReadable(name, awkward[k][0]);
  }
  if (original !== undefined) attempt(name + " restored", function () { TwainForm[name] = original; });
}

for (var i = 0; i < readOnly.length; i++) {
  var name = readOnly[i];
  attempt(name + " read", function () { return TwainForm[name]; });
  attempt(name + " written", function () { TwainForm[name] = 1; });
}

function callWith(name, args) {
  var m = TwainForm;
  switch (args.length) {
    case 0: return m[name]();
    case 1: return m[name](args[0]);
    case 2: return m[name](args[0], args[1]);
    case 3: return m[name](args[0], args[1], args[2]);
    default: return m[name](args[0], args[1], args[2], args[3]);
  }
}

for (var i = 0; i < methods.length; i++) {
  var name = methods[i][0], count = methods[i][1];
  var plain = plainArguments[name] || [];
  attempt(name + " with no argument", function () { callWith(name, []); });
  for (var position = 0; position < count; position++) {
    for (var k = 0; k < awkward.length; k++) {
      var args = plain.slice(0);
      args[position] = awkward[k][1];
      attempt(name + " argument " + (position + 1) + " = " + awkward[k][0], function () { callWith(name, args); });
    }
  }
  if (count > 0) attempt(name + " one argument short", function () { callWith(name, plain.slice(0, count - 1)); });
  attempt(name + " one argument extra", function () { callWith(name, plain.concat([7])); });
}

// Still the control it was.
if (TwainForm.Version !== "Orlavex Pagewell, Version 1.3.0.0") fail("Version after the sweep: " + TwainForm.Version);
TwainForm.ThumbRows = 2;
if (TwainForm.ThumbRows !== 2) fail("ThumbRows after the sweep: " + TwainForm.ThumbRows);
TwainForm.Username = "after";
if (TwainForm.Username !== "after") fail("Username after the sweep");

// And it still scans and saves. The sweep relabelled and moved buttons:
// they get their captions back and are put where the host can click them.
var buttons = [["ButtonAcquire", "Acquire"], ["ButtonSaveLocal", "Save Local"]];
for (var i = 0; i < buttons.length; i++) {
  TwainForm.SetText(buttons[i][0], buttons[i][1], 0);
  TwainForm.SetContainer(buttons[i][0], "Tab1");
  TwainForm.ShowElement(buttons[i][0]);
}
TwainForm.ControlPanelTabs = 3;
TwainForm.DeviceIndex = 0;
var pagesBefore = TwainForm.ImageCount;
dialogBefore = Host.DialogCount;
Host.Click("Acquire");
if (keepsPages) {
  if (TwainForm.ImageCount <= pagesBefore) fail("no page scanned after the sweep");
  TwainForm.FileFormat = "FileName";
  TwainForm.FileName = "sweep-after.bmp";
  Host.Click("Save Local");
  if (!TwainForm.SaveLocalSuccess) fail("saving after the sweep: " + TwainForm.SaveLocalError);
}
checkNoDialog("the scan and the save after the sweep");

Host.Echo(calls + " calls, " + failures + " failures");
Host.Quit(failures === 0 ? 0 : 1);
