"""The instructions and registers of the Pentium (i586, without MMX), as the
toolchain's objdump spells them in its AT&T syntax.

An allow-list rather than a list of later additions: an instruction the
processors after the Pentium brought (CMOV, FCOMI, long NOPs, MMX, SSE, FISTTP,
LZCNT, ENDBR32, ...) or objdump's "(bad)" is refused without an entry of its
own. PAUSE is allowed: it is REP NOP, which the Pentium runs as a NOP.
"""
import re

# Integer and system instructions, from the 8086's to the Pentium's own
# (CPUID, RDTSC, RDMSR/WRMSR, CMPXCHG8B, RSM). Where objdump cannot tell the
# operand size from a register it adds b, w or l (movl, cmpb, pushw, stosl).
INTEGER = set("""
    aaa aad aam aas adc add and arpl bound bsf bsr bswap bt btc btr bts call cbtw clc
    cld cli cltd clts cmc cmp cmps cmpxchg cmpxchg8b cpuid cwtd cwtl daa das dec div enter
    hlt idiv imul in inc ins int int3 into invd invlpg iret jmp lahf lar lcall lds lea leave les
    lfs lgdt lgs lidt ljmp lldt lmsw lods loop loope loopne loopnz loopz lret lsl lss ltr mov
    movs mul neg not or out outs pause pop popa popf push pusha pushf rcl rcr rdmsr rdtsc ret
    rol ror rsm sahf sal sar sbb scas sgdt shl shld shr shrd sidt sldt smsw stc std sti stos
    str sub test verr verw wait wbinvd wrmsr xadd xchg xlat xor
""".split())
# Spelt out in full, and never given a suffix: nopw and nopl are long NOPs.
UNSIZED = {"nop", "movsbw", "movsbl", "movswl", "movzbw", "movzbl", "movzwl"}
CONDITIONS = ("o no b nb c nc ae nae e ne z nz be nbe a na s ns p np pe po l nl ge nge le "
              "nle g ng").split()
BRANCHES = {"j" + c for c in CONDITIONS} | {"set" + c for c in CONDITIONS} | {"jcxz", "jecxz"}

# The x87 set. Where the operand is in memory objdump gives its size: s (16-bit
# integer or single), l (32-bit integer or double), ll (64-bit integer), t
# (extended): flds, fildll, fstpt.
X87 = set("""
    f2xm1 fabs fadd faddp fbld fbstp fchs fclex fcom fcomp fcompp fcos fdecstp fdiv fdivp
    fdivr fdivrp ffree fiadd ficom ficomp fidiv fidivr fild fimul fincstp finit fist fistp
    fisub fisubr fld fld1 fldcw fldenv fldl2e fldl2t fldlg2 fldln2 fldpi fldz fmul fmulp
    fnclex fninit fnop fnsave fnstcw fnstenv fnstsw fpatan fprem fprem1 fptan frndint frstor
    fsave fscale fsin fsincos fsqrt fst fstcw fstenv fstp fstsw fsub fsubp fsubr fsubrp ftst
    fucom fucomp fucompp fwait fxam fxch fxtract fyl2x fyl2xp1
""".split())

# Prefixes objdump prints before the instruction they change.
PREFIXES = set("rep repz repnz repe repne lock data16 data32 addr16 addr32 cs ds es fs gs ss"
               .split())

# %st(N) shows as st; %eiz is objdump's name for "no index register".
REGISTERS = set("""
    eax ebx ecx edx esi edi ebp esp ax bx cx dx si di bp sp al ah bl bh cl ch dl dh
    cs ds es fs gs ss st eiz cr0 cr2 cr3 cr4 dr0 dr1 dr2 dr3 dr4 dr5 dr6 dr7
""".split())
REGISTER = re.compile(r"%([a-z]+[0-9]*)")


def pentium_mnemonic(mnemonic):
    if mnemonic in INTEGER or mnemonic in UNSIZED or mnemonic in BRANCHES or mnemonic in X87:
        return True
    if mnemonic[-1:] in ("b", "w", "l") and mnemonic[:-1] in INTEGER:
        return True
    return any(mnemonic.endswith(size) and mnemonic[:-len(size)] in X87
               for size in ("s", "l", "ll", "t"))


def later_parts(text):
    """What in one disassembled instruction the Pentium lacks: its mnemonic
    (prefixes looked through) and any register outside the Pentium's, as a
    list of names, empty when the Pentium runs it."""
    words = text.split()
    while words and words[0] in PREFIXES:
        words.pop(0)
    if not words:
        return []
    mnemonic, operands = words[0], " ".join(words[1:])
    later = []
    # NOP takes no operand on the Pentium: "nop %eax" is the long NOP, 0F 1F.
    if not pentium_mnemonic(mnemonic) or (mnemonic == "nop" and operands):
        later.append(mnemonic + (" " + operands if mnemonic == "nop" else ""))
    later += ["%" + r for r in REGISTER.findall(operands) if r not in REGISTERS]
    return later
