// The control as the installer left it: created by its ProgID from the
// registry the package wrote (nothing ran regsvr32), answering its defaults.
var failures = 0;
function check(what, actual, expected) {
  if (actual !== expected) {
    Host.Echo("FAIL " + what + ": got [" + actual + "], expected [" + expected + "]");
    failures++;
  }
}
check("Version", TwainForm.Version, "Orlavex Pagewell, Version 1.3.0.0");
check("FormTagName", TwainForm.FormTagName, "Pagewell");
check("FileFormat", TwainForm.FileFormat, "FileName");
check("PagesSelected", TwainForm.PagesSelected, 1);
check("ImageCount", TwainForm.ImageCount, 0);
Host.Echo(failures == 0 ? "installed control answers" : failures + " failures");
Host.Quit(failures == 0 ? 0 : 1);
