/* Preloaded into 32-bit Wine under user-mode emulation (i386 Linux, no
   headers: built by clang without an i386 C library).

   Wine reserves the address space at every process start with
   MAP_FIXED_NOREPLACE mmaps, halving each range that fails. The emulator
   does not know the flag and maps such a request elsewhere instead of
   failing; Wine then keeps those stray mappings, and every later attempt
   collides with them, so a process start took minutes. Failing the request
   as the kernel does brings it back to a few hundred calls. */

typedef unsigned int size_t;
typedef long long off64_t;

#define MAP_FIXED_NOREPLACE 0x100000
#define EEXIST 17
#define MAP_FAILED ((void *)-1)
#define RTLD_NEXT ((void *)-1)

extern void *dlsym(void *handle, const char *name);
extern int *__errno_location(void);
extern int munmap(void *addr, size_t length);

typedef void *(*mmap_fn)(void *, size_t, int, int, int, long);
typedef void *(*mmap64_fn)(void *, size_t, int, int, int, off64_t);

static void *as_the_kernel_does(void *wanted, void *result, size_t length, int flags) {
    if (!(flags & MAP_FIXED_NOREPLACE) || result == MAP_FAILED || result == wanted) return result;
    munmap(result, length);
    *__errno_location() = EEXIST;
    return MAP_FAILED;
}

void *mmap(void *addr, size_t length, int prot, int flags, int fd, long offset) {
    static mmap_fn next;
    if (!next) next = (mmap_fn)dlsym(RTLD_NEXT, "mmap");
    return as_the_kernel_does(addr, next(addr, length, prot, flags, fd, offset), length, flags);
}

void *mmap64(void *addr, size_t length, int prot, int flags, int fd, off64_t offset) {
    static mmap64_fn next;
    if (!next) next = (mmap64_fn)dlsym(RTLD_NEXT, "mmap64");
    return as_the_kernel_does(addr, next(addr, length, prot, flags, fd, offset), length, flags);
}
