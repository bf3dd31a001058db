// A program for the engine's tests to start: marks that it runs, waits until
// the test signals the named event, then marks that it ended.
//   wait_child [ANY...] MARKER EVENT
// writes MARKER.started holding its own program path (so a test sees which
// copy was started), waits, writes MARKER.done.
#include <windows.h>

#include <string>

static void Mark(const std::string& path, const char* text)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written;
    WriteFile(file, text, lstrlenA(text), &written, NULL);
    CloseHandle(file);
}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    std::string marker = argv[argc - 2];
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, argv[argc - 1]);
    char program[MAX_PATH] = {};
    GetModuleFileNameA(NULL, program, MAX_PATH);
    Mark(marker + ".started", program);
    if (event == NULL || WaitForSingleObject(event, 30000) != WAIT_OBJECT_0)
        return 1;
    Mark(marker + ".done", "");
    return 0;
}
