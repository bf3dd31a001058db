// A process with a console control handler, for the event sender's test.
// Each event is appended to the file named on the command line: "got N" when
// the handler starts, "done N" just before it returns half a second later.
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
    if (argc != 3)
        return 2;
    logPath = argv[1];
    SetConsoleCtrlHandler(Handler, TRUE);
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (ready == NULL)
        return 3;
    SetEvent(ready);
    CloseHandle(ready);
    for (;;)
        Sleep(1000);
}
