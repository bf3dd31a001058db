#include "QueryCommand.h"

#include "FilterReport.h"
#include "StandardOutput.h"

int QueryExitStatus(PanelState state)
{
    switch (state) {
    case FILTER_ACTIVE:
        return 10;
    case FILTER_INACTIVE:
        return 11;
    case FILTER_DISABLED:
        return 12;
    case FILTER_FAILED:
        break;
    case FILTER_NOT_ACCESSIBLE:
        return 14;
    }
    return 13;
}

int RunQuery()
{
    WriteFilterDevice device;
    // Read access alone, as the status dialog's refresh asks for.
    PanelState state = ReadFilterState(device, GENERIC_READ);

    wchar_t report[512];
    char output[512];
    if (FormatFilterReport(state, device, report, ARRAYSIZE(report))) {
        int length = WideCharToMultiByte(CP_ACP, 0, report, -1, output, sizeof output, NULL, NULL);
        // The length counts the terminating NUL, which is not printed.
        if (length > 1)
            WriteToStandardOutput(output, (DWORD)(length - 1));
    }
    return QueryExitStatus(state);
}
