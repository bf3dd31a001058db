/* The control calls of the flash device and of its test device. */
#pragma once

#include <ntddk.h>

#include "NamedDevice.h"

void InitFlashCalls(NamedDevice* flashDevice);
NTSTATUS AnswerFlashCall(PIRP irp, PIO_STACK_LOCATION stack, ULONG_PTR* information);
NTSTATUS AnswerFlashTestCall(PIRP irp, PIO_STACK_LOCATION stack, ULONG_PTR* information);
