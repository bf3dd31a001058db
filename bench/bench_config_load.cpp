// LoadConfiguration for lists of 10, 100 and 1,000 items each: every list
// section, every item section and [DontDeleteDirs] grow together. Each value
// is looked up again by its key through the profile-string calls, so the time
// per item grows with the size of the file; the growth is printed as the
// ratio of the time per item to that of the 10-item file, in the same run:
// the result line "config load growth: R (...)".
#include <windows.h>

#include <string>

#include "BenchOutput.h"
#include "config/Configuration.h"

static std::string MakeIni(int items)
{
    std::string text = "[Parameters]\r\nCleanProfiles=1\r\nSaveDynamicProfiles=3\r\n";
    text += "[Profiles]\r\nActionTrigger=USER_LOGOFF, USER_SHUTDOWN\r\n";
    for (int i = 0; i < items; ++i)
        text += "Keep" + std::to_string(i) + "=user" + std::to_string(i) + "\r\n";
    static const struct { const char* list; const char* prefix; const char* path; const char* action; } lists[] = {
        { "Directories", "Dir", "C:\\Temp\\d", "DIR_EMPTY" },
        { "Files", "File", "C:\\Logs\\*.l", "FILE_DELETE" },
        { "Applications", "App", "C:\\Tools\\run.exe /n ", "APP_EXECUTE" },
    };
    for (const auto& list : lists) {
        text += std::string("[") + list.list + "]\r\n";
        for (int i = 0; i < items; ++i)
            text += std::string(list.prefix) + std::to_string(i) + "=" + list.prefix + "Item" + std::to_string(i) + "\r\n";
        for (int i = 0; i < items; ++i) {
            text += std::string("[") + list.prefix + "Item" + std::to_string(i) + "]\r\n";
            text += std::string("Path=") + list.path + std::to_string(i) + "\r\n";
            text += std::string("Action=") + list.action + "\r\nActionTrigger=SVC_STARTUP, USER_LOGOFF\r\n";
        }
    }
    text += "[DontDeleteDirs]\r\n";
    for (int i = 0; i < items; ++i)
        text += "Keep" + std::to_string(i) + "=C:\\Keep\\" + std::to_string(i) + "\r\n";
    return text;
}

static bool WriteBytes(const std::string& path, const std::string& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, NULL);
    CloseHandle(file);
    return ok && written == bytes.size();
}

// The best of several loads, in seconds; the first load of a file also
// fills the platform's profile cache, so it is not counted.
static double TimeLoad(const std::string& path, int runs)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    LoadConfigurationFrom(path.c_str());
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        LARGE_INTEGER from, to;
        QueryPerformanceCounter(&from);
        LoadConfigurationFrom(path.c_str());
        QueryPerformanceCounter(&to);
        double seconds = (double)(to.QuadPart - from.QuadPart) / (double)frequency.QuadPart;
        if (seconds < best)
            best = seconds;
    }
    return best;
}

int main()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const int sizes[] = { 10, 100, 1000 };
    double firstPerItem = 0, perItem = 0;
    std::string loads;
    PrintLine("%8s %10s %12s %14s %18s", "items", "file KB", "load ms", "us per item", "per item vs 10");
    for (int items : sizes) {
        std::string path = std::string(temp) + "bench_config_" + std::to_string(items) + ".ini";
        std::string text = MakeIni(items);
        if (!WriteBytes(path, text)) {
            PrintLine("cannot write %s", path.c_str());
            return 1;
        }
        double seconds = TimeLoad(path, items >= 1000 ? 3 : 7);
        DeleteFileA(path.c_str());
        // Items of the four lists plus the protected directories.
        int loaded = (int)(profileList.GetCount() + directoryList.GetCount() + fileList.GetCount()
                           + applicationList.GetCount()) + dontDeleteDirs.GetCount();
        if (loaded != 5 * items) {
            PrintLine("%d items loaded from a file of %d per list", loaded, items);
            return 1;
        }
        perItem = seconds / loaded;
        if (firstPerItem == 0)
            firstPerItem = perItem;
        PrintLine("%8d %10.1f %12.2f %14.1f %17.1fx", items, text.size() / 1024.0, seconds * 1e3,
                  perItem * 1e6, perItem / firstPerItem);
        loads += (loads.empty() ? "" : ", ") + std::to_string(items) + ": " + std::to_string((int)(seconds * 1e3 + 0.5)) + " ms";
    }
    PrintLine("config load growth: %.2f (time per item, 1000 items per list against 10; loads %s)",
              perItem / firstPerItem, loads.c_str());
    return 0;
}
