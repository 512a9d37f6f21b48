// A library the personality probe loads after start: its own import of
// MoveFileExA must be redirected too.
#include <windows.h>

extern "C" __declspec(dllexport) BOOL WINAPI LateMoveFileEx(LPCSTR from, LPCSTR to, DWORD flags) {
    return ::MoveFileExA(from, to, flags);
}
