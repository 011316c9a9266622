// The control as a JScript page sees it: defaults, range rules, Version,
// events, the about box, and a screenshot of the form (Host.Arg(0)).
var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}

var painted = 0;
function TwainForm_OnPaint() { painted++; }

check("Version", TwainForm.Version, "Orlavex Pagewell, Version 1.3.0.0");
check("FormTagName", TwainForm.FormTagName, "Pagewell");
check("FileFormat", TwainForm.FileFormat, "FileName");
check("UploadTimeout", TwainForm.UploadTimeout, 60);
check("ThumbRows", TwainForm.ThumbRows, 3);
check("ControlPanelTabs", TwainForm.ControlPanelTabs, 3);
check("MultiImage", TwainForm.MultiImage, true);
check("UseInterface", TwainForm.UseInterface, true);
check("CloseInterface", TwainForm.CloseInterface, true);
check("PagesSelected", TwainForm.PagesSelected, 1);
check("ImageCount", TwainForm.ImageCount, 0);
check("ImageIndex", TwainForm.ImageIndex, 0);
check("UploadStatus", TwainForm.UploadStatus, 0);
check("Caption", TwainForm.Caption, "TwainForm");
check("RequiredWidth", TwainForm.RequiredWidth, 793);
check("RequiredHeight", TwainForm.RequiredHeight, 593);
check("Font.Name", TwainForm.Font.Name, "MS Sans Serif");

// The font object read from Font is the form's: what the page changes on
// it, the form shows (the COM tests look at the components themselves).
// The font object reports the size of the font it realised, which for a
// bitmap font is the nearest size it has: larger is what can be relied on.
var font = TwainForm.Font;
var sizeBefore = font.Size;
font.Size = 14;
font.Bold = true;
check("Font.Size after change", TwainForm.Font.Size > sizeBefore, true);
check("Font.Bold after change", TwainForm.Font.Bold, true);

// Range rules.
TwainForm.AuthenticationType = 257;
check("AuthenticationType 257", TwainForm.AuthenticationType, 1);
var pages = [[0, 1], [2, 2], [7, 1], [2, 2], [1, 1]];
for (var i = 0; i < pages.length; i++) {
  TwainForm.PagesSelected = pages[i][0];
  check("PagesSelected " + pages[i][0], TwainForm.PagesSelected, pages[i][1]);
}
TwainForm.MaxUploadSize = 1000;
TwainForm.MaxUploadSize = -1;
check("MaxUploadSize -1", TwainForm.MaxUploadSize, 1000);
TwainForm.MaxUploadSize = 0;
check("MaxUploadSize 0", TwainForm.MaxUploadSize, 0);
TwainForm.FileFormat = "Jpg";
check("FileFormat Jpg", TwainForm.FileFormat, "JPG");
TwainForm.FileFormat = "jpeg";
check("FileFormat jpeg", TwainForm.FileFormat, "JPG");
TwainForm.FileName = "Scan.PDF";
check("FileNameExtension", TwainForm.FileNameExtension, ".pdf");
TwainForm.FileName = "scan.jpeg";
check("FileNameExtension jpeg", TwainForm.FileNameExtension, "");
check("AddFormVar", TwainForm.AddFormVar("id", "42"), 1);
check("AddFormVar again", TwainForm.AddFormVar("name", "x=y"), 2);
TwainForm.FormTagName = "upload";
check("FormTagName set", TwainForm.FormTagName, "upload");

// Without a page an upload does nothing at all.
TwainForm.UploadURL = "http://127.0.0.1:1/never";
TwainForm.Upload();
check("UploadStatus after an upload without a page", TwainForm.UploadStatus, 0);
check("AddFormVar after an upload without a page", TwainForm.AddFormVar("third", "3"), 3);

// The check box is the state: clicking it changes the member.
Host.Click("Acquire multiple images");
check("MultiImage after click", TwainForm.MultiImage, false);
TwainForm.MultiImage = true;

// The host presses the about box's default button and reports its text.
TwainForm.AboutBox();
check("about box", Host.LastDialogText,
      "Orlavex Pagewell\nVersion 1.3\nBuild No.: 1.3.0.0\nhttps://pagewell.example/");
Host.DialogAnswer = "Cancel";
TwainForm.AboutBox();
check("about box answered Cancel", Host.LastDialogText.indexOf("Build No.: 1.3.0.0") >= 0, true);

// Setting the colour repaints the form, which raises OnPaint.
TwainForm.Color = TwainForm.Color;
Host.Sleep(300);
check("OnPaint raised", painted > 0, true);
if (Host.ArgCount > 0) Host.Screenshot(Host.Arg(0));

if (failures > 0) Host.Quit(1);
Host.Echo("defaults.js passed");
