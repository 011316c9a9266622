// Three pages of the virtual feeder through the Acquire button in the page
// host, the ActiveX way: the same settings as bench_service.py gives the
// service. Prints "pagehost_three_pages_ms MEDIAN" over RUNS scans.
var RUNS = 5;
TwainForm.DeviceName = "Pagewell Virtual Feeder";
TwainForm.PixelType = 0;
TwainForm.Resolution = 200;
TwainForm.UseInterface = false;
var times = [];
for (var run = 0; run < RUNS; run++) {
  TwainForm.Clear();
  var start = new Date().getTime();
  Host.Click("Acquire");
  times.push(new Date().getTime() - start);
  if (TwainForm.ImageCount !== 3) { Host.Echo("FAIL pages: " + TwainForm.ImageCount); Host.Quit(1); }
}
times.sort(function (a, b) { return a - b; });
Host.Echo("pagehost_three_pages_ms " + times[Math.floor(RUNS / 2)]);
