// The uninstaller's registry half after a give-back that failed: the owner
// record and the class the extension still names stay for the rerun, the
// failure is reported, and the rerun completes.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "ImportHook.h"
#include "framework/Handles.h"
#include "install/PreviousOwners.h"
#include "install/InstalledNames.h"
#include "uninstall/UninstallRegistry.h"

namespace {

constexpr char kFolder[] = "C:\\UninstallRegistryTest\\";
constexpr char kOpenCommand[] = "\"C:\\UninstallRegistryTest\\t_solo32.exe\" \"%1\"";
constexpr char kPngClass[] = "SOFTWARE\\Classes\\Tessolo.png";
constexpr char kPngCommand[] = "SOFTWARE\\Classes\\Tessolo.png\\shell\\open\\command";
const std::string kPngMapping = std::string(kUserFileExtsKey) + "\\.png";

extern "C" decltype(&::RegSetValueExA) setValueSlot IMPORT_SLOT(RegSetValueExA, 24);
extern "C" decltype(&::RegOpenKeyExA) openKeySlot IMPORT_SLOT(RegOpenKeyExA, 20);
const auto realSetValue = setValueSlot;
const auto realOpenKey = openKeySlot;

LONG WINAPI SetValueRefused(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD) {
    return ERROR_ACCESS_DENIED;
}
LONG WINAPI OpenForWritingRefused(HKEY root, LPCSTR path, DWORD options, REGSAM access,
                                  PHKEY key) {
    if (access & KEY_SET_VALUE) return ERROR_ACCESS_DENIED;
    return realOpenKey(root, path, options, access, key);
}

void RemoveRefusingSetValue(RemovalReport& report) {
    ImportHook<decltype(&::RegSetValueExA)> hook(setValueSlot, &SetValueRefused);
    (void)RemoveRegistration(kFolder, report);
}
void RemoveRefusingOpenForWriting(RemovalReport& report) {
    ImportHook<decltype(&::RegOpenKeyExA)> hook(openKeySlot, &OpenForWritingRefused);
    (void)RemoveRegistration(kFolder, report);
}

bool KeyExists(HKEY root, const char* path) {
    UniqueKey key;
    return ::RegOpenKeyExA(root, path, 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void Write(HKEY root, const std::string& path, const char* name, const char* text) {
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, key.Put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, realSetValue(key.Get(), name, 0, REG_SZ,
                                          reinterpret_cast<const BYTE*>(text),
                                          static_cast<DWORD>(std::strlen(text) + 1)));
}

// The value's text, "-" when it cannot be read.
std::string Text(HKEY root, const std::string& path, const char* name) {
    UniqueKey key;
    char buffer[MAX_PATH] = {};
    DWORD size = sizeof buffer - 1;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS ||
        ::RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS) {
        return "-";
    }
    return buffer;
}

TEST(RemoveRegistration, AfterAFailedGiveBackKeepsWhatTheRerunNeeds) {
    struct Case {
        const char* name;
        const char* owner;  // the recorded previous owner, or null
        void (*removeFailing)(RemovalReport&);
    } const cases[] = {
        {"the owner cannot be written back", "Other.png", &RemoveRefusingSetValue},
        {"the mapping cannot be opened to delete it", nullptr, &RemoveRefusingOpenForWriting},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Write(HKEY_LOCAL_MACHINE, kPngCommand, nullptr, kOpenCommand);
        Write(HKEY_CURRENT_USER, kPngMapping, kFileExtsProgIdValue, "Tessolo.png");
        if (c.owner) Write(HKEY_CURRENT_USER, kUserFileExtsOwnersKey, ".png", c.owner);

        RemovalReport failing;
        c.removeFailing(failing);
        EXPECT_FALSE(failing.failed.empty());
        EXPECT_EQ("Tessolo.png", Text(HKEY_CURRENT_USER, kPngMapping, kFileExtsProgIdValue));
        EXPECT_EQ(c.owner ? c.owner : "-", Text(HKEY_CURRENT_USER, kUserFileExtsOwnersKey, ".png"));
        // The extension still names the class: it stays.
        EXPECT_EQ(kOpenCommand, Text(HKEY_LOCAL_MACHINE, kPngCommand, nullptr));

        RemovalReport rerun;
        (void)RemoveRegistration(kFolder, rerun);
        EXPECT_TRUE(rerun.failed.empty());
        EXPECT_EQ(c.owner ? c.owner : "-",
                  Text(HKEY_CURRENT_USER, kPngMapping, kFileExtsProgIdValue));
        EXPECT_EQ("-", Text(HKEY_LOCAL_MACHINE, kPngCommand, nullptr));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kPngClass));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kUserSettingsKey));
        (void)::RegDeleteKeyA(HKEY_CURRENT_USER, kPngMapping.c_str());
    }
}

}  // namespace
