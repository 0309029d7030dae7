// Ctrl+C for the commands that run until stopped: the first one asks the command to
// end after what it is doing (a handler sets a flag), instead of killing the process
// in the middle of an exchange or a line of output.
#pragma once

// Installs the handler: SIGINT and SIGTERM natively, the console's Ctrl+C, Ctrl+Break
// and close events under Windows.
void CatchInterrupt();

// True once Ctrl+C (or a termination request) has arrived.
bool Interrupted();

// Waits for seconds, in short steps so that Ctrl+C ends the wait at once. False when
// it was interrupted.
bool PauseUnlessInterrupted(double seconds);
