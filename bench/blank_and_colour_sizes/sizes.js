// The PDF size of a mixed duplex batch (colour, 300 dpi, Letter) through
// the control, with DiscardBlankPages and AutoColor 2 on and off: the same
// sheets scanned once for each setting and saved as one PDF with Save
// Local, and once in black and white as the reference for a text page.
// Prints one line per scan:
//
//   scan NAME pages KEPT discarded N blank PAGE... file FILE
//
//   pagehost sizes.js FOLDER
var FOLDER = Host.Arg(0);
var DEVICE = "Bench Duplex Mix";
var BLACK_AND_WHITE = 0, RGB = 2;
var scans = [
  // name, pixel type, DiscardBlankPages, AutoColor
  ["off", RGB, false, 0],
  ["auto_color_2", RGB, false, 2],
  ["discard_blank", RGB, true, 0],
  ["both", RGB, true, 2],
  ["black_and_white", BLACK_AND_WHITE, false, 0]
];

var saves = 0;
function TwainForm_OnSaveLocal() { saves++; }
function fail(what) { Host.Echo("FAIL " + what); Host.Quit(1); }

TwainForm.UseInterface = false;
TwainForm.MultiImage = true;
TwainForm.PageSizeMode = 2;  // the device's frame: the whole Letter sheet
TwainForm.DeviceName = DEVICE;
if (TwainForm.DeviceName != DEVICE) fail("no device " + DEVICE);
TwainForm.UseDuplex = true;
// The save button sits on a tab of its own until it is placed.
TwainForm.SetContainer("ButtonSaveLocal", "Tab1");
TwainForm.ShowElement("ButtonSaveLocal");
TwainForm.FileFormat = "PDF";
TwainForm.PagesSelected = 2;

for (var i = 0; i < scans.length; i++) {
  var name = scans[i][0];
  TwainForm.Clear();
  TwainForm.PixelType = scans[i][1];
  TwainForm.DiscardBlankPages = scans[i][2];
  TwainForm.AutoColor = scans[i][3];
  Host.ClickTab("Acquire");
  Host.Click("Acquire");
  var blank = [];
  for (var p = 1; p <= TwainForm.ImageCount; p++) if (TwainForm.IsBlankPage(p)) blank.push(p);
  var file = name + ".pdf";
  TwainForm.FileName = FOLDER + "\\" + file;
  var before = saves;
  Host.Click("Save Local");
  for (var waited = 0; saves == before && waited < 60000; waited += 100) Host.Sleep(100);
  if (!TwainForm.SaveLocalSuccess) fail("saving " + file + ": " + TwainForm.SaveLocalError);
  Host.Echo("scan " + name + " pages " + TwainForm.ImageCount + " discarded " + TwainForm.BlankPagesDiscarded +
            " blank " + (blank.length ? blank.join(" ") : "-") + " file " + file);
}
Host.Quit(0);
