// The page list as a page drives it, on the feeder of page_list_devices.cfg
// (20 small gray pages a batch, page N with the MICR line "pN", which is how
// this script tells the pages apart): the members ImageCount, ImageIndex,
// Clear, ThumbRows and SetThumbnails, the navigation buttons by their
// captions, the arranging buttons, the highlight behind the current
// thumbnail and the enabling of the buttons that need a page.
// Host.Arg(0): the artifacts folder, for a screenshot of the strip.
var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}

var acquired = 0;
var countsSeen = "";
function TwainForm_OnAcquire() {
  acquired++;
  // The page is in the list, and current, when its event arrives.
  if (TwainForm.ImageCount !== TwainForm.ImageIndex) countsSeen += " index " + TwainForm.ImageIndex;
}

// The strip of the design layout: one row of 36 x 36 thumbnails in 14
// columns. grpThumbs stands at (8, 464) with a caption 8 high; the cell of
// slot k starts at x = 8 + 16 + 52k, its thumbnail at y = 464 + 8 + 16 + 20.
// Two pixels left of a cell lies the highlight's margin: highlight green
// behind the current page, the strip's own colour elsewhere.
var SLOTS = 14;
var HIGHLIGHT = 0xCCFFCC;  // RGB(204, 255, 204) as 0xBBGGRR
var CELL_TOP = 464 + 8 + 16 + 20;
function cellLeft(k) { return 8 + 16 + 52 * k; }
function highlightedSlots() {
  Host.Sleep(30);
  var slots = [];
  for (var k = 0; k < SLOTS; k++)
    if (Host.Pixel(cellLeft(k) - 2, CELL_TOP + 18) === HIGHLIGHT) slots.push(k);
  return slots.join(",");
}

// Each row: what is done, then the current page, its MICR line and the
// slot the highlight stands in (the current page less the first one shown).
function state() { return TwainForm.ImageIndex + " " + TwainForm.MICRString + " @" + highlightedSlots(); }
function runRows(rows) {
  for (var i = 0; i < rows.length; i++) {
    try {
      rows[i][1]();
      check(rows[i][0], state(), rows[i][2]);
    } catch (e) {
      Host.Echo("FAIL " + rows[i][0] + ": " + e.message);
      failures++;
    }
  }
}
function click(caption) { return function () { Host.Click(caption); }; }
function index(value) { return function () { TwainForm.ImageIndex = value; }; }
function nothing() {}

// --- the empty list ----------------------------------------------------------
check("ImageCount empty", TwainForm.ImageCount, 0);
check("ImageIndex empty", TwainForm.ImageIndex, 0);
TwainForm.ImageIndex = 1;
check("ImageIndex 1 on an empty list", TwainForm.ImageIndex, 0);
runRows([
  ["|< on an empty list", click("|<"), "0  @"],
  [">> on an empty list", click(">>"), "0  @"],
  [">| on an empty list", click(">|"), "0  @"]
]);
TwainForm.Clear();
check("Clear on an empty list", TwainForm.ImageCount, 0);
var needPage = ["90\u00b0 CW", "90\u00b0 CCW", "180\u00b0", "Deskew", "Despeckle", "Crop", "Upload", "Save Local", "Add Text"];
function enabledButtons() {
  var enabled = [];
  for (var i = 0; i < needPage.length; i++) if (Host.ButtonEnabled(needPage[i])) enabled.push(needPage[i]);
  return enabled.length;
}
check("editing and output buttons without a page", enabledButtons(), 0);

// --- one batch of 20 pages through the Acquire button -------------------
TwainForm.UseInterface = false;
TwainForm.PageSizeMode = 2;
TwainForm.MICREnabled = true;
Host.Click("Acquire");
check("OnAcquire events", acquired, 20);
check("each page current when its event arrives", countsSeen, "");
check("ImageCount", TwainForm.ImageCount, 20);
check("editing and output buttons with pages", enabledButtons(), needPage.length);

// With 20 pages in 14 slots the last page is current in the last slot.
runRows([
  ["after the batch", nothing, "20 p20 @13"],
  ["|<", click("|<"), "1 p1 @0"],
  ["< on the first page", click("<"), "1 p1 @0"],
  [">", click(">"), "2 p2 @1"],
  // Page forward to the last screen: the window ends at page 20 and the
  // current page keeps its slot.
  [">> to the last screen", click(">>"), "8 p8 @1"],
  [">> on the last screen", click(">>"), "20 p20 @13"],
  ["> on the last page", click(">"), "20 p20 @13"],
  ["<< to the first screen", click("<<"), "14 p14 @13"],
  ["<< on the first screen", click("<<"), "1 p1 @0"],
  [">|", click(">|"), "20 p20 @13"],
  ["<", click("<"), "19 p19 @12"],
  ["ImageIndex 3 scrolls back to it", index(3), "3 p3 @0"],
  ["ImageIndex 0 ignored", index(0), "3 p3 @0"],
  ["ImageIndex -1 ignored", index(-1), "3 p3 @0"],
  ["ImageIndex 21 ignored", index(21), "3 p3 @0"],
  ["ImageIndex 16 scrolls forward to it", index(16), "16 p16 @13"],
  ["a click on the thumbnail in slot 2", function () { Host.ClickAt(cellLeft(2) + 18, CELL_TOP + 18); }, "5 p5 @2"]
]);
TwainForm.ImageIndex = 1;
if (Host.ArgCount > 0) Host.Screenshot(Host.Arg(0) + "/page_list.png");
// A higher strip holds three rows of smaller thumbnails; back at the design
// size the thumbnails take their old size again (the rows below check them).
TwainForm.SetThumbnails(777, 250, 3);
TwainForm.ImageIndex = 18;
if (Host.ArgCount > 0) Host.Screenshot(Host.Arg(0) + "/page_list_three_rows.png");
TwainForm.SetThumbnails(777, 121, 3);
TwainForm.ImageIndex = 1;

// --- arranging --------------------------------------------------------------
Host.ClickTab("Arrange");
runRows([
  ["first page up does nothing", click("Move Up"), "1 p1 @0"],
  ["last page down does nothing", function () { TwainForm.ImageIndex = 20; Host.Click("Move Down"); }, "20 p20 @13"],
  ["page 3 up", function () { TwainForm.ImageIndex = 3; Host.Click("Move Up"); }, "2 p3 @0"],
  ["what was page 2 is page 3", index(3), "3 p2 @1"],
  ["page 1 down", function () { TwainForm.ImageIndex = 1; Host.Click("Move Down"); }, "2 p1 @1"],
  ["what was page 3 is page 1", index(1), "1 p3 @0"],
  // Order now p3 p1 p2 p4 ... p20.
  ["delete the last page: the new last page is current", function () { TwainForm.ImageIndex = 20; Host.Click("Delete"); }, "19 p19 @12"],
  ["delete the first page: the next one stands first", function () { TwainForm.ImageIndex = 1; Host.Click("Delete"); }, "1 p1 @0"],
  ["delete in the middle", function () { TwainForm.ImageIndex = 2; Host.Click("Delete"); }, "2 p4 @1"],
  ["the page after it moved up", index(3), "3 p5 @2"]
]);
check("ImageCount after three deletes", TwainForm.ImageCount, 17);

// Down to a list that fits in the slots: page forward jumps to its end.
TwainForm.ImageIndex = 1;
for (var d = 0; d < 4; d++) Host.Click("Delete");
check("ImageCount of a short list", TwainForm.ImageCount, 13);
runRows([["page forward on a short list", click(">>"), "13 p19 @12"]]);

// Clear: the list, the main viewer and its MICR text empty, the buttons
// that need a page disabled.
TwainForm.Clear();
runRows([["Clear", nothing, "0  @"]]);
check("buttons after Clear", enabledButtons(), 0);
Host.Click("Clear");
check("the Clear button on an empty list", TwainForm.ImageCount, 0);

// Delete the only page: the same.
Host.ClickTab("Acquire");
TwainForm.MultiImage = false;
Host.Click("Acquire");
TwainForm.MultiImage = true;
Host.ClickTab("Arrange");
check("a single page", TwainForm.ImageCount, 1);
runRows([["the only page", nothing, "1 p1 @0"]]);
Host.Click("Delete");
runRows([["delete the only page", nothing, "0  @"]]);
check("buttons after deleting the only page", enabledButtons(), 0);
check("Acquire after deleting the only page", Host.ButtonEnabled("Acquire"), true);
Host.ClickTab("Acquire");

// --- single-image mode: without the strip, one page at a time -------------
TwainForm.HideElement("Thumbnails");
function acquireEnabled() { return Host.ButtonEnabled("Acquire"); }
Host.Click("Acquire");
check("single-image mode: one page", TwainForm.ImageCount, 1);
check("single-image mode: Acquire off while a page is held", acquireEnabled(), false);
Host.ClickTab("Arrange");
Host.Click("Delete");
check("single-image mode: Acquire on after the delete", acquireEnabled(), true);
Host.ClickTab("Acquire");
Host.Click("Acquire");
check("single-image mode: Acquire off again", acquireEnabled(), false);
TwainForm.Clear();
check("single-image mode: Acquire on after Clear", acquireEnabled(), true);
Host.Click("Acquire");
TwainForm.ShowElement("Thumbnails");
check("the strip shown again: Acquire on", acquireEnabled(), true);
runRows([["the strip shown again", nothing, "1 p1 @0"]]);
TwainForm.Clear();
TwainForm.MultiImage = true;

// --- the strip's layout and its warnings -----------------------------------
var ROWS_REDUCED = "ThumbRows: Number of thumbnail rows reduced to fit in available height.";
var REPLACED = "SetThumbnails: Specified value is inconsistent with other property values for Element \"Thumbnails\".  Set to a different value.";
var dialogs = Host.DialogCount;
TwainForm.ThumbRows = 3;
check("no warning without DebugAlerts", Host.DialogCount, dialogs);
TwainForm.DebugAlerts = true;
TwainForm.ThumbRows = 3;
check("ThumbRows 3 warns once", Host.DialogCount, dialogs + 1);
check("ThumbRows warning", Host.LastDialogText, ROWS_REDUCED);
check("ThumbRows keeps the rows asked for", TwainForm.ThumbRows, 3);
TwainForm.ThumbRows = 0;
check("ThumbRows 0 ignored", TwainForm.ThumbRows, 3);
check("ThumbRows 0 does not lay out", Host.DialogCount, dialogs + 1);
dialogs = Host.DialogCount;
TwainForm.SetThumbnails(100, 50, 2);
// Both sizes replaced (code 5), then the 100-high strip holds one row only.
check("SetThumbnails 100, 50, 2 warnings", Host.DialogCount, dialogs + 3);
check("SetThumbnails rows", TwainForm.ThumbRows, 2);
TwainForm.DebugAlerts = false;
TwainForm.SetThumbnails(777, 121, 3);
check("SetThumbnails back to the design size", TwainForm.ThumbRows, 3);

if (failures > 0) Host.Quit(1);
Host.Echo("page_list.js passed");
