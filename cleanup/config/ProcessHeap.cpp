#include "ProcessHeap.h"

void* AllocZeroed(SIZE_T nCount, SIZE_T nSize)
{
    if (nSize != 0 && nCount > ((SIZE_T)-1) / nSize)
        return NULL;
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, nCount * nSize);
}

void FreeBlock(void* pBlock)
{
    if (pBlock != NULL)
        HeapFree(GetProcessHeap(), 0, pBlock);
}
