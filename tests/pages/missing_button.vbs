Host.Echo "before"
Host.Click "No Such Button"
Host.Echo "not reached"
