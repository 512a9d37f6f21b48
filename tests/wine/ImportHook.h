// Puts a function of the test's own in the place of one imported platform
// function for one scope. The code under test calls the platform through this
// program's import slots, so a test can look at the world at the exact moment
// of one call (for example: is the file still held when the process starts?).
#pragma once

#include <windows.h>

// The import slot of a platform function; x86 names carry the stdcall
// decoration (the bytes of the arguments).
#if defined(_WIN64)
#define IMPORT_SLOT(function, argumentBytes) __asm__("__imp_" #function)
#else
#define IMPORT_SLOT(function, argumentBytes) __asm__("__imp__" #function "@" #argumentBytes)
#endif

template <typename Function>
class ImportHook {
public:
    ImportHook(Function& slot, Function replacement) : m_slot(slot), m_original(slot) {
        Write(replacement);
    }
    ~ImportHook() { Write(m_original); }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

private:
    void Write(Function function) {
        DWORD protection = 0;
        ::VirtualProtect(&m_slot, sizeof m_slot, PAGE_READWRITE, &protection);
        m_slot = function;
        ::VirtualProtect(&m_slot, sizeof m_slot, protection, &protection);
    }

    Function& m_slot;
    Function m_original;
};
