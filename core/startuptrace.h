#pragma once

// An opt-in timeline of the programme's own steps, for the start-up benchmark.
// When QUILLON_TRACE_LOG names a file, every mark appends one line to it:
//   "<seconds on the monotonic clock> <milestone> [<number>]"
// so that a harness using the same clock can lay the programme's steps beside what
// its servers saw. Without the variable a mark does nothing.
namespace StartupTrace {

void mark(const char *milestone, int number = -1);

}
