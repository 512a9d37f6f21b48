// What an install could not write after its payload: the settings file, a
// link, a registry key. The steps that write them note each failure here and
// go on; the install driver opens one list around those steps and reports it
// afterwards. A note made while no list is open is dropped.
#pragma once

#include <string>
#include <vector>

class WriteFailures {
public:
    // Opens the list; notes go to the innermost open list.
    WriteFailures();
    ~WriteFailures();
    WriteFailures(const WriteFailures&) = delete;
    WriteFailures& operator=(const WriteFailures&) = delete;

    // Each name once, in the order of the first failure.
    const std::vector<std::string>& Names() const { return m_names; }

private:
    friend void NoteWriteFailure(const std::string& name);
    WriteFailures* m_outer;
    std::vector<std::string> m_names;
};

// Notes that `name` (a file path or a registry key such as
// "HKLM\SOFTWARE\Classes\Tessolo") could not be written.
void NoteWriteFailure(const std::string& name);
