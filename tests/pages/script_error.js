var reached = true;
TwainForm.NoSuchMember();
Host.Echo("not reached");
