// Ctrl+C for the commands that run until stopped: the first one asks the command to
// end after what it is doing (a handler sets a flag), instead of killing the process
// in the middle of an exchange or a line of output.
#pragma once

// Installs the handler: SIGINT, SIGTERM and SIGHUP natively; under Windows the
// console's Ctrl+C and Ctrl+Break, and closing the console, logging off and shutting
// down, after which the system ends the process as soon as the handler returns: the
// handler then gives the command a few seconds to end (EndOfCommand) and returns only
// between two lines of output (OutputLines).
void CatchInterrupt();

// True once Ctrl+C (or a termination request) has arrived.
bool Interrupted();

// Waits for seconds, in short steps so that Ctrl+C ends the wait at once. False when
// it was interrupted.
bool PauseUnlessInterrupted(double seconds);

// Held while the command writes lines it means to end whole (and flushes them): a
// console that closes meanwhile waits for it. Nothing natively, where nothing ends
// the process behind the handler's back.
class OutputLines {
public:
    OutputLines();
    ~OutputLines();
    OutputLines(const OutputLines&) = delete;
    OutputLines& operator=(const OutputLines&) = delete;
};

// The command has written and flushed its last line: a closing console need wait no more.
void EndOfCommand();
