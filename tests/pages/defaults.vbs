' The control as a VBScript page sees it.
Dim failures, painted
failures = 0
painted = 0

Sub Check(what, actual, expected)
  If actual <> expected Then
    Host.Echo "FAIL " & what & ": got [" & actual & "], expected [" & expected & "]"
    failures = failures + 1
  End If
End Sub

Sub TwainForm_OnPaint()
  painted = painted + 1
End Sub

Function TwainForm_OnKeyPress(Key)
  TwainForm_OnKeyPress = Key + 1
End Function

Check "Version", TwainForm.Version, "Orlavex Pagewell, Version 1.3.0.0"
Check "FormTagName", TwainForm.FormTagName, "Pagewell"
Check "MultiImage", TwainForm.MultiImage, True
TwainForm.AuthenticationType = 257
Check "AuthenticationType", TwainForm.AuthenticationType, 1
TwainForm.PagesSelected = 7
Check "PagesSelected 7", TwainForm.PagesSelected, 1
TwainForm.PagesSelected = 2
Check "PagesSelected 2", TwainForm.PagesSelected, 2
TwainForm.UploadTimeout = -5
Check "UploadTimeout -5", TwainForm.UploadTimeout, 60
TwainForm.CustomText4 = "fourth"
Check "CustomText4", TwainForm.CustomText4, "fourth"
TwainForm.FileFormat = "tif"
Check "FileFormat", TwainForm.FileFormat, "TIF"
Check "AddFormVar", TwainForm.AddFormVar("a", "b"), 1

'Setting the colour repaints the form, which raises OnPaint.
TwainForm.Color = TwainForm.Color
Host.Sleep 300
Check "OnPaint raised", painted > 0, True
If failures > 0 Then Host.Quit 1
Host.Echo "defaults.vbs passed"
