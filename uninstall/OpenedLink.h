// One of our links, opened once and then read and deleted through that one handle (NT),
// so that what was checked is what goes: a junction swapped in for its folder
// after the open leads the uninstaller nowhere else.
#pragma once

#include <string>

#include "framework/Handles.h"

class OpenedLink {
public:
    // Opens path for reading and deleting, never through a reparse point at
    // its own name; others keep reading, writing and deleting it.
    explicit OpenedLink(const std::string& path);

    bool IsOpen() const { return m_file.IsValid(); }

    // True when what was opened is a junction or symbolic link itself.
    bool IsReparsePoint() const;

    // The whole file; false when it cannot be read or is larger than maxBytes.
    bool ReadAll(unsigned long maxBytes, std::string& bytes);

    // Deletes the opened file (read-only or not) and lets go of it; true
    // when the system took the deletion.
    bool Delete();

private:
    UniqueFile m_file;
    unsigned long m_attributes = 0;
};
