// A policy entry that allows nothing is told to the page's developer: the
// page turns DebugAlerts on and hears, once, which entry and why, while
// the policy's good entries keep working. Host.Arg(0) is the entry the
// policy got wrong.
var failures = 0;
function fail(text) { Host.Echo("FAIL " + text); failures++; }

if (Host.DialogCount != 0) fail("a dialog before DebugAlerts: " + Host.LastDialogText);
TwainForm.DebugAlerts = true;
var alert = Host.LastDialogText;
var expected = "The AllowedOrigins entry " + Host.Arg(0) + " allows nothing: ";
if (Host.DialogCount != 1 || alert.indexOf(expected) != 0 || alert.indexOf("public suffix") < 0)
  fail("the alert: " + Host.DialogCount + " dialogs, last [" + alert + "]");
// Once is enough.
TwainForm.DebugAlerts = false;
TwainForm.DebugAlerts = true;
if (Host.DialogCount != 1) fail("the alert came again: " + Host.LastDialogText);
Host.Quit(failures == 0 ? 0 : 1);
