// The lock behind the first use of a function's static object.
#pragma once

void InitializeStaticInitLock();
