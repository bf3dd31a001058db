// Delivers a console control event the way Windows does: a new thread in the
// target process at kernel32's CtrlRoutine, with the event as its argument.
// Waits until that thread, and so the process's handlers, have returned.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include "Verbs.h"

int RunCtrl(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: vtool ctrl PID EVENT\n");
        return 2;
    }
    DWORD processId = strtoul(argv[0], NULL, 0);
    DWORD event = strtoul(argv[1], NULL, 0);

    // kernel32 lies at the same address in every process of the session.
    LPTHREAD_START_ROUTINE ctrlRoutine = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CtrlRoutine")));
    if (ctrlRoutine == NULL) {
        fprintf(stderr, "vtool ctrl: kernel32 exports no CtrlRoutine\n");
        return 1;
    }

    HANDLE process = OpenProcess(PROCESS_CREATE_THREAD | PROCESS_QUERY_INFORMATION |
                                 PROCESS_VM_OPERATION | PROCESS_VM_WRITE | PROCESS_VM_READ,
                                 FALSE, processId);
    if (process == NULL) {
        fprintf(stderr, "vtool ctrl: cannot open process %lu (error %lu)\n", processId, GetLastError());
        return 1;
    }
    HANDLE thread = CreateRemoteThread(process, NULL, 0, ctrlRoutine,
                                       reinterpret_cast<void*>(static_cast<ULONG_PTR>(event)), 0, NULL);
    if (thread == NULL) {
        fprintf(stderr, "vtool ctrl: cannot start a thread in process %lu (error %lu)\n",
                processId, GetLastError());
        CloseHandle(process);
        return 1;
    }
    WaitForSingleObject(thread, INFINITE);
    DWORD handled = 0;
    GetExitCodeThread(thread, &handled);
    CloseHandle(thread);
    CloseHandle(process);
    printf("%lu\n", handled);
    return 0;
}
