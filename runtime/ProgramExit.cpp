// The end of a shipped program: atexit and exit of our own, since the C
// runtime DLL's would know nothing of the handlers registered here. The
// compiler registers each static destructor through atexit.
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

#include "ProgramStart.h"

namespace {

struct ExitHandler
{
    ExitHandler* next;
    void (*function)(void);
};

// Last registered first; a handler may register another, which runs next.
ExitHandler* volatile registered = NULL;

typedef void (*StaticFunction)(void);
extern "C" StaticFunction __DTOR_LIST__[];

void RunExitHandlers()
{
    for (;;) {
        ExitHandler* handler =
            (ExitHandler*)InterlockedExchangePointer((PVOID volatile*)&registered, NULL);
        if (handler == NULL)
            return;
        while (handler != NULL) {
            ExitHandler* next = handler->next;
            handler->function();
            HeapFree(GetProcessHeap(), 0, handler);
            handler = next;
        }
    }
}

// Functions marked as destructors, in the linker's list between a -1 marker
// and a 0 end marker.
void RunDestructorList()
{
    for (size_t i = 1; __DTOR_LIST__[i] != NULL; ++i)
        __DTOR_LIST__[i]();
}

} // namespace

extern "C" int __cdecl atexit(void (*function)(void))
{
    ExitHandler* handler = (ExitHandler*)HeapAlloc(GetProcessHeap(), 0, sizeof(ExitHandler));
    if (handler == NULL)
        return -1;
    handler->function = function;
    ExitHandler* head;
    do {
        head = registered;
        handler->next = head;
    } while (InterlockedCompareExchangePointer((PVOID volatile*)&registered, handler, head) != head);
    return 0;
}

void ExitProgram(int status)
{
    RunExitHandlers();
    RunDestructorList();
    // What the C runtime DLL's own exit would have done for its streams.
    fflush(NULL);
    ExitProcess((UINT)status);
}

extern "C" void __cdecl exit(int status)
{
    ExitProgram(status);
}

// A call through a class's pure virtual function: a fault in the program,
// ended at once with the status abort gives.
extern "C" void __cxa_pure_virtual(void)
{
    ExitProcess(3);
}
