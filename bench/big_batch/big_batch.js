// A big batch through the Acquire button as a page runs it: 500 colour
// 300-dpi Letter pages held, shown from the first to the last and back,
// saved as one PDF and uploaded as one PDF; then the memory one page costs
// at 1, 8 and 24 bits. Prints "phase NAME begin|end MS" around each step,
// so that the runner can match its samples of the process's resident
// memory to the steps, and one "name value" line per figure.
//
//   pagehost big_batch.js RECEIVER FOLDER [samples]
// With "samples", only the memory per page is measured.
var RECEIVER = Host.Arg(0), FOLDER = Host.Arg(1), SAMPLES_ONLY = Host.ArgCount > 2 && Host.Arg(2) === "samples";
function say(text) { Host.Echo(text); }
function now() { return new Date().getTime(); }
function phase(name, step) {
  say("phase " + name + " begin " + now());
  var result = step();
  say("phase " + name + " end " + now());
  return result;
}
var stamps = [];
function TwainForm_OnAcquire() { stamps.push(now()); }

TwainForm.UseInterface = false;
TwainForm.MultiImage = true;
// The save button sits on a tab of its own until it is placed.
TwainForm.SetContainer("ButtonSaveLocal", "Tab1");
TwainForm.ShowElement("ButtonSaveLocal");
TwainForm.PageSizeMode = 2;
TwainForm.DeviceName = "Bench Batch Feeder";
function bigBatch() {
  var PAGES = 500;

  phase("scan", function () { Host.Click("Acquire"); });
  say("pages_held " + TwainForm.ImageCount + " events " + stamps.length);
  if (TwainForm.ImageCount !== PAGES || stamps.length !== PAGES) { say("FAIL pages"); Host.Quit(1); }
  function meanInterval(from, to) { return (stamps[to] - stamps[from]) / (to - from); }
  var first = meanInterval(0, 20), last = meanInterval(PAGES - 21, PAGES - 1);
  say("first_20_ms_per_page " + first.toFixed(1));
  say("last_20_ms_per_page " + last.toFixed(1));
  say("ratio_last_to_first " + (last / first).toFixed(2));
  say("committed_MiB_after_batch " + Host.MemoryMiB.toFixed(1));

  var t = now();
  TwainForm.ImageIndex = PAGES;
  say("switch_to_last_ms " + (now() - t));
  t = now();
  TwainForm.ImageIndex = 1;
  say("switch_to_first_ms " + (now() - t));

  TwainForm.PagesSelected = 2;
  TwainForm.FileName = FOLDER + "\\batch.pdf";
  phase("save", function () { Host.ClickTab("Acquire"); Host.Click("Save Local"); });
  say("saved " + TwainForm.SaveLocalSuccess + " " + TwainForm.SaveLocalError);
  TwainForm.FileName = "batch.pdf";
  TwainForm.UploadURL = RECEIVER + "/ok?t=batch";
  phase("upload", function () { TwainForm.Upload(); });
  say("upload_status " + TwainForm.UploadStatus);
  TwainForm.Clear();
}
if (!SAMPLES_ONLY) bigBatch();

// The memory and temporary file one more page costs at 1, 8 and 24 bits:
// the difference between 20 and 40 pages held, so that what any batch
// costs once (the page on show, the viewer's buffers) drops out. Once with
// the default memory budget, where these pages stay in memory, and once
// with none, where every page goes to the file and only its thumbnail and
// description stay in memory.
TwainForm.DeviceName = "Bench Sample Feeder";
var kinds = [[0, "1bit"], [1, "8bit"], [2, "24bit"]];
var budgets = [[64, "in_memory"], [0, "in_file"]];
for (var b = 0; b < budgets.length; b++) {
  TwainForm.PageMemoryLimit = budgets[b][0];
  for (var i = 0; i < kinds.length; i++) {
    var name = kinds[i][1] + "_" + budgets[b][1];
    TwainForm.PixelType = kinds[i][0];
    Host.ClickTab("Acquire");
    Host.Click("Acquire");
    var before = Host.MemoryMiB;
    phase("sample_" + name, function () { Host.ClickTab("Acquire"); Host.Click("Acquire"); });
    if (TwainForm.ImageCount !== 40) { say("FAIL sample pages " + TwainForm.ImageCount); Host.Quit(1); }
    say("letter_" + name + "_committed_KiB_per_page " + ((Host.MemoryMiB - before) * 1024 / 20).toFixed(1));
    TwainForm.Clear();
  }
}
Host.Quit(0);
