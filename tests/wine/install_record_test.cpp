#include <string>

#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "framework/Handles.h"
#include "install/InstallRecord.h"
#include "install/InstalledNames.h"
#include "install/Probes.h"
#include "install/RegistryWrite.h"
#include "tests/wine/ScratchFolder.h"

namespace {

constexpr char kNone[] = "<none>";
constexpr char kNoEntry[] = "<no entry>";

std::string CreatedFolderValue() {
    UniqueKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) {
        return kNoEntry;
    }
    char text[MAX_PATH];
    DWORD size = sizeof text;
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, kCreatedFolderValue, text, &size)
               ? text
               : kNone;
}

// The uninstall entry as a case needs it: missing, without a record, or with one.
void StartWith(const std::string& record) {
    (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    if (record == kNoEntry) return;
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0,
                                               KEY_SET_VALUE, nullptr, key.Put(), nullptr));
    if (record != kNone) ASSERT_TRUE(SetNamedText(key.Get(), kCreatedFolderValue, record.c_str()));
}

TEST(CreatedFolderRecord, ARerunKeepsTheHigherLevelAndAStopPutsTheRecordBack) {
    ScratchFolder scratch;
    // The levels a run made, and one it could not make.
    const std::string made = scratch.Path() + "Apps";
    const std::string unmade = scratch.Path() + "Never";
    ASSERT_TRUE(::CreateDirectoryA(made.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((made + "\\Tessolo").c_str(), nullptr));
    const struct {
        std::string before;
        std::string claimed;
        std::string afterClaim;
        std::string afterWithdraw;  // when the folder could not be made
    } cases[] = {
        {kNoEntry, made, made, made},
        {kNone, made + "\\Tessolo", made + "\\Tessolo", made + "\\Tessolo"},
        // An interrupted run made Apps; its rerun makes only the level below.
        {made, made + "\\Tessolo", made, made},
        {scratch.Path() + "APPS", made + "\\Tessolo", scratch.Path() + "APPS", scratch.Path() + "APPS"},
        {made + "\\Tessolo", made, made, made},
        {made + "x", made, made, made},
        // A stop that made nothing leaves the system as it found it.
        {kNoEntry, unmade, unmade, kNoEntry},
        {kNone, unmade, unmade, kNone},
        {made, unmade, unmade, made},
    };
    for (const auto& c : cases) {
        StartWith(c.before);
        CreatedFolderRecord record;
        record.Claim(c.claimed.c_str());
        EXPECT_EQ(c.afterClaim, CreatedFolderValue()) << c.before << " | " << c.claimed;
        record.WithdrawUnmade();
        EXPECT_EQ(c.afterWithdraw, CreatedFolderValue()) << c.before << " | " << c.claimed;
    }
    (void)::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
}

}  // namespace
