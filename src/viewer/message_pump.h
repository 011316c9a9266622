#pragma once
// The viewer's waits (a scan, a dragged selection) keep the thread serving
// its message queue instead of blocking it.
namespace pagewell {

// Dispatches every message waiting in the thread's queue. Answers false
// when the queue held WM_QUIT: the message goes back into the queue for the
// loop that owns it, and the wait should end.
bool ProcessPendingMessages();

}  // namespace pagewell
