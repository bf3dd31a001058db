// Reports one event log entry: report_event SOURCE TYPE TEXT...
// (each TEXT one string of the entry).
#include <windows.h>
#include <stdlib.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    HANDLE log = RegisterEventSourceA(NULL, argv[1]);
    if (log == NULL)
        return 1;
    BOOL reported = ReportEventA(log, (WORD)atoi(argv[2]), 0, 0, NULL, (WORD)(argc - 3), 0,
                                 const_cast<const char**>(argv + 3), NULL);
    DeregisterEventSource(log);
    return reported ? 0 : 1;
}
