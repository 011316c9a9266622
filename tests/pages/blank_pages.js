// Blank pages and automatic colour through the members, on a duplex batch
// of mixed sheets: six fronts with little on them (a signature, a page
// number, one line, a stamp, letters) and their backs, empty but for the
// fifth, which carries a page number. One run, its steps in order.
//
//   pagehost blank_pages.js ARTIFACTS
var ARTIFACTS = Host.Arg(0);
var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}
var acquired = 0;
function TwainForm_OnAcquire() { acquired++; }
function scan() {
  var before = acquired;
  Host.Click("Acquire");
  return acquired - before;
}

// The defaults keep every page as scanned.
check("DiscardBlankPages default", TwainForm.DiscardBlankPages, false);
check("AutoColor default", TwainForm.AutoColor, 0);
check("BlankPagesDiscarded default", TwainForm.BlankPagesDiscarded, 0);
var levels = [[2, 2], [3, 2], [-1, 2], [1, 1], [0, 0]];
for (var i = 0; i < levels.length; i++) {
  TwainForm.AutoColor = levels[i][0];
  check("AutoColor after " + levels[i][0], TwainForm.AutoColor, levels[i][1]);
}

TwainForm.DeviceName = "Pagewell Duplex Mix";
check("device", TwainForm.DeviceName, "Pagewell Duplex Mix");
TwainForm.UseInterface = false;
TwainForm.MultiImage = true;
TwainForm.PageSizeMode = 2;

// Everything kept: the backs are there, and IsBlankPage tells them apart.
check("pages without the filter", scan(), 12);
check("ImageCount without the filter", TwainForm.ImageCount, 12);
var blanks = [];
for (var p = 1; p <= 12; p++) if (TwainForm.IsBlankPage(p)) blanks.push(p);
check("blank pages found", blanks.join(" "), "2 4 6 8 12");
var refused = ["IsBlankPage(0)", "IsBlankPage(13)"];
for (var i = 0; i < refused.length; i++) {
  try { eval("TwainForm." + refused[i]); Host.Echo("FAIL " + refused[i] + " answered"); failures++; } catch (e) {}
}
TwainForm.Clear();

// Blank backs dropped before they become pages (no OnAcquire), text pages
// kept as black and white, the stamp and the letters' logo in colour.
TwainForm.DiscardBlankPages = true;
TwainForm.AutoColor = 2;
check("pages kept", scan(), 7);
check("ImageCount with the filter", TwainForm.ImageCount, 7);
check("BlankPagesDiscarded", TwainForm.BlankPagesDiscarded, 5);
for (var p = 1; p <= 7; p++) check("kept page " + p + " is not blank", TwainForm.IsBlankPage(p), false);
Host.Screenshot(ARTIFACTS + "\\blank_pages.png");
// The count runs on over batches until Clear.
scan();
check("BlankPagesDiscarded after two batches", TwainForm.BlankPagesDiscarded, 10);
TwainForm.Clear();
check("BlankPagesDiscarded after Clear", TwainForm.BlankPagesDiscarded, 0);

Host.Echo(failures == 0 ? "blank pages: all steps passed" : "blank pages: " + failures + " failures");
Host.Quit(failures == 0 ? 0 : 1);
