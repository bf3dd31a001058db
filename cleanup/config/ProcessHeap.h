// Blocks on the process heap. Allocation failures must reach the caller as a
// NULL result (the configuration readers act on them), which plain new cannot
// give in a program built without exceptions.
#pragma once

#include <windows.h>

// A zero-filled block for nCount elements of nSize bytes; NULL when the size
// overflows or the heap refuses.
void* AllocZeroed(SIZE_T nCount, SIZE_T nSize);

// Frees a block from AllocZeroed; NULL is accepted.
void FreeBlock(void* pBlock);
