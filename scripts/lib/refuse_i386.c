/* Preloaded while a 64-bit prefix of the x64 route is made, where i386
   programs run through a registered emulator (i386 Linux, no headers: built
   by clang without an i386 C library, like map_noreplace.c).

   A new 64-bit prefix starts its 32-bit helpers (the syswow64 part of the
   Windows set-up, Internet Explorer's registration). Nothing of the x64
   route runs 32-bit code, and under the emulator those helpers cost minutes
   of processor time per prefix; before i386 was registered they failed at
   once. This ends every i386 program of that set-up before it starts, as
   then. (The x86-64 library of the same name is empty.) */

#define SYS_EXIT_GROUP 252
#define REFUSED 1

__attribute__((constructor)) static void refuse(void) {
    __asm__ volatile("int $0x80" : : "a"(SYS_EXIT_GROUP), "b"(REFUSED));
}
