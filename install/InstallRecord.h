// What an install leaves beside its uninstall entry for the uninstaller: the
// decisions that the file system no longer shows once the install is done.
#pragma once

#include <string>

// The highest folder level the install created on the way to the install
// folder (no trailing backslash); the levels from there down are ours. A later
// install that creates nothing keeps it.
constexpr char kCreatedFolderValue[] = "CreatedFolder";
// 1 when the setup kept the icon library it found (not ours, or newer).
constexpr char kIconLibraryKeptValue[] = "IconLibraryKept";

// The created-folder record. It is written before the level it names is
// made: an install killed after making its folders leaves the record to its
// rerun, which finds the folders there and makes none.
class CreatedFolderRecord {
public:
    // Records `top` unless the record already names it or a level above it,
    // which an earlier, interrupted run made.
    void Claim(const char* top);
    // For a folder that could not be made: when the claimed level does not
    // exist, the record (and an uninstall entry Claim created) goes back to
    // what it was.
    void WithdrawUnmade();

private:
    std::string m_claimed;  // empty: nothing written
    std::string m_previous;
    bool m_createdEntry = false;
};

// Writes the icon library decision under the uninstall entry.
void RecordIconLibraryDecision(bool iconLibraryKept);
