// The status line for a device that does not open. Access denied cannot be
// produced on the terminal (Wine opens a device whatever its driver says),
// so the decision is tested here, against the real registry.
#include <windows.h>
#include <gtest/gtest.h>

#include "PanelRun.h"
#include "PanelState.h"

// The line the dialogs show for a device that did not open with the error.
static LPCWSTR OpenFailureStatus(DWORD openError)
{
    return StatusLine(OpenFailureState(openError));
}

TEST(OpenFailureStatus, AccessDeniedWhateverTheStartTypeElseTheStartTypeDecides)
{
    for (DWORD start : { 0ul, 2ul, 4ul }) {
        WriteMachineDword(kDriverKey, L"Start", start);
        EXPECT_STREQ(OpenFailureStatus(ERROR_ACCESS_DENIED), L"NTE flash memory write filter is NOT ACCESSIBLE");
        EXPECT_STREQ(OpenFailureStatus(ERROR_FILE_NOT_FOUND),
                     start == 4 ? L"NTE flash memory write filter is DISABLED"
                                : L"NTE flash memory write filter FAILED to load");
    }
    // Only the low 16 bits count.
    WriteMachineDword(kDriverKey, L"Start", 0x10004);
    EXPECT_STREQ(OpenFailureStatus(ERROR_GEN_FAILURE), L"NTE flash memory write filter is DISABLED");
    DeleteMachineValue(kDriverKey, L"Start");
    EXPECT_STREQ(OpenFailureStatus(ERROR_FILE_NOT_FOUND), L"NTE flash memory write filter FAILED to load");
    WriteMachineDword(kDriverKey, L"Start", 2);
}
