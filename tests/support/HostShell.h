// The Unix host under the terminal: Wine keeps a file's permissions as its
// mode bits, so a test sets and reads them there, as an administrator of the
// host would with chmod and stat.
#pragma once

#include <string>

// The host's name for a path of the terminal; "" when Wine gives none.
std::string UnixFileName(const std::string& path);

// The text as one word of a shell command line.
std::string ShellQuoted(const std::string& text);

// Runs a /bin/sh command line on the host and waits for it to end; its
// standard output and error, or false when it did not run or end in time.
bool RunHostShell(const std::string& command, std::string* output = nullptr);

// The file's permission bits as the host keeps them (0644 and so on), or -1.
int UnixMode(const std::string& path);

// chmod with `change` (as "o+w") on the file; false when it failed.
bool ChangeUnixMode(const std::string& path, const std::string& change);
