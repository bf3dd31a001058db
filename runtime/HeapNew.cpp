// new and delete on the process heap, so that the C++ runtime's own allocator
// and its exception path are not linked into the program. Nothing here throws:
// a failed allocation gives NULL.
#include <windows.h>

#include <new>

void* operator new(size_t size)
{
    return HeapAlloc(GetProcessHeap(), 0, size != 0 ? size : 1);
}

void* operator new[](size_t size)
{
    return operator new(size);
}

void* operator new(size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size);
}

void* operator new[](size_t size, const std::nothrow_t&) noexcept
{
    return operator new(size);
}

void operator delete(void* block) noexcept
{
    if (block != NULL)
        HeapFree(GetProcessHeap(), 0, block);
}

void operator delete[](void* block) noexcept
{
    operator delete(block);
}

void operator delete(void* block, size_t) noexcept
{
    operator delete(block);
}

void operator delete[](void* block, size_t) noexcept
{
    operator delete(block);
}
