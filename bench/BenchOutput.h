// Output of the benchmark programs: one line at a time, formatted by msvcrt.
// A result line follows the form bench/run collects: NAME: FIGURE (DETAIL).
#pragma once

// Writes one formatted line to standard output; a line longer than 1,023
// characters is cut (benchmark lines are far shorter).
void PrintLine(const char* format, ...);
