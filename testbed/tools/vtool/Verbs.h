// The verbs of vtool, the Windows half of the terminal's command line.
// Each takes the arguments after the verb and returns the exit status.
#pragma once

int RunCtrl(int argc, char** argv);
int RunEventLog(int argc, char** argv);
int RunPress(int argc, char** argv);
int RunWindow(int argc, char** argv);
int RunWriteFilter(int argc, char** argv);
