// Where the running test program lies on its terminal: drive B:, with the
// programs and files the build puts beside it.
#pragma once

#include <string>

// The program's folder, with a trailing backslash.
std::string TestProgramFolder();
