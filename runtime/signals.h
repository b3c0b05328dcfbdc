// The process's ways of being told to end (signals, console events) and its
// crash clean-up.
// Files a new platform adds: signals_<platform>.cpp.
#pragma once

// Routes the platform's requests to end the run (every signal that would end
// the process without a crash: SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1...;
// the console's Ctrl+C, Ctrl+Break and close) to the close request, so the
// run ends through its shutdown; a second request ends the process the
// platform's default way. Writes to a closed pipe or over the file-size
// limit fail as writes (SIGPIPE, SIGXFSZ ignored). A child forked from the
// process starts with the default handling of every signal (this one's and
// AtCrash's) and none of the crash procedures.
void RouteCloseSignals();

// A crash skips RuntimeEnd. Procedures registered here run, last registered
// first, when the process receives a fatal signal (SIGSEGV, SIGBUS, SIGILL,
// SIGFPE, SIGABRT, SIGTRAP, SIGSYS); they run inside the signal handler and
// may only make async-signal-safe calls. Up to eight; one registered twice
// runs once. A platform without such signals keeps none.
using CrashProcedure = void (*)();
void AtCrash(CrashProcedure procedure);

// Asked after the crash procedures: a verdict that returns true has
// recognised the crash as the consequence of a failure it has reported
// itself, and the process exits with status 1 instead of dying by the signal.
using CrashVerdict = bool (*)();
void SetCrashVerdict(CrashVerdict verdict);
