// Save mode's export of 20,000 values in 200 keys against the terminal's own
// registry editor exporting the same keys ("regedit /e"), in one run. Each
// side is timed as the best of three; the registry editor's time includes
// starting its process, Stavix's is the export alone.
#include <windows.h>

#include <stdio.h>

#include <string>

#include "RegistryExport.h"

namespace {

const int keyCount = 200, valuesPerKey = 100;

bool SetValue(HKEY key, const std::wstring& name, DWORD type, const void* data, DWORD size)
{
    return RegSetValueExW(key, name.c_str(), 0, type, (const BYTE*)data, size) == ERROR_SUCCESS;
}

// Strings with backslashes, dwords, binaries, expand and multi strings.
bool MakeKeys()
{
    for (int k = 0; k < keyCount; ++k) {
        HKEY key;
        std::wstring path = L"SOFTWARE\\StavixBench\\Key" + std::to_wstring(k);
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, NULL, 0, KEY_SET_VALUE, NULL, &key,
                            NULL) != ERROR_SUCCESS)
            return false;
        bool made = true;
        for (int v = 0; v < valuesPerKey && made; ++v) {
            std::wstring name = L"Value" + std::to_wstring(v);
            std::wstring text = L"C:\\Program Files\\Terminal\\" + std::to_wstring(k * v) + L".dat";
            BYTE binary[40];
            for (int i = 0; i < 40; ++i)
                binary[i] = (BYTE)(k + v + i);
            DWORD number = (DWORD)(k * 1000 + v);
            switch (v % 10) {
            case 0: case 1: case 2: case 3:
                made = SetValue(key, name, REG_SZ, text.c_str(), (DWORD)(text.size() + 1) * 2);
                break;
            case 4: case 5: case 6:
                made = SetValue(key, name, REG_DWORD, &number, 4);
                break;
            case 7: case 8:
                made = SetValue(key, name, REG_BINARY, binary, sizeof(binary));
                break;
            default:
                made = SetValue(key, name, v % 20 == 9 ? REG_EXPAND_SZ : REG_MULTI_SZ,
                                L"%SystemRoot%\\a\0b\0", 36);
            }
        }
        RegCloseKey(key);
        if (!made)
            return false;
    }
    return true;
}

bool WriteKeyList()
{
    CreateDirectoryA("C:\\winnt", NULL);
    CreateDirectoryA("C:\\winnt\\system32", NULL);
    FILE* keyList = fopen("C:\\winnt\\system32\\stavix.ini", "w");
    if (keyList == NULL)
        return false;
    fputs("<TSCAL path>\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixBench]\n", keyList);
    return fclose(keyList) == 0;
}

double Now()
{
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * (double)counter.QuadPart / (double)frequency.QuadPart;
}

bool RunRegedit()
{
    wchar_t commandLine[] = L"regedit /e Z:\\bench-regedit.reg HKEY_LOCAL_MACHINE\\SOFTWARE\\StavixBench";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process;
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &process))
        return false;
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

} // namespace

int main()
{
    if (!MakeKeys() || !WriteKeyList()) {
        fputs("bench_stavix_export: cannot set up the keys\n", stderr);
        return 1;
    }
    double stavix = 1e30, regedit = 1e30;
    for (int run = 0; run < 3; ++run) {
        double start = Now();
        ExportCounts counts;
        if (ExportRegistryKeys(&counts) != EXPORT_DONE) {
            fputs("bench_stavix_export: the export failed\n", stderr);
            return 1;
        }
        double middle = Now();
        if (!RunRegedit()) {
            fputs("bench_stavix_export: regedit /e failed\n", stderr);
            return 1;
        }
        double end = Now();
        if (middle - start < stavix)
            stavix = middle - start;
        if (end - middle < regedit)
            regedit = end - middle;
    }
    char line[200];
    _snprintf(line, sizeof(line),
              "export ratio: %.2f (stavix %.0f ms, regedit /e %.0f ms, %d values in %d keys)\n",
              stavix / regedit, stavix, regedit, keyCount * valuesPerKey, keyCount);
    fputs(line, stdout);
    return 0;
}
