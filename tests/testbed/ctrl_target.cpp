// A process with a console control handler, for the event sender's tests.
// It writes "pid N" to the file named on the command line, then appends each
// event: "got N" when the handler starts, "done N" just before it returns
// half a second later. A second argument names an event to set when ready.
#include <windows.h>
#include <stdio.h>

static const char* logPath;

static void Append(const char* what, DWORD event)
{
    FILE* file = fopen(logPath, "ab");
    if (file != NULL) {
        fprintf(file, "%s %lu\n", what, event);
        fclose(file);
    }
}

static BOOL WINAPI Handler(DWORD event)
{
    Append("got", event);
    Sleep(500);
    Append("done", event);
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
        return 2;
    logPath = argv[1];
    SetConsoleCtrlHandler(Handler, TRUE);
    Append("pid", GetCurrentProcessId());
    if (argc == 3) {
        HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
        if (ready == NULL)
            return 3;
        SetEvent(ready);
        CloseHandle(ready);
    }
    for (;;)
        Sleep(1000);
}
