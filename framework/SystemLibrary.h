// A library outside the loader's known set, loaded from the system folder by
// its full path: a library of the same name beside the program, in the
// current directory or anywhere on PATH is never the one that runs.
#pragma once

#include <utility>

#include <windows.h>

#include "framework/Handles.h"

// Null (and the loader's error) when the system folder has no such library.
UniqueModule LoadFromSystemFolder(const char* fileName);

// A library the system may hand out from its side-by-side store (comctl32):
// by name, which finds that store first, then only the system folder once
// the start-up has limited the search (where it cannot, the start-up has
// loaded the library from the system folder, and the name finds that one).
// Wine, for one, gives a program another comctl32 by name than by path.
UniqueModule LoadByNameFromSystem(const char* fileName);

// One library's functions, found by name at run time.
class SystemLibrary {
public:
    explicit SystemLibrary(const char* fileName) : m_module(LoadFromSystemFolder(fileName)) {}
    explicit SystemLibrary(UniqueModule module) : m_module(std::move(module)) {}

    // True when the library loaded and `function` now points to its export
    // `name`; the pointer stays null otherwise.
    template <typename Function>
    bool Find(const char* name, Function& function) const {
        function = m_module ? reinterpret_cast<Function>(reinterpret_cast<void*>(
                                  ::GetProcAddress(m_module.Get(), name)))
                            : nullptr;
        return function != nullptr;
    }

private:
    UniqueModule m_module;
};
