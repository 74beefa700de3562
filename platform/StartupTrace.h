// Where the program's start spends its time: when the environment variable
// RIRERED_STARTUP_TRACE names a file, every phase of the start appends a line to it.
#pragma once

// The variable that asks for the trace; its value is the file the lines go to.
extern const char* const StartupTraceVariable;

// Appends "<milliseconds since the process began><tab><phase>" and CR LF to the trace file
// when one was asked for; does nothing otherwise. The file is created afresh at the first
// phase, so each start leaves its own trace.
void TraceStartup(const char* phase);
