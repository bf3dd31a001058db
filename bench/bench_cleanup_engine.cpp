// Emptying a tree of 20,000 files in 2,000 folders: the engine's
// DeleteDirectoryContents against the terminal's own "cmd /c rd /s /q" on an
// identical tree, in the same run. Prints both times and their ratio as the
// result line "cleanup ratio: R (...)".
#include <windows.h>

#include <strsafe.h>

#include "BenchOutput.h"
#include "engine/FileActions.h"

static const int TOP_FOLDERS = 50;      // per half; two halves make the whole tree
static const int SUBFOLDERS = 19;    // each top folder and its 19 subfolders: 1,000 folders a half
static const int FILES = 10;         // in every folder: 10,000 files a half

static void MakeFiles(const char* folder)
{
    for (int f = 0; f < FILES; ++f) {
        char name[MAX_PATH];
        StringCchPrintfA(name, MAX_PATH, "%s\\file%02d.dat", folder, f);
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written;
        WriteFile(file, name, 64, &written, NULL);
        CloseHandle(file);
    }
}

static void MakeTree(const char* root)
{
    CreateDirectoryA(root, NULL);
    for (int t = 0; t < TOP_FOLDERS; ++t) {
        char top[MAX_PATH];
        StringCchPrintfA(top, MAX_PATH, "%s\\top%03d", root, t);
        CreateDirectoryA(top, NULL);
        MakeFiles(top);
        for (int s = 0; s < SUBFOLDERS; ++s) {
            char sub[MAX_PATH];
            StringCchPrintfA(sub, MAX_PATH, "%s\\sub%02d", top, s);
            CreateDirectoryA(sub, NULL);
            MakeFiles(sub);
        }
    }
}

static double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
}

static int CountEntries(const char* folder)
{
    char pattern[MAX_PATH];
    StringCchPrintfA(pattern, MAX_PATH, "%s\\*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE)
        return -1;
    int count = 0;
    do
        count += entry.cFileName[0] != '.';
    while (FindNextFileA(find, &entry));
    FindClose(find);
    return count;
}

// The terminal's own command, started and waited for.
static double TimeRd(const char* tree, bool* gone)
{
    char command[MAX_PATH];
    *gone = false;
    StringCchPrintfA(command, MAX_PATH, "cmd.exe /c rd /s /q %s", tree);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, command, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &startup, &process))
        return -1.0;
    WaitForSingleObject(process.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    *gone = GetFileAttributesA(tree) == INVALID_FILE_ATTRIBUTES;
    return Seconds(start, end);
}

static double TimeEngine(const char* tree, bool* emptied)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    *emptied = DeleteDirectoryContents(tree) && CountEntries(tree) == 0;
    QueryPerformanceCounter(&end);
    RemoveDirectoryA(tree);
    return Seconds(start, end);
}

// Each side goes first once, on half the tree, so that neither gains from
// what the file system still does with the trees just made.
int main()
{
    double engine = 0.0, system = 0.0;
    bool emptied = true, gone = true;
    for (int round = 0; round < 2; ++round) {
        MakeTree("C:\\bench-engine");
        MakeTree("C:\\bench-rd");
        bool bEmptied, bGone;
        double rd, own;
        if (round == 0) {
            rd = TimeRd("C:\\bench-rd", &bGone);
            own = TimeEngine("C:\\bench-engine", &bEmptied);
        } else {
            own = TimeEngine("C:\\bench-engine", &bEmptied);
            rd = TimeRd("C:\\bench-rd", &bGone);
        }
        PrintLine("half %d, %s first: rd %.3f s, DeleteDirectoryContents %.3f s", round + 1,
                  round == 0 ? "rd" : "DeleteDirectoryContents", rd, own);
        system += rd;
        engine += own;
        gone = gone && bGone;
        emptied = emptied && bEmptied;
    }
    if (!gone || !emptied) {
        PrintLine("the trees were not %s", !gone ? "removed by rd" : "emptied by DeleteDirectoryContents");
        return 1;
    }
    if (system <= 0.0)
        return 1;
    PrintLine("cleanup ratio: %.2f (DeleteDirectoryContents %.1f s, rd /s /q %.1f s, %d files in %d folders)",
              engine / system, engine, system, 2 * TOP_FOLDERS * (SUBFOLDERS + 1) * FILES,
              2 * TOP_FOLDERS * (SUBFOLDERS + 1));
    return 0;
}
