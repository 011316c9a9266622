// The Acquire tab as a page drives it, on the virtual devices of
// scan_panel_devices.cfg: the device list, every scan member with its range
// rules, the unit conversions, the enabling rules, typed input, the
// connection retry and scans through the Acquire button.
// Host.Arg(0): the artifacts folder, for a screenshot after a connect.
var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}
// Each row: what, a function doing something (or null), the reading
// function, the value expected. (JScript counts a comma after the last row
// as one more, empty row.)
function runRows(rows) {
  for (var i = 0; i < rows.length; i++) {
    var row = rows[i];
    try {
      if (row[1]) row[1]();
      check(row[0], row[2](), row[3]);
    } catch (e) {
      Host.Echo("FAIL " + row[0] + ": " + e.message);
      failures++;
    }
  }
}
// Whether a user could act on the control now: the host refuses disabled
// or hidden controls.
function can(action) {
  try {
    action();
    return true;
  } catch (e) {
    return false;
  }
}
function set(name, value) { return function () { TwainForm[name] = value; }; }
function get(name) { return function () { return TwainForm[name]; }; }
function choose(item) { return function () { Host.Choose(item); }; }
function type(current, text, ending) { return function () { Host.Type(current, text, ending); }; }
// The page sizes a device offers: PageSize put of a size it lacks changes
// nothing.
function offeredSizes() {
  var offered = [];
  for (var i = 0; i <= 8; i++) {
    TwainForm.PageSize = i;
    if (TwainForm.PageSize === i) offered.push(i);
  }
  return offered.join(",");
}

var events = { OnSelect: 0, OnAcquire: 0 };
function TwainForm_OnSelect() { events.OnSelect++; }
function TwainForm_OnAcquire() { events.OnAcquire++; }
function count(name) { return function () { return events[name]; }; }

var LETTER = "Letter (8.5\" x 11\")";

// --- creation: the devices listed, the first chosen and connected ---------
// Device 0 works in centimetres on a 21.59 x 27.94 cm bed.
runRows([
  // Wine's own camera source is listed after the virtual scanner's devices.
  ["DeviceCount", null, get("DeviceCount"), 8],
  ["DeviceIndex", null, get("DeviceIndex"), 0],
  ["DeviceName", null, get("DeviceName"), "Centimetre Flatbed"],
  ["PixelType", null, get("PixelType"), 1],
  ["ResolutionUnits of a centimetre device", null, get("ResolutionUnits"), 1],
  ["150 dpi shown per cm", null, get("Resolution"), 59.06],
  ["first listed page size", null, get("PageSize"), 2],
  ["PageSizeUnits", null, get("PageSizeUnits"), 0],
  ["A5 width in inches", null, get("PageWidth"), 5.83],
  ["A5 height in inches", null, get("PageHeight"), 8.27],
  ["UseDuplex", null, get("UseDuplex"), false],
  ["UseInterface", null, get("UseInterface"), true],
  ["page sizes of a 21.59 x 27.94 cm bed", null, offeredSizes, "2,3,6,7,8"],
  ["per inch", set("ResolutionUnits", 0), get("Resolution"), 150],
  ["ResolutionUnits 2 ignored", set("ResolutionUnits", 2), get("ResolutionUnits"), 0],
  ["ResolutionUnits -1 ignored", set("ResolutionUnits", -1), get("ResolutionUnits"), 0],
  ["per cm again", set("ResolutionUnits", 1), get("Resolution"), 59.06]
]);

// With the device's own interface the settings are not the user's.
runRows([
  ["pixel type list off with the interface", null, function () { return can(choose("Grayscale")); }, false],
  ["page size list off with the interface", null, function () { return can(choose(LETTER)); }, false],
  ["pixel type list on without it", set("UseInterface", false),
   function () { return can(choose("RGB Color")); }, true],
  ["chosen pixel type", null, get("PixelType"), 2],
  ["resolution list on", null, function () { return can(choose("118.11")); }, true],
  ["chosen resolution per cm", null, get("Resolution"), 118.11],
  ["chosen resolution per inch", set("ResolutionUnits", 0), get("Resolution"), 300],
  ["close interface off without the interface", null,
   function () { return can(function () { Host.Click("Close interface after acquire"); }); }, false]
]);
TwainForm.PageSize = 8;
if (Host.ArgCount > 0) Host.Screenshot(Host.Arg(0) + "\\scan_panel.png");

// --- the duplex feeder, working in inches ----------------------------------
runRows([
  ["DeviceIndex put", set("DeviceIndex", 1), get("DeviceName"), "Duplex Feeder"],
  ["no OnSelect from the member", null, count("OnSelect"), 0],
  ["DeviceIndex -1 ignored", set("DeviceIndex", -1), get("DeviceIndex"), 1],
  ["DeviceIndex of the count ignored", set("DeviceIndex", 8), get("DeviceIndex"), 1],
  ["ResolutionUnits of an inch device", null, get("ResolutionUnits"), 0],
  ["300 dpi", null, get("Resolution"), 300],
  ["300 dpi shown per cm", set("ResolutionUnits", 1), get("Resolution"), 118.11],
  ["100 per cm put", set("Resolution", 100), get("Resolution"), 100],
  ["100 per cm sent as 254 dpi", set("ResolutionUnits", 0), get("Resolution"), 254],
  ["Resolution put per inch", set("Resolution", 150), get("Resolution"), 150],
  ["PixelType", null, get("PixelType"), 0],
  ["PixelType 3 unsupported", set("PixelType", 3), get("PixelType"), 0],
  ["PixelType 7 unknown", set("PixelType", 7), get("PixelType"), 0],
  ["PixelType 2", set("PixelType", 2), get("PixelType"), 2],
  ["Grayscale chosen", choose("Grayscale"), get("PixelType"), 1],
  ["page sizes of a legal bed", null, offeredSizes, "0,2,3,5,6,7,8"],
  ["A3 not offered", set("PageSize", 1), get("PageSize"), 8],
  ["PageSize 9 ignored", set("PageSize", 9), get("PageSize"), 8],
  ["Letter", set("PageSize", 3), get("PageSize"), 3],
  ["Letter width in inches", null, get("PageWidth"), 8.5],
  ["Letter height in inches", null, get("PageHeight"), 11],
  ["Letter width in cm", set("PageSizeUnits", 1), get("PageWidth"), 21.59],
  ["Letter height in cm", null, get("PageHeight"), 27.94],
  ["PageSizeUnits 2 ignored", set("PageSizeUnits", 2), get("PageSizeUnits"), 1],
  ["PageWidth put on a named size ignored", set("PageWidth", 10), get("PageWidth"), 21.59],
  ["custom size edits off for a named size", null,
   function () { return can(type("", "5", "exit")); }, false],
  // Custom Size shows the device's frame, 8.5 x 14 inches.
  ["Custom Size", choose("Custom Size"), get("PageSize"), 8],
  ["frame width in cm", null, get("PageWidth"), 21.59],
  ["frame height in cm", null, get("PageHeight"), 35.56],
  ["PageWidth 10 cm", set("PageWidth", 10), get("PageWidth"), 10],
  ["PageWidth beyond the bed ignored", set("PageWidth", 30), get("PageWidth"), 10],
  ["PageWidth 0 ignored", set("PageWidth", 0), get("PageWidth"), 10],
  ["PageWidth -3 ignored", set("PageWidth", -3), get("PageWidth"), 10],
  ["PageHeight 20 cm", set("PageHeight", 20), get("PageHeight"), 20],
  // The frame now is 10 x 20 cm, shown in inches.
  ["frame width in inches", set("PageSizeUnits", 0), get("PageWidth"), 3.94],
  ["frame height in inches", null, get("PageHeight"), 7.87],
  ["typed text replaced by the frame", type("3.94", "abc", "exit"), get("PageWidth"), 3.94],
  ["typed width beyond the bed replaced", type("3.94", "9", "enter"), get("PageWidth"), 3.94],
  ["typed width", type("3.94", "5.5", "enter"), get("PageWidth"), 5.5],
  ["typed width sent to the device", set("PageSizeUnits", 1), get("PageWidth"), 13.97],
  ["typed height 0 replaced", type("19.99", "0", "exit"), get("PageHeight"), 19.99],
  ["typed height with spaces", type("19.99", " 25.4 ", "enter"), get("PageHeight"), 25.4],
  ["typed height sent to the device", set("PageSizeUnits", 0), get("PageHeight"), 10],
  ["custom edits emptied for a named size", choose(LETTER), get("PageWidth"), 8.5]
]);

// Multi-image and duplex.
runRows([
  ["UseDuplex on a duplex feeder", set("UseDuplex", true), get("UseDuplex"), true],
  ["UseDuplex off", set("UseDuplex", false), get("UseDuplex"), false],
  ["UseDuplex without multi-image ignored",
   function () { TwainForm.MultiImage = false; TwainForm.UseDuplex = true; }, get("UseDuplex"), false],
  ["duplex box off without multi-image", null,
   function () { return can(function () { Host.Click("Use duplex"); }); }, false],
  ["duplex box on with multi-image", set("MultiImage", true),
   function () { return can(function () { Host.Click("Use duplex"); }); }, true],
  ["duplex clicked", null, get("UseDuplex"), true]
]);

// A scan of the three pages through the Acquire button; a single image
// with multi-image off.
// PixelType put and the chosen Letter size reach the device only with the
// click: afterwards the device's own values show them.
runRows([
  ["OnAcquire events of a 3-page batch",
   function () { TwainForm.UseDuplex = false; TwainForm.PixelType = 2; Host.Click("Acquire"); },
   count("OnAcquire"), 3],
  ["settings kept after the scan", null, get("PixelType"), 2],
  ["the device's pixel type, read again",
   function () { TwainForm.SetText("InputPixelType", "RGB Color", 2); }, get("PixelType"), 2],
  ["the device's frame width is Letter's", choose("Custom Size"), get("PageWidth"), 8.5],
  ["the device's frame height is Letter's", null, get("PageHeight"), 11],
  ["one image without multi-image",
   function () { TwainForm.MultiImage = false; Host.Click("Acquire"); TwainForm.MultiImage = true; },
   count("OnAcquire"), 4]
]);

// --- the device list as the user chooses from it ------------------------------
runRows([
  ["device chosen from the list",
   function () { TwainForm.UseDuplex = true; Host.Choose("Fine Resolution Scanner"); }, get("DeviceIndex"), 2],
  ["no duplex choice left from the feeder", null, get("UseDuplex"), false],
  ["OnSelect from the list", null, count("OnSelect"), 1],
  // 21 resolutions: the free-entry box instead of the list.
  ["resolution in the box", null, get("Resolution"), 200],
  ["no resolution list", null, function () { return can(choose("200")); }, false],
  ["typed resolution", type("200", "350", "enter"), get("Resolution"), 350],
  ["typed text replaced by the device's", type("350", "abc", "exit"), get("Resolution"), 350],
  ["350 dpi shown per cm", set("ResolutionUnits", 1), get("Resolution"), 137.8],
  ["typed per cm", type("137.8", "118.11", "exit"), get("Resolution"), 118.11],
  ["sent as 300 dpi", set("ResolutionUnits", 0), get("Resolution"), 300],
  ["DeviceName put", set("DeviceName", "Cheque Reader"), get("DeviceIndex"), 5],
  ["DeviceName of no device ignored", set("DeviceName", "No Such Scanner"), get("DeviceIndex"), 5],
  ["no OnSelect from DeviceName", null, count("OnSelect"), 1]
]);

// The MICR switch answers what the device accepted, and MICR lines of a
// cheque batch.
runRows([
  ["MICREnabled refused by a device without MICR",
   function () { TwainForm.DeviceIndex = 2; TwainForm.MICREnabled = true; }, get("MICREnabled"), false],
  ["MICREnabled accepted by the cheque reader",
   function () { TwainForm.DeviceIndex = 5; TwainForm.MICREnabled = true; }, get("MICREnabled"), true],
  ["MICREnabled off again after choosing another device", set("DeviceIndex", 2), get("MICREnabled"), false],
  ["and still off back on the cheque reader", set("DeviceIndex", 5), get("MICREnabled"), false],
  ["MICREnabled put false on the cheque reader", set("MICREnabled", false), get("MICREnabled"), false],
  ["MICREnabled", set("MICREnabled", true), get("MICREnabled"), true],
  ["MICR text of the last cheque",
   function () { Host.Click("Acquire"); }, get("MICRString"), "c000124c a111222a 89d"],
  ["cheques delivered", null, count("OnAcquire"), 6]
]);

// A device that cannot scan without its own interface.
runRows([
  ["interface forced", set("DeviceIndex", 4), get("UseInterface"), true],
  ["interface box locked", null,
   function () { return can(function () { Host.Click("Use default interface of device"); }); }, false]
]);

// A device that does not answer: nothing to scan with, retried every 10 s.
runRows([
  ["off line device", set("DeviceIndex", 3), get("PixelType"), -1],
  ["no page sizes", null, get("PageSize"), -1],
  ["no resolution", null, get("Resolution"), 0],
  ["Acquire off", null, function () { return can(function () { Host.Click("Acquire"); }); }, false],
  ["late device off line at first", set("DeviceIndex", 6), get("PixelType"), -1],
  ["late device connected by the retry", function () { Host.Sleep(11000); }, get("PixelType"), 2],
  ["its page sizes", null, get("PageSize"), 2],
  ["Acquire on", set("UseInterface", false),
   function () { return can(function () { Host.Click("Acquire"); }); }, true],
  ["its page delivered", null, count("OnAcquire"), 7],
  // The scan above sent A5; with PageSizeMode 2 the frame stays as it is.
  ["frame left alone in page-size mode 2",
   function () {
     Host.Choose(LETTER);
     TwainForm.PageSizeMode = 2;
     Host.Click("Acquire");
     TwainForm.PageSizeMode = 1;
     Host.Choose("Custom Size");
   }, get("PageWidth"), 5.83],
  ["frame height in mode 2", null, get("PageHeight"), 8.27],
  ["scanned in mode 2", null, count("OnAcquire"), 8]
]);

if (failures > 0) Host.Quit(1);
Host.Echo("scan_panel.js passed");
