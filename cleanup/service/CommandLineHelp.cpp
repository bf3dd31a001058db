#include "CommandLine.h"

#include <strsafe.h>

#include "StandardOutput.h"

namespace {

const char adminHelp[] =
    "Use these command line parameters for administering the service:\n"
    "Only one of these can be used at a time.\n"
    "-UnregServer :: Unregister the service.\n";
const char runtimeHelp[] =
    "-RegServer :: Register the service, or\n"
    "-Service :: Also attempts to register the service.\n"
    "-? or -Help :: Show this dialog.\n"
    "\n"
    "Use these parameters for run-time options. These can be used together.\n"
    "-Debug :: Log actions to the Event Log.\n"
    "-Preview :: Report what each event would do, changing nothing.\n";
const char helpCaption[] = "Command Line help";

} // namespace

int ShowCommandLineHelp()
{
    const size_t size = sizeof adminHelp - 1 + sizeof runtimeHelp - 1 + 1;
    HANDLE heap = GetProcessHeap();
    char* text = static_cast<char*>(HeapAlloc(heap, 0, size));
    if (text == NULL) {
        // Too little memory to join them: the same help in two boxes.
        MessageBoxA(NULL, adminHelp, helpCaption, MB_OK);
        MessageBoxA(NULL, runtimeHelp, helpCaption, MB_OK);
        return 0;
    }
    StringCchCopyA(text, size, adminHelp);
    StringCchCatA(text, size, runtimeHelp);
    WriteToStandardOutput(text, (DWORD)(size - 1));
    MessageBoxA(NULL, text, helpCaption, MB_OK);
    HeapFree(heap, 0, text);
    return 0;
}
