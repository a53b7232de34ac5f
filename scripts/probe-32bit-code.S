# Can this processor run 32-bit code for us? A 64-bit program that jumps into the 32-bit
# code segment every Linux process has (selector 0x23) and back. It exits with 32 when
# its code ran as 32-bit code, and dies of SIGSEGV where entering that segment faults.
# Being a 64-bit program, it is never handed to an emulator registered for i386 ones.
# Built with: gcc -nostdlib -static -no-pie (its addresses must fit in 32 bits).
        .globl  _start
        .text
        .code64
_start:
        ljmp    *entry32(%rip)          # m16:32, so the 32-bit segment
        .code32
code32:
        movl    $31, %eax
        .byte   0x40                    # 32-bit code: inc %eax; 64-bit code: a REX prefix
        nop
        ljmp    $0x33, $back64          # the 64-bit user code segment
        .code64
back64:
        movl    %eax, %edi
        movl    $231, %eax              # exit_group
        syscall

        .data
entry32:
        .long   code32
        .word   0x23
