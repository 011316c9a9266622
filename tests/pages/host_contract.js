// The page host's own promises: arguments, Echo and the exit code of Quit.
Host.Echo("args " + Host.ArgCount + " " + Host.Arg(0) + " " + Host.Arg(1));
Host.Quit(7);
Host.Echo("not reached");
