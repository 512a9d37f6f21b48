#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/Handles.h"
#include "install/RegistryWrite.h"
#include "install/WriteFailures.h"

namespace {

// A key of this test process's own under HKCU, removed afterwards.
class ScratchKey {
public:
    ScratchKey() : m_path("Software\\TessoloEngineTest\\" + std::to_string(::GetCurrentProcessId())) {}
    ~ScratchKey() { (void)DeleteTree(HKEY_CURRENT_USER, m_path.c_str()); }
    std::string operator/(const std::string& name) const { return m_path + "\\" + name; }

    // How Windows 9x deletes a key: with everything below it.
    static LONG WINAPI DeleteTree(HKEY root, LPCSTR path) {
        UniqueKey key;
        if (::RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, key.Put()) == ERROR_SUCCESS) {
            char name[256];
            while (::RegEnumKeyA(key.Get(), 0, name, sizeof name) == ERROR_SUCCESS) {
                if (DeleteTree(key.Get(), name) != ERROR_SUCCESS) break;
            }
        }
        return ::RegDeleteKeyA(root, path);
    }

private:
    std::string m_path;
};

bool KeyExists(const std::string& path) {
    UniqueKey key;
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
}

void CreateKey(const std::string& path, DWORD options = REG_OPTION_NON_VOLATILE) {
    UniqueKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, options,
                                               KEY_ALL_ACCESS, nullptr, key.Put(), nullptr));
}

TEST(DeleteKeyWithoutSubkeys, KeepsAKeyWithSubkeysEvenWhereDeletingWouldTakeThemAlong) {
    ScratchKey scratch;
    CreateKey(scratch / "Bare");
    CreateKey(scratch / "Parent\\Child");
    auto* const saved = DeleteRegistryKey;
    DeleteRegistryKey = &ScratchKey::DeleteTree;
    DeleteKeyWithoutSubkeys(HKEY_CURRENT_USER, (scratch / "Bare").c_str());
    DeleteKeyWithoutSubkeys(HKEY_CURRENT_USER, (scratch / "Parent").c_str());
    DeleteKeyWithoutSubkeys(HKEY_CURRENT_USER, (scratch / "Missing").c_str());
    DeleteRegistryKey = saved;
    EXPECT_FALSE(KeyExists(scratch / "Bare"));
    EXPECT_TRUE(KeyExists(scratch / "Parent\\Child"));
    EXPECT_FALSE(KeyExists(scratch / "Missing"));
}

TEST(SetDefaultText, NotesEachKeyItCouldNotWriteOnce) {
    ScratchKey scratch;
    // A volatile key takes no lasting subkeys (and would make the missing
    // levels above it volatile too).
    CreateKey(scratch / "Lasting");
    CreateKey(scratch / "Volatile", REG_OPTION_VOLATILE);
    WriteFailures failures;
    SetDefaultText(HKEY_CURRENT_USER, (scratch / "Lasting").c_str(), "written");
    SetDefaultText(HKEY_CURRENT_USER, (scratch / "Volatile\\Child").c_str(), "first");
    SetDefaultText(HKEY_CURRENT_USER, (scratch / "Volatile\\Child").c_str(), "second");
    EXPECT_EQ(std::vector<std::string>{"HKCU\\" + scratch / "Volatile\\Child"}, failures.Names());
}

}  // namespace
