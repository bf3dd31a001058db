/* A program with one planted fault that the platform floor check must find,
 * chosen by a PLANT_ macro; without one, or with PLANT_PENTIUM, it passes the
 * check. Its own entry point and kernel32 alone, like a shipped program's
 * start-up. */
#include <windows.h>

#if defined(PLANT_SHLWAPI)
#include <shlwapi.h>
#endif

void __stdcall start(void)
{
    UINT status = 0;
#if defined(PLANT_GETTICKCOUNT64)
    status = (UINT)GetTickCount64();
#elif defined(PLANT_SHLWAPI)
    status = PathIsRelativeA("C:\\");
#elif defined(PLANT_CMOV)
    UINT one = 1;
    __asm__ volatile("test %1, %1\n\tcmovnz %1, %0" : "+r"(status) : "r"(one));
#elif defined(PLANT_PENTIUM)
    /* Never run, only read: the Pentium's own instructions with the prefixes
     * and size suffixes objdump shows, which the check must let through. */
    __asm__ volatile("cpuid\n\trdtsc\n\tlock cmpxchg8b (%%esi)\n\trep stosl\n\t"
                     "repz cmpsb\n\tlock xaddl %%eax, (%%esi)\n\tmovzbl (%%esi), %%eax\n\t"
                     "bswap %%eax\n\tpause\n\txchg %%ax, %%ax\n\tfildll (%%esi)\n\t"
                     "fistpll (%%esi)\n\tfnstsw %%ax\n\tfucompp\n\tfldt (%%esi)\n\t"
                     "fstp %%st(1)\n\tsetnz %%al\n\t"
                     ".byte 0x2e, 0x90, 0x66, 0xf3, 0xa5, 0x3e, 0xc3" /* cs nop, rep movsw, ds ret */
                     : : : "eax", "ebx", "ecx", "edx", "esi", "edi", "memory");
#else
    /* One later instruction each, as bytes, since the assembler of the
     * shipped build refuses them; objdump's spelling in the comment. */
#if defined(PLANT_LONG_NOP)
    /* data16 nopw %cs:0x0(%eax,%eax,1), a prefix before the long NOP */
    __asm__ volatile(".byte 0x66, 0x66, 0x2e, 0x0f, 0x1f, 0x84, 0x00, 0x00, 0x00, 0x00, 0x00");
#elif defined(PLANT_NOP_REGISTER)
    __asm__ volatile(".byte 0x0f, 0x1f, 0xc0"); /* nop %eax */
#elif defined(PLANT_ENDBR32)
    __asm__ volatile(".byte 0xf3, 0x0f, 0x1e, 0xfb"); /* endbr32 */
#elif defined(PLANT_EMMS)
    __asm__ volatile(".byte 0x0f, 0x77"); /* emms */
#elif defined(PLANT_FISTTP)
    __asm__ volatile(".byte 0xdb, 0x08"); /* fisttpl (%eax) */
#elif defined(PLANT_LZCNT)
    __asm__ volatile(".byte 0xf3, 0x0f, 0xbd, 0xc0"); /* lzcnt %eax,%eax */
#elif defined(PLANT_RDPMC)
    __asm__ volatile(".byte 0x0f, 0x33"); /* rdpmc */
#elif defined(PLANT_FXSAVE)
    __asm__ volatile(".byte 0x0f, 0xae, 0x00"); /* fxsave (%eax) */
#elif defined(PLANT_MMX_REGISTER)
    __asm__ volatile(".byte 0x0f, 0x6e, 0xc0"); /* movd %eax,%mm0 */
#endif
#endif
    ExitProcess(status);
}
