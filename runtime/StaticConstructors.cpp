// Static constructors from the list the linker builds out of the .ctors
// sections: a -1 marker, the constructors, a 0 end marker. The list holds
// them in reverse order of definition, so it runs from its end.
#include "ProgramStart.h"
#include "StaticInitLock.h"

typedef void (*StaticFunction)(void);
extern "C" StaticFunction __CTOR_LIST__[];

void RunStaticConstructors()
{
    InitializeStaticInitLock();
    size_t count = 0;
    while (__CTOR_LIST__[count + 1] != NULL)
        ++count;
    for (size_t i = count; i >= 1; --i)
        __CTOR_LIST__[i]();
}
