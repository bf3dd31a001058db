// Prints the event log entries of a trace file, one a line:
//   SOURCE<tab>TEXT
// or with --full:
//   PROCESS<tab>THREAD<tab>SOURCE<tab>TYPE<tab>CATEGORY<tab>ID<tab>TEXT
// Further strings of an entry follow its text, each after a tab; a tab or
// line end inside a text is printed as \t or \n so that one entry stays one line.
#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "../../eventlog/EventLogTrace.h"
#include "Verbs.h"

namespace {

void PrintField(const std::string& text)
{
    for (char c : text) {
        if (c == '\t') fputs("\\t", stdout);
        else if (c == '\n') fputs("\\n", stdout);
        else if (c == '\r') fputs("\\r", stdout);
        else if (c == '\\') fputs("\\\\", stdout);
        else putchar(c);
    }
}

} // namespace

int RunEventLog(int argc, char** argv)
{
    bool full = argc == 2 && strcmp(argv[1], "--full") == 0;
    if (argc < 1 || (argc == 2 && !full) || argc > 2) {
        fprintf(stderr, "usage: vtool eventlog TRACE-FILE [--full]\n");
        return 2;
    }
    std::string trace;
    if (!ReadTraceFile(argv[0], trace)) {
        fprintf(stderr, "vtool eventlog: cannot read %s\n", argv[0]);
        return 1;
    }
    for (const EventLogEntry& entry : ParseEventLogTrace(trace)) {
        if (full)
            printf("%04lx\t%04lx\t", entry.process, entry.thread);
        PrintField(entry.source);
        if (full)
            printf("\t%u\t%u\t%lu", entry.type, entry.category, entry.id);
        for (const std::string& text : entry.strings) {
            putchar('\t');
            PrintField(text);
        }
        putchar('\n');
    }
    return 0;
}
