// What the compiler calls around the first use of a function's static object,
// so that two threads never construct it twice. One lock for all such objects:
// a critical section may be entered again by its owner, so one object's
// constructor may use another's.
#include <windows.h>

#include "StaticInitLock.h"

namespace {

CRITICAL_SECTION staticInitLock;

} // namespace

void InitializeStaticInitLock()
{
    InitializeCriticalSection(&staticInitLock);
}

// The guard's first byte says whether the object is constructed; the compiler
// reads it before calling here, so this runs only until it is set.
extern "C" int __cxa_guard_acquire(volatile char* guard)
{
    EnterCriticalSection(&staticInitLock);
    if (*guard != 0) {
        LeaveCriticalSection(&staticInitLock);
        return 0;
    }
    return 1;
}

extern "C" void __cxa_guard_release(volatile char* guard)
{
    *guard = 1;
    LeaveCriticalSection(&staticInitLock);
}
