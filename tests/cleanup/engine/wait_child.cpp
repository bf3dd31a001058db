// A program for the engine's tests to start: marks that it runs, waits until
// the test signals the named event, then marks that it ended.
//   wait_child MARKER EVENT   writes MARKER.started, waits, writes MARKER.done
#include <windows.h>

#include <string>

static void Mark(const std::string& path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    std::string marker = argv[1];
    HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, argv[2]);
    Mark(marker + ".started");
    if (event == NULL || WaitForSingleObject(event, 30000) != WAIT_OBJECT_0)
        return 1;
    Mark(marker + ".done");
    return 0;
}
