/* A library someone placed beside a program under a system library's name.
   It appends one line to a record in the root of drive C when it is loaded
   ("loaded", itself, the program) and when a program calls one of the ANSI
   version functions ("called FUNCTION", itself, the program). It forwards
   the version functions to the system's own library, so that a program that
   uses it still works. */
#include <windows.h>

static const char kRecordPath[] = "C:\\planted-libraries.log";
static const char kSystemLibrary[] = "\\version.dll";

static HMODULE self;

static void Record(const char* event) {
    char line[64 + 2 * MAX_PATH + 4];
    DWORD length = (DWORD)lstrlenA(lstrcpynA(line, event, 64));
    line[length++] = ' ';
    length += GetModuleFileNameA(self, line + length, MAX_PATH);
    line[length++] = ' ';
    length += GetModuleFileNameA(NULL, line + length, MAX_PATH);
    line[length++] = '\r';
    line[length++] = '\n';
    HANDLE record = CreateFileA(kRecordPath, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                NULL, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (record == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(record, line, length, &written, NULL);
    CloseHandle(record);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        self = instance;
        Record("loaded");
    }
    return TRUE;
}

/* The system's function of that name; null when the system's library is
   this one again (a loader that matched it by name). */
static void* SystemFunction(const char* name) {
    static HMODULE system;
    if (!system) {
        char path[MAX_PATH + sizeof kSystemLibrary];
        const UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return NULL;
        lstrcpyA(path + length, kSystemLibrary);
        system = LoadLibraryA(path);
    }
    return system && system != self ? (void*)GetProcAddress(system, name) : NULL;
}

typedef DWORD(WINAPI* SizeFunction)(LPCVOID, LPDWORD);
typedef BOOL(WINAPI* InfoFunction)(LPCVOID, DWORD, DWORD, LPVOID);
typedef BOOL(WINAPI* QueryFunction)(LPCVOID, LPCVOID, LPVOID*, PUINT);

static DWORD Size(const char* name, LPCVOID path, LPDWORD handle) {
    const SizeFunction function = (SizeFunction)SystemFunction(name);
    return function ? function(path, handle) : 0;
}

static BOOL Info(const char* name, LPCVOID path, DWORD handle, DWORD size, LPVOID data) {
    const InfoFunction function = (InfoFunction)SystemFunction(name);
    return function ? function(path, handle, size, data) : FALSE;
}

static BOOL Query(const char* name, LPCVOID block, LPCVOID query, LPVOID* value, PUINT length) {
    const QueryFunction function = (QueryFunction)SystemFunction(name);
    return function ? function(block, query, value, length) : FALSE;
}

/* The programs' own calls: the setup and the uninstaller use the ANSI functions. */
__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR path, LPDWORD handle) {
    Record("called GetFileVersionInfoSizeA");
    return Size("GetFileVersionInfoSizeA", path, handle);
}

__declspec(dllexport) BOOL WINAPI GetFileVersionInfoA(LPCSTR path, DWORD handle, DWORD size,
                                                      LPVOID data) {
    Record("called GetFileVersionInfoA");
    return Info("GetFileVersionInfoA", path, handle, size, data);
}

__declspec(dllexport) BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR query, LPVOID* value,
                                                 PUINT length) {
    Record("called VerQueryValueA");
    return Query("VerQueryValueA", block, query, value, length);
}

/* Wine's own user32 imports the wide ones by name (Windows' does not). */
__declspec(dllexport) DWORD WINAPI GetFileVersionInfoSizeW(LPCWSTR path, LPDWORD handle) {
    return Size("GetFileVersionInfoSizeW", path, handle);
}

__declspec(dllexport) BOOL WINAPI GetFileVersionInfoW(LPCWSTR path, DWORD handle, DWORD size,
                                                      LPVOID data) {
    return Info("GetFileVersionInfoW", path, handle, size, data);
}

__declspec(dllexport) BOOL WINAPI VerQueryValueW(LPCVOID block, LPCWSTR query, LPVOID* value,
                                                 PUINT length) {
    return Query("VerQueryValueW", block, query, value, length);
}
