#pragma once
// Ending the program is always a posted quit request (exit code 0), never an abrupt exit:
// the request ends every running event loop, a modal dialog shown while it is pending
// closes at once as cancelled, start-up skips what is left, and the message loop ends.
namespace kv {

// Posts the quit request and marks the program as terminated.
void PostQuit();
// True once a quit request was posted (the "terminated" flag of start-up).
bool QuitPending();
// Forgets a posted request so that later event loops run normally (tests; a program
// that decides to carry on).
void ClearQuitRequest();

} // namespace kv
