// The element methods as a page uses them: every group of elements and
// every result code with the message box DebugAlerts shows, the fitted size
// of the form, the single control panel and back, and a rearranged form
// saved as a picture (Host.Arg(0)).
var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}

// Where a captioned component sits: [left, top, width, height, visible,
// caption of its parent], or null when no component has that caption.
function place(caption) {
  var text = Host.Inspect(caption);
  if (text === "") return null;
  var parts = text.split(",");
  return {left: +parts[0], top: +parts[1], width: +parts[2], height: +parts[3], visible: parts[4] === "1",
          parent: parts.slice(5).join(",")};
}
function checkPlace(what, caption, expected) {
  var actual = place(caption);
  if (!actual) return check(what + ": " + caption, "missing", "present");
  for (var key in expected) check(what + ": " + caption + " " + key, actual[key], expected[key]);
}

// --- the fitted form --------------------------------------------------------

check("RequiredWidth", TwainForm.RequiredWidth, 793);
check("RequiredHeight", TwainForm.RequiredHeight, 593);
check("DebugAlerts default", TwainForm.DebugAlerts, false);

// --- results and messages ---------------------------------------------------

var messages = {
  1: ": Element name \"N\" not recognised. Check spelling.",
  2: ": This property cannot be set for Element \"N\".",
  3: ": Specified value is not valid for Element \"N\" and is ignored.",
  4: ": Specified value is inconsistent with other property values for Element \"N\" or its container, but is accepted.",
  5: ": Specified value is inconsistent with other property values for Element \"N\".  Set to a different value.",
  6: ": Value give for Index is out of allowed range for Element \"N\".",
  7: ": Element \"N\" cannot contain another element.",
  99: ": Unidentified error for Element \"N\"."
};

function invoke(c) {
  switch (c.method) {
    case "SetLeft": return TwainForm.SetLeft(c.element, c.value);
    case "SetTop": return TwainForm.SetTop(c.element, c.value);
    case "SetWidth": return TwainForm.SetWidth(c.element, c.value);
    case "SetHeight": return TwainForm.SetHeight(c.element, c.value);
    case "SetBorder": return TwainForm.SetBorder(c.element, c.value);
    case "SetText": return TwainForm.SetText(c.element, c.value, c.index);
    case "SetContainer": return TwainForm.SetContainer(c.element, c.value);
    case "SetColor": return TwainForm.SetColor(c.element, c.value);
    case "HideElement": return TwainForm.HideElement(c.element);
    case "ShowElement": return TwainForm.ShowElement(c.element);
  }
  throw new Error("no method " + c.method);
}

// A main area's change lays out the thumbnail strip again, which may warn
// before the result's own box: the result's box is always the last one.
var mainAreas = {currentimage: 1, thumbnails: 1, controlpanel: 1};

function run(cases) {
  for (var i = 0; i < cases.length; i++) {
    var c = cases[i];
    var what = c.method + " " + c.element + " " + c.value + (c.index !== undefined ? " [" + c.index + "]" : "");
    var before = Host.DialogCount;
    var code = invoke(c);
    check(what, code, c.code);
    var shown = Host.DialogCount - before;
    var named = c.named !== undefined ? c.named : c.element;
    if (c.code !== 0) {
      check(what + ": message", Host.LastDialogText, c.method + messages[c.code].replace("N", named));
      if (!mainAreas[String(c.element).toLowerCase()] && c.method !== "SetBorder") check(what + ": boxes", shown, 1);
    } else if (!mainAreas[String(c.element).toLowerCase()] && c.method !== "SetBorder") {
      check(what + ": boxes", shown, 0);
    }
    if (c.then) c.then(what);
  }
}

var longName = new Array(5001).join("Frame");

TwainForm.DebugAlerts = true;
check("DebugAlerts on", TwainForm.DebugAlerts, true);
run([
  // Names: any case; unknown, empty and very long names.
  {method: "SetLeft", element: "Frame99", value: 8, code: 1},
  {method: "SetTop", element: "", value: 8, code: 1},
  {method: "SetWidth", element: longName, value: 8, code: 1},
  {method: "SetHeight", element: "Frame 1", value: 8, code: 1},
  {method: "SetBorder", element: "Thumbnail", value: 8, code: 1},
  {method: "SetText", element: "Tab6", value: "x", index: 0, code: 1},
  {method: "SetColor", element: "Frame0", value: 0, code: 1},
  {method: "HideElement", element: "InputText11", code: 1},
  {method: "ShowElement", element: "Label", code: 1},
  {method: "SetContainer", element: "Nothing", value: "Frame1", code: 1},
  {method: "SetContainer", element: "ButtonCustom", value: "Nowhere", code: 1, named: "Nowhere"},
  {method: "SetLeft", element: "currentimage", value: 8, code: 0},
  {method: "SetLeft", element: "BUTTONCLEAR", value: 16, code: 0},

  // Main areas: SetLeft / SetTop.
  {method: "SetLeft", element: "CurrentImage", value: -1, code: 3},
  {method: "SetTop", element: "Thumbnails", value: -5, code: 3},
  {method: "SetLeft", element: "ControlPanel", value: -2147483648, code: 3},
  {method: "SetTop", element: "CurrentImage", value: 300, code: 0, then: function (what) {
    check(what + ": height", TwainForm.RequiredHeight, 8 + 300 + 450);
  }},
  {method: "SetTop", element: "CurrentImage", value: 8, code: 0, then: function (what) {
    check(what + ": height", TwainForm.RequiredHeight, 593);
  }},
  // Closer to the edge than the outer margin: the fitting moves it back, and
  // the single panel with it.
  {method: "SetLeft", element: "ControlPanel", value: 3, code: 0, then: function (what) {
    checkPlace(what, "Control Panel", {left: 8, top: 8});
  }},
  {method: "SetLeft", element: "ControlPanel", value: 472, code: 0},

  // Main areas: sizes.
  {method: "SetWidth", element: "CurrentImage", value: 0, code: 3},
  {method: "SetHeight", element: "CurrentImage", value: -1, code: 3},
  {method: "SetWidth", element: "CurrentImage", value: 50, code: 5},
  {method: "SetHeight", element: "CurrentImage", value: 111, code: 5},
  {method: "SetWidth", element: "CurrentImage", value: 2147483647, code: 0, then: function (what) {
    check(what + ": width within reach", TwainForm.RequiredWidth > 793 && TwainForm.RequiredWidth <= 32767, true);
  }},
  {method: "SetWidth", element: "CurrentImage", value: 450, code: 0},
  {method: "SetHeight", element: "CurrentImage", value: 450, code: 0},
  {method: "SetWidth", element: "Thumbnails", value: 150, code: 5, then: function (what) {
    checkPlace(what, "Thumbnails", {width: 201});
  }},
  {method: "SetWidth", element: "Thumbnails", value: -1, code: 5},
  {method: "SetWidth", element: "Thumbnails", value: 777, code: 0},
  {method: "SetHeight", element: "Thumbnails", value: 0, code: 3},
  {method: "SetHeight", element: "Thumbnails", value: 79, code: 5, then: function (what) {
    check(what + ": at least the minimum", place("Thumbnails").height >= 80, true);
  }},
  {method: "SetHeight", element: "Thumbnails", value: 121, code: 0},
  {method: "SetWidth", element: "ControlPanel", value: 0, code: 3},
  {method: "SetHeight", element: "ControlPanel", value: -3, code: 3},
  {method: "SetWidth", element: "ControlPanel", value: 400, code: 0, then: function (what) {
    check(what + ": width", TwainForm.RequiredWidth, 8 + 472 + 400);
    checkPlace(what, "Control Panel", {width: 400});
  }},
  {method: "SetWidth", element: "ControlPanel", value: 313, code: 0, then: function (what) {
    check(what + ": width", TwainForm.RequiredWidth, 793);
  }},

  // SetBorder.
  {method: "SetBorder", element: "CurrentImage", value: -1, code: 3},
  {method: "SetBorder", element: "CurrentImage", value: 1000, code: 5},
  {method: "SetBorder", element: "CurrentImage", value: 5, code: 0},
  {method: "SetBorder", element: "Thumbnails", value: 7, code: 3},
  {method: "SetBorder", element: "Thumbnails", value: 16, code: 0},
  {method: "SetBorder", element: "ButtonAcquire", value: 2, code: 2},
  {method: "SetBorder", element: "Frame1", value: 2, code: 2},

  // Tabs.
  {method: "SetLeft", element: "Tab2", value: 8, code: 2},
  {method: "SetTop", element: "tab1", value: 8, code: 2},
  {method: "SetWidth", element: "Tab3", value: 8, code: 2},
  {method: "SetHeight", element: "Tab5", value: 8, code: 2},
  {method: "HideElement", element: "Tab1", code: 2},
  {method: "ShowElement", element: "Tab4", code: 2},
  {method: "SetText", element: "Tab2", value: "Edit", index: 0, code: 0, then: function (what) {
    check(what + ": sheet", place("Edit") !== null, true);
  }},

  // Frames.
  {method: "SetTop", element: "Frame1", value: 300, code: 4},
  {method: "SetTop", element: "Frame1", value: 192, code: 0},
  {method: "SetHeight", element: "Frame5", value: 2000, code: 4},
  {method: "SetHeight", element: "Frame5", value: 137, code: 0, then: function (what) {
    checkPlace(what, "Organize Images in List", {left: 8, top: 16, width: 289, height: 137});
  }},
  {method: "SetText", element: "Frame3", value: "Editing", index: 0, code: 0, then: function (what) {
    checkPlace(what, "Editing", {left: 8, top: 104});
  }},
  {method: "SetColor", element: "Frame1", value: 255, code: 2},

  // Buttons.
  {method: "SetLeft", element: "ButtonClear", value: 250, code: 4, then: function (what) {
    checkPlace(what, "Clear", {left: 250, top: 32, parent: "Organize Images in List"});
  }},
  {method: "SetLeft", element: "ButtonClear", value: 2147483647, code: 4},
  {method: "SetLeft", element: "ButtonClear", value: 16, code: 0},
  {method: "SetWidth", element: "ButtonDelete", value: 400, code: 4},
  // A button may be made narrower than nothing: the value is taken.
  {method: "SetWidth", element: "ButtonDelete", value: -50, code: 0},
  {method: "SetWidth", element: "ButtonDelete", value: 81, code: 0, then: function (what) {
    checkPlace(what, "Delete", {left: 128, width: 81});
  }},
  {method: "SetHeight", element: "ButtonMoveUp", value: 40, code: 0, then: function (what) {
    checkPlace(what, "Move Up", {top: 80, height: 40});
  }},
  {method: "SetText", element: "ButtonMoveDown", value: "Down", index: 7, code: 0, then: function (what) {
    check(what + ": caption", place("Down") !== null, true);
  }},
  {method: "HideElement", element: "ButtonAcquire", code: 2},
  {method: "ShowElement", element: "ButtonAcquire", code: 2},
  {method: "HideElement", element: "ButtonUpload", code: 0, then: function (what) {
    checkPlace(what, "Upload", {visible: false});
  }},
  {method: "ShowElement", element: "ButtonUpload", code: 0, then: function (what) {
    checkPlace(what, "Upload", {visible: true});
  }},

  // Inputs.
  {method: "SetHeight", element: "InputSelect", value: 30, code: 2},
  {method: "SetWidth", element: "InputText3", value: 1000, code: 4},
  {method: "SetWidth", element: "InputText3", value: 89, code: 0},
  {method: "SetLeft", element: "InputResolution", value: 250, code: 4},
  {method: "SetLeft", element: "InputResolution", value: 80, code: 0},
  {method: "SetText", element: "InputSelect", value: "x", index: 0, code: 2},
  {method: "SetText", element: "InputResolution", value: "x", index: 0, code: 2},
  {method: "SetText", element: "InputFilename", value: "x", index: 0, code: 2},
  {method: "SetText", element: "InputAddText", value: "x", index: 0, code: 2},
  {method: "SetText", element: "InputText10", value: "x", index: 0, code: 2},
  {method: "SetText", element: "InputWidth", value: "x", index: 0, code: 99},
  {method: "SetText", element: "InputHeight", value: "x", index: 0, code: 99},
  {method: "SetText", element: "InputPixelType", value: "Mono", index: 4, code: 6},
  {method: "SetText", element: "InputPixelType", value: "Mono", index: -1, code: 6},
  {method: "SetText", element: "InputPixelType", value: "Mono", index: 0, code: 0},
  {method: "SetText", element: "InputResolutionUnits", value: "x", index: 2, code: 6},
  {method: "SetText", element: "InputSizeUnits", value: "x", index: -1, code: 6},
  {method: "SetText", element: "InputResolutionUnits", value: "inches", index: 0, code: 0},
  {method: "SetText", element: "InputPageSize", value: "x", index: 9, code: 6},
  {method: "SetText", element: "InputPageSize", value: "Own size", index: 8, code: 0},
  {method: "SetColor", element: "InputSelect", value: 0, code: 2},
  {method: "HideElement", element: "InputResolution", code: 0},
  {method: "ShowElement", element: "InputResolution", code: 0},
  {method: "HideElement", element: "InputText4", code: 0},
  {method: "ShowElement", element: "InputText4", code: 0},

  // Check boxes.
  {method: "SetHeight", element: "CheckDuplex", value: 30, code: 2},
  {method: "SetWidth", element: "CheckDuplex", value: 300, code: 4},
  {method: "SetWidth", element: "CheckDuplex", value: 185, code: 0},
  {method: "SetText", element: "CheckCloseInterface", value: "Close the device's window", index: 0, code: 0,
   then: function (what) { checkPlace(what, "Close the device's window", {left: 104, top: 128}); }},

  // Labels: they size themselves to their text.
  {method: "SetWidth", element: "Label1", value: 100, code: 2},
  {method: "SetHeight", element: "LabelRotate", value: 20, code: 2},
  {method: "SetLeft", element: "Label1", value: 5000, code: 4},
  {method: "SetLeft", element: "Label1", value: 8, code: 0},
  {method: "SetText", element: "Label1", value: "Customer number:", index: 0, code: 0, then: function (what) {
    var label = place("Customer number:");
    check(what + ": as wide as its text", label !== null && label.width > 60, true);
  }},

  // The option buttons.
  {method: "SetHeight", element: "OptionPages", value: 30, code: 2},
  {method: "SetLeft", element: "OptionPages", value: 250, code: 4},
  {method: "SetLeft", element: "OptionPages", value: 16, code: 0},
  // Checked against the two buttons' heights plus Top.
  {method: "SetTop", element: "OptionPages", value: 50, code: 4},
  {method: "SetTop", element: "OptionPages", value: 40, code: 0, then: function (what) {
    checkPlace(what, "Current image only", {left: 16, top: 40});
    checkPlace(what, "All images", {left: 16, top: 64});
  }},
  {method: "SetWidth", element: "OptionPages", value: 150, code: 0, then: function (what) {
    checkPlace(what, "All images", {width: 150});
  }},
  {method: "SetText", element: "OptionPages", value: "This page", index: 0, code: 0},
  {method: "SetText", element: "OptionPages", value: "Every page", index: 1, code: 0},
  {method: "SetText", element: "OptionPages", value: "x", index: 2, code: 6},
  {method: "HideElement", element: "OptionPages", code: 0, then: function (what) {
    checkPlace(what, "This page", {visible: false});
    checkPlace(what, "Every page", {visible: false});
  }},
  {method: "ShowElement", element: "OptionPages", code: 0, then: function (what) {
    checkPlace(what, "This page", {visible: true});
    checkPlace(what, "Every page", {visible: true});
  }},

  // The progress bar: its element includes the label row above the bar.
  {method: "SetTop", element: "ProgressBar", value: 30, code: 0},
  {method: "SetTop", element: "ProgressBar", value: 110, code: 4},
  {method: "SetTop", element: "ProgressBar", value: 76, code: 0},
  {method: "SetHeight", element: "ProgressBar", value: 20, code: 3},
  {method: "SetHeight", element: "ProgressBar", value: 62, code: 4},
  {method: "SetHeight", element: "ProgressBar", value: 37, code: 0},
  {method: "SetText", element: "ProgressBar", value: "Sending", index: 2, code: 0},
  {method: "SetText", element: "ProgressBar", value: "x", index: 4, code: 6},
  {method: "SetText", element: "ProgressBar", value: "x", index: -1, code: 6},
  {method: "ShowElement", element: "ProgressBar", code: 0},
  {method: "HideElement", element: "ProgressBar", code: 0},
  {method: "SetContainer", element: "ProgressBar", value: "Frame5", code: 0},
  {method: "SetContainer", element: "ProgressBar", value: "Frame4", code: 0},
  {method: "HideElement", element: "LabelFilename", code: 0, then: function (what) {
    checkPlace(what, "File name:", {visible: false});
  }},
  {method: "ShowElement", element: "LabelFilename", code: 0},
  {method: "HideElement", element: "CheckInterface", code: 0, then: function (what) {
    checkPlace(what, "Use default interface of device", {visible: false});
  }},
  {method: "ShowElement", element: "CheckInterface", code: 0},
  {method: "HideElement", element: "Frame2", code: 0, then: function (what) {
    checkPlace(what, "Select Images to Process", {visible: false});
  }},
  {method: "ShowElement", element: "Frame2", code: 0},

  // The main areas' own texts and colours.
  {method: "SetText", element: "CurrentImage", value: "x", index: 0, code: 2},
  {method: "SetText", element: "Thumbnails", value: "Pages", index: 0, code: 0, then: function (what) {
    check(what + ": caption", place("Pages") !== null, true);
  }},
  {method: "SetText", element: "ControlPanel", value: "Scanner", index: 0, code: 0, then: function (what) {
    checkPlace(what, "Scanner", {visible: false});
  }},
  {method: "SetColor", element: "CurrentImage", value: 0x0000ff, code: 0},
  {method: "SetColor", element: "Thumbnails", value: 0x00ffff, code: 0},
  {method: "SetColor", element: "CurrentImage", value: 0x12345678, code: 3},
  {method: "SetColor", element: "currentimage", value: 0x8000000f, code: 0},
  {method: "SetColor", element: "ControlPanel", value: 0, code: 2},

  // Containers.
  {method: "SetContainer", element: "CurrentImage", value: "Frame1", code: 2},
  {method: "SetContainer", element: "Tab2", value: "Frame1", code: 2},
  {method: "SetContainer", element: "ButtonCustom", value: "ButtonAcquire", code: 7, named: "ButtonAcquire"},
  {method: "SetContainer", element: "Frame6", value: "CurrentImage", code: 7, named: "CurrentImage"},
  {method: "SetContainer", element: "Label2", value: "Label3", code: 7, named: "Label3"},
  {method: "SetContainer", element: "ButtonCustom", value: "Frame6", code: 0, then: function (what) {
    checkPlace(what, "Custom", {left: 176, top: 120, parent: "Frame6"});
  }},
  // A frame cannot go inside itself, nor inside a frame it holds.
  {method: "SetContainer", element: "Frame1", value: "frame1", code: 3},
  {method: "SetContainer", element: "Frame7", value: "Frame6", code: 0},
  {method: "SetContainer", element: "Frame6", value: "Frame7", code: 3},
  {method: "SetContainer", element: "Frame7", value: "Tab4", code: 0},
  // Both option buttons move, so they still exclude each other.
  {method: "SetContainer", element: "OptionPages", value: "Frame3", code: 0, then: function (what) {
    checkPlace(what, "This page", {parent: "Editing", left: 16, top: 40});
    checkPlace(what, "Every page", {parent: "Editing", left: 16, top: 64});
  }},
  {method: "SetContainer", element: "OptionPages", value: "Frame2", code: 0}
]);

// The custom button, moved into a frame that goes onto the first tab,
// answers the user's click.
var customClicks = 0;
function TwainForm_OnCustomClick() { customClicks++; }
run([
  {method: "SetLeft", element: "ButtonCustom", value: 8, code: 0},
  {method: "SetTop", element: "ButtonCustom", value: 20, code: 0},
  {method: "SetContainer", element: "Frame6", value: "Tab1", code: 0},
  {method: "SetTop", element: "Frame6", value: 100, code: 0},
  {method: "ShowElement", element: "Frame6", code: 0}
]);
Host.Click("Custom");
check("OnCustomClick from the moved button", customClicks, 1);
run([{method: "HideElement", element: "Frame6", code: 0}]);

// Hiding the option buttons takes them from the user; showing them gives
// both back.
run([{method: "HideElement", element: "OptionPages", code: 0}]);
TwainForm.ControlPanelTabs = 3;
var clicked = true;
try { Host.Click("Every page"); } catch (e) { clicked = false; }
check("hidden option button cannot be clicked", clicked, false);
run([{method: "ShowElement", element: "OptionPages", code: 0}]);

// No box while DebugAlerts is off; the results stay the same.
TwainForm.DebugAlerts = false;
var quietBefore = Host.DialogCount;
check("quiet result", TwainForm.SetLeft("Frame99", 1), 1);
check("quiet result 5", TwainForm.SetWidth("Thumbnails", 10), 5);
check("quiet: no box", Host.DialogCount, quietBefore);
TwainForm.SetWidth("Thumbnails", 777);

// --- renaming what the scan panel lists -------------------------------------

// The first device of the virtual scanner's built-in set: a letter-size
// flatbed offering black and white, gray and RGB, RGB chosen.
check("device", TwainForm.DeviceName, "Pagewell Virtual Flatbed");
run([
  {method: "SetText", element: "InputPixelType", value: "Colour", index: 2, code: 0, then: function (what) {
    checkPlace(what, "Colour", {left: 80, top: 24});
    check(what + ": the type keeps its code", TwainForm.PixelType, 2);
  }},
  // The device's first listed size is A5: renamed, the list is filled again
  // and the new name is what PageSize compares.
  {method: "SetText", element: "InputPageSize", value: "Half A4", index: 2, code: 0, then: function (what) {
    checkPlace(what, "Half A4", {left: 80, top: 120});
    check(what + ": PageSize", TwainForm.PageSize, 2);
  }},
  {method: "SetText", element: "InputSizeUnits", value: "in", index: 0, code: 0, then: function (what) {
    check(what + ": both lists show the new name", place("in") !== null, true);
    check(what + ": first unit chosen", TwainForm.ResolutionUnits, 0);
  }}
]);

// --- the thumbnail strip hidden and shown ---------------------------------

run([{method: "HideElement", element: "Thumbnails", code: 0}]);
check("hidden strip: height", TwainForm.RequiredHeight, 8 + 458);
check("hidden strip: single image", TwainForm.MultiImage, false);
checkPlace("hidden strip", "Acquire multiple images", {visible: false});
checkPlace("hidden strip", "Close the device's window", {visible: false});
checkPlace("hidden strip", "Use duplex", {visible: false});
run([{method: "HideElement", element: "CurrentImage", code: 0}]);
check("hidden image and strip: height", TwainForm.RequiredHeight, 8 + 457);
check("hidden image and strip: width", TwainForm.RequiredWidth, 793);
run([{method: "ShowElement", element: "CurrentImage", code: 0},
     {method: "ShowElement", element: "Thumbnails", code: 0}]);
check("shown strip: height", TwainForm.RequiredHeight, 593);
// The check boxes come back only when shown by name.
checkPlace("shown strip", "Acquire multiple images", {visible: false});
run([{method: "ShowElement", element: "CheckMultiImage", code: 0},
     {method: "ShowElement", element: "CheckCloseInterface", code: 0},
     {method: "ShowElement", element: "CheckDuplex", code: 0}]);
checkPlace("shown by name", "Acquire multiple images", {visible: true});
TwainForm.MultiImage = true;

// --- ControlPanelTabs --------------------------------------------------------

TwainForm.ControlPanelTabs = 1;
check("single panel: count", TwainForm.ControlPanelTabs, 1);
checkPlace("single panel", "Scanner", {visible: true});
checkPlace("single panel: frame", "Device Settings", {parent: "Scanner", left: 8, top: 192});
checkPlace("single panel: check box", "Acquire multiple images", {parent: "Scanner", left: 104, top: 96});
Host.Click("Acquire multiple images");
check("single panel: the check box works", TwainForm.MultiImage, false);
Host.Click("Acquire multiple images");
// "Tab1" now stands for the single panel.
run([{method: "SetContainer", element: "ButtonClear", value: "Tab1", code: 0}]);
checkPlace("single panel", "Clear", {parent: "Scanner"});
TwainForm.ControlPanelTabs = 6;
check("6 leaves the count", TwainForm.ControlPanelTabs, 1);
TwainForm.ControlPanelTabs = 0;
check("0 leaves the count", TwainForm.ControlPanelTabs, 1);
TwainForm.ControlPanelTabs = 3;
check("tabs again: count", TwainForm.ControlPanelTabs, 3);
checkPlace("tabs again: panel", "Scanner", {visible: false});
checkPlace("tabs again: frame", "Device Settings", {parent: "Acquire", left: 8, top: 192});
checkPlace("tabs again: check box", "Acquire multiple images", {parent: "Acquire", visible: true});
// What the page put on the first tab while it was the single panel stays
// on the first tab.
checkPlace("tabs again: moved button", "Clear", {parent: "Acquire"});
Host.Click("Acquire multiple images");
check("tabs again: the check box works", TwainForm.MultiImage, false);
TwainForm.MultiImage = true;
run([{method: "SetContainer", element: "ButtonClear", value: "Frame5", code: 0}]);
TwainForm.ControlPanelTabs = 5;
TwainForm.ControlPanelTabs = 3;

// --- the cursor ------------------------------------------------------------

// Outside a crop the main areas keep their own cursor (the hourglass while
// cropping is proven with the editing commands, which start a crop).
Host.PostCursorProbe("Pages");
Host.Sleep(50);
check("cursor over the strip", Host.CursorProbe(), "arrow");

// --- a rearranged form --------------------------------------------------------

// The editing buttons onto the first tab, a red frame around the image, no
// thumbnails.
run([
  {method: "SetContainer", element: "ButtonDeskew", value: "Tab1", code: 0},
  {method: "SetLeft", element: "ButtonDeskew", value: 8, code: 0},
  {method: "SetTop", element: "ButtonDeskew", value: 112, code: 0},
  {method: "SetContainer", element: "ButtonDespeckle", value: "Tab1", code: 0},
  {method: "SetLeft", element: "ButtonDespeckle", value: 8, code: 0},
  {method: "SetTop", element: "ButtonDespeckle", value: 144, code: 0},
  {method: "SetText", element: "ButtonAcquire", value: "Scan", index: 0, code: 0},
  {method: "SetColor", element: "CurrentImage", value: 0x0000cc, code: 0},
  {method: "HideElement", element: "Thumbnails", code: 0}
]);
checkPlace("rearranged", "Deskew", {parent: "Acquire", left: 8, top: 112, visible: true});
check("rearranged: height", TwainForm.RequiredHeight, 466);
if (Host.ArgCount > 0) Host.Screenshot(Host.Arg(0));

Host.Echo(failures === 0 ? "element layout: all passed" : "element layout: " + failures + " failures");
Host.Quit(failures === 0 ? 0 : 1);
