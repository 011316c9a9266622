// The page list under load, through the Acquire button as a page uses it.
// 1. 300 small gray pages in one batch: the time per page of the first 20
//    and of the last 20 pages, and their ratio (adding, numbering and
//    refreshing must not grow with the count).
// 2. The memory one 300-dpi Letter page costs at 1, 8 and 24 bits: the
//    process's committed memory before and after a batch of 4 pages, per
//    page, beside the page's raster (its bitmap), and what Clear gives back.
// Prints one "name value" line per figure.
function say(text) { Host.Echo(text); }
var stamps = [];
function TwainForm_OnAcquire() { stamps.push(new Date().getTime()); }

TwainForm.UseInterface = false;
TwainForm.PageSizeMode = 2;

// --- time per page ------------------------------------------------------------
TwainForm.DeviceName = "Bench Small Feeder";
Host.Click("Acquire");
if (TwainForm.ImageCount !== 300) { say("FAIL pages: " + TwainForm.ImageCount); Host.Quit(1); }
function meanInterval(from, to) {  // events from..to, 0-based
  return (stamps[to] - stamps[from]) / (to - from);
}
var first = meanInterval(0, 20), last = meanInterval(279, 299);
say("first_20_ms_per_page " + first.toFixed(1));
say("last_20_ms_per_page " + last.toFixed(1));
say("ratio_last_to_first " + (last / first).toFixed(2));
TwainForm.Clear();

// --- memory per page -----------------------------------------------------------
// Held while BATCH pages are in the list: BATCH page bitmaps plus the main
// viewer's copy of the current page, plus each page viewer's own small
// window and thumbnail drawing surface.
TwainForm.DeviceName = "Bench Letter Feeder";
var WIDTH = 2550, HEIGHT = 3300, BATCH = 4;
var kinds = [[0, 1, "1bit"], [1, 8, "8bit"], [2, 24, "24bit"]];
for (var i = 0; i < kinds.length; i++) {
  TwainForm.PixelType = kinds[i][0];
  var raster = Math.floor((WIDTH * kinds[i][1] + 31) / 32) * 4 * HEIGHT / 1048576;
  // One batch first, so that what is allocated once (buffers of the
  // transfer, the heap's own growth) is in place before measuring.
  Host.Click("Acquire");
  TwainForm.Clear();
  var empty = Host.MemoryMiB;
  Host.Click("Acquire");
  var held = Host.MemoryMiB;
  TwainForm.Clear();
  var cleared = Host.MemoryMiB;
  var perPage = (held - empty - raster) / BATCH;
  say("letter_" + kinds[i][2] + "_raster_MiB " + raster.toFixed(3));
  say("letter_" + kinds[i][2] + "_MiB_per_page " + perPage.toFixed(3) +
      " (" + BATCH + " pages and the main copy: " + (held - empty).toFixed(3) + ")");
  say("letter_" + kinds[i][2] + "_MiB_left_after_clear " + (cleared - empty).toFixed(3));
}
