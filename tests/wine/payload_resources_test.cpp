// The embedded stand-in payload, seen from inside a program that links the
// setup's resources: every row is there under its type and id and holds the
// built file byte for byte; the libraries carry the version block that the
// icon-library rule reads; the Glyphs.dll test variants read as their names
// say; the extracted viewer runs and opens its "Tessolo" window.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "res/ResourceIds.h"

namespace {

constexpr DWORD kGlyphsSize = 226816;
constexpr int kViewerIconCount = 10;  // indexes 0 to 9 are used by links and file types

struct PayloadRow {
    const char* type;
    int id;
    const char* file;
};

const char* const kHtmlType = MAKEINTRESOURCEA(23);

const PayloadRow kRows[] = {
    {"EXE", IDR_VIEWER_EXE, "t_solo32.exe"},    {"EXE", IDR_UNINSTALL_EXE, "ts_uninstall.exe"},
    {"HLP", IDR_HELP_CHM, "t_solo32.chm"},      {"HLP", IDR_HELP_GERMAN_CHM, "t_solo32d.chm"},
    {"TXT", IDR_ABOUT_TXT, "t_about.txt"},      {"TXT", IDR_CHANGES_TXT, "t_changes.txt"},
    {"TXT", IDR_OPTIONS_TXT, "t_options.txt"},  {"TXT", IDR_PLUGINS_TXT, "t_plugins.txt"},
    {"TXT", IDR_LANGUAGES_TXT, "t_languages.txt"}, {"TXT", IDR_SKIN24_TXT, "Vellum_24.txt"},
    {"TXT", IDR_SKIN16_TXT, "Quarto_16.txt"},   {"PNG", IDR_SKIN24_PNG, "Vellum_24.png"},
    {"PNG", IDR_SKIN16_PNG, "Quarto_16.png"},   {"DLL", IDR_MOVIE_DLL, "Movie.dll"},
    {"DLL", IDR_GLYPHS_DLL, "Glyphs.dll"},      {"DLL", IDR_FILTERS_DLL, "Filters.dll"},
    {"DLL", IDR_BRUSH_DLL, "Brush.dll"},        {"DLL", IDR_CHARCONV_DLL, "CharConv.dll"},
    {"DLL", IDR_AREASNAP_DLL, "AreaSnap.dll"},  {"EXE", IDR_SHOWREEL_EXE, "Showreel.exe"},
    {"DLL", IDR_GERMAN_DLL, "Deutsch.dll"},     {"DLL", IDR_GERMAN_LNG, "TP_Deutsch.lng"},
    {kHtmlType, IDR_THUMBNAILS_HTML, "thumbnails.html"},
    {kHtmlType, IDR_SLIDESHOW_HTML, "slideshow.html"},
    {kHtmlType, IDR_FRAME_HTML, "frame.html"},
};

std::string Describe(const PayloadRow& row) {
    const std::string type = IS_INTRESOURCE(row.type) ? "23" : row.type;
    return type + " " + std::to_string(row.id) + " " + row.file;
}

std::vector<char> EmbeddedBytes(const char* type, int id) {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    if (!data) return {};
    return std::vector<char>(data, data + SizeofResource(nullptr, found));
}

std::vector<char> FileBytes(const std::string& path) {
    std::vector<char> bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[65536];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
        std::fclose(f);
    }
    return bytes;
}

bool WriteBytes(const std::string& path, const std::vector<char>& bytes) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The payload's build folder: this test runs from the build tree, a few
// levels below the folder that holds payload\.
std::string PayloadBuildFolder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    for (int level = 0; level < 5; ++level) {
        folder.erase(folder.find_last_of('\\'));
        if (IsFolder(folder + "\\payload\\files")) return folder + "\\payload\\";
    }
    return {};
}

// The version text the setup compares ("%d.%d%d": product major and minor,
// third field of the file version) and the 0409/1252 company name.
struct VersionFacts {
    bool present = false;
    std::string text;
    std::string company;
};

VersionFacts ReadVersionFacts(const std::string& path) {
    VersionFacts facts;
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (!size) return facts;
    std::vector<char> block(size);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data()) ||
        !VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length)) {
        return facts;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%d.%d%d", HIWORD(fixed->dwProductVersionMS),
                  LOWORD(fixed->dwProductVersionMS), HIWORD(fixed->dwFileVersionLS));
    facts.present = true;
    facts.text = text;
    char* company = nullptr;
    if (VerQueryValueA(block.data(), "\\StringFileInfo\\040904E4\\CompanyName",
                       reinterpret_cast<void**>(&company), &length) && company) {
        facts.company = company;
    }
    return facts;
}

DWORD SizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

// A private folder under the temporary folder into which payload rows are
// extracted; removed with everything in it.
class ExtractFolder {
public:
    ExtractFolder() {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        m_path = std::string(temp) + "payload_test_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~ExtractFolder() {
        for (const std::string& file : m_files) DeleteFileA(file.c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    ExtractFolder(const ExtractFolder&) = delete;
    ExtractFolder& operator=(const ExtractFolder&) = delete;

    // Writes the row's resource under its file name; returns the path or "".
    std::string Extract(const PayloadRow& row) {
        const std::string path = m_path + row.file;
        if (!WriteBytes(path, EmbeddedBytes(row.type, row.id))) return {};
        m_files.push_back(path);
        return path;
    }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

const PayloadRow& RowOf(int id) {
    for (const PayloadRow& row : kRows) {
        if (row.id == id) return row;
    }
    ADD_FAILURE() << "no payload row " << id;
    return kRows[0];
}

TEST(PayloadResources, EveryRowIsEmbeddedByteForByteFromItsBuiltFile) {
    const std::string folder = PayloadBuildFolder();
    ASSERT_FALSE(folder.empty()) << "payload build folder not found above the test";
    for (const PayloadRow& row : kRows) {
        SCOPED_TRACE(Describe(row));
        const std::vector<char> embedded = EmbeddedBytes(row.type, row.id);
        ASSERT_FALSE(embedded.empty());
        EXPECT_TRUE(embedded == FileBytes(folder + "files\\" + row.file));
    }
}

TEST(PayloadResources, IconLibraryHasTheSizeTheOverwriteRuleComparesWith) {
    EXPECT_EQ(EmbeddedBytes("DLL", IDR_GLYPHS_DLL).size(), kGlyphsSize);
}

TEST(PayloadResources, ExtractedProgramsAndLibrariesReadAsThePublishers430) {
    ExtractFolder folder;
    const int versioned[] = {IDR_VIEWER_EXE,   IDR_UNINSTALL_EXE, IDR_MOVIE_DLL,
                             IDR_GLYPHS_DLL,   IDR_FILTERS_DLL,   IDR_BRUSH_DLL,
                             IDR_CHARCONV_DLL, IDR_AREASNAP_DLL,  IDR_SHOWREEL_EXE,
                             IDR_GERMAN_DLL};
    for (int id : versioned) {
        const PayloadRow& row = RowOf(id);
        SCOPED_TRACE(Describe(row));
        const std::string path = folder.Extract(row);
        ASSERT_FALSE(path.empty());
        const VersionFacts facts = ReadVersionFacts(path);
        EXPECT_TRUE(facts.present);
        EXPECT_EQ(facts.text, "4.30");
        EXPECT_EQ(facts.company, "Corvin Halden");
    }
}

TEST(PayloadResources, ExtractedLibrariesLoadAndNameThemselves) {
    ExtractFolder folder;
    const int libraries[] = {IDR_MOVIE_DLL,   IDR_GLYPHS_DLL,   IDR_FILTERS_DLL, IDR_BRUSH_DLL,
                             IDR_CHARCONV_DLL, IDR_AREASNAP_DLL, IDR_GERMAN_DLL};
    for (int id : libraries) {
        const PayloadRow& row = RowOf(id);
        SCOPED_TRACE(Describe(row));
        UniqueModule library(LoadLibraryA(folder.Extract(row).c_str()));
        ASSERT_TRUE(library);
        using Describer = const char* (*)();
        auto describe = reinterpret_cast<Describer>(
            reinterpret_cast<void*>(GetProcAddress(library.Get(), "PayloadDescription")));
        ASSERT_NE(describe, nullptr);
        EXPECT_NE(std::string(describe()).find("Tessolo"), std::string::npos);
    }
}

// Links and file types name icons 0, 7, 8 and 9 of the viewer; the icon
// library carries the same set.
TEST(PayloadResources, ViewerAndIconLibraryCarryTheIconsTheRegistrationsName) {
    ExtractFolder folder;
    for (int id : {IDR_VIEWER_EXE, IDR_GLYPHS_DLL}) {
        const PayloadRow& row = RowOf(id);
        SCOPED_TRACE(Describe(row));
        const std::string path = folder.Extract(row);
        EXPECT_EQ(static_cast<int>(ExtractIconExA(path.c_str(), -1, nullptr, nullptr, 0)),
                  kViewerIconCount);
        HICON large = nullptr;
        ASSERT_EQ(ExtractIconExA(path.c_str(), kViewerIconCount - 1, &large, nullptr, 1), 1u);
        UniqueIcon owned(large);
        EXPECT_TRUE(owned);
    }
}

// The variants an existing Glyphs.dll may be when the setup meets it.
TEST(PayloadResources, IconLibraryTestVariantsReadAsNamed) {
    const std::string folder = PayloadBuildFolder();
    ASSERT_FALSE(folder.empty());
    struct Variant {
        const char* name;
        bool versioned;
        const char* text;
        const char* company;
        bool sameSize;
    };
    const Variant variants[] = {
        {"no-version", false, "", "", true},
        {"other-company", true, "4.30", "Other Vendor", true},
        {"v428", true, "4.28", "Corvin Halden", true},
        {"v430-same-size", true, "4.30", "Corvin Halden", true},
        {"v430-other-size", true, "4.30", "Corvin Halden", false},
        {"v431", true, "4.31", "Corvin Halden", true},
        {"v440", true, "4.40", "Corvin Halden", true},
    };
    const std::vector<char> embedded = EmbeddedBytes("DLL", IDR_GLYPHS_DLL);
    for (const Variant& variant : variants) {
        SCOPED_TRACE(variant.name);
        const std::string path = folder + "variants\\" + variant.name + "\\Glyphs.dll";
        const VersionFacts facts = ReadVersionFacts(path);
        EXPECT_EQ(facts.present, variant.versioned);
        EXPECT_EQ(facts.text, variant.text);
        EXPECT_EQ(facts.company, variant.company);
        EXPECT_EQ(SizeOf(path) == kGlyphsSize, variant.sameSize);
        // An overwrite must be visible in the tests, so no variant is the
        // embedded file itself.
        EXPECT_FALSE(FileBytes(path) == embedded);
    }
}

bool SessionHasDisplay() {
    HWND probe = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

HWND WaitForViewerWindow(DWORD processId) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (HWND window = FindWindowA("Tessolo", nullptr); window;
             window = FindWindowExA(nullptr, window, "Tessolo", nullptr)) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == processId) return window;
        }
        Sleep(100);
    }
    return nullptr;
}

// The forms in which the setup, its links and the shell start the viewer.
TEST(PayloadViewer, OpensItsWindowTitledAndPlacedAsAsked) {
    if (!SessionHasDisplay()) GTEST_SKIP() << "this Wine session has no display";
    ExtractFolder folder;
    const std::string viewer = folder.Extract(RowOf(IDR_VIEWER_EXE));
    ASSERT_FALSE(viewer.empty());
    struct Case {
        const char* arguments;
        const char* title;
        bool placed;
        int x, y;
    };
    const Case cases[] = {
        {"", "Tessolo", false, 0, 0},
        {"\"C:\\Bilder\\Urlaub am See.jpg\"", "C:\\Bilder\\Urlaub am See.jpg - Tessolo", false, 0, 0},
        {"/thumbs", "Tessolo - Thumbnails", false, 0, 0},
        {"\"C:\\Fotos /thumbs\"", "C:\\Fotos - Tessolo Thumbnails", false, 0, 0},
        {" /pos=(0,445)", "Tessolo", true, 0, 445},
        {"\"C:\\Bilder\\a.bmp\" /pos=(120,80)", "C:\\Bilder\\a.bmp - Tessolo", true, 120, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        std::string commandLine = "\"" + viewer + "\" " + c.arguments;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                                   nullptr, &startup, &process));
        UniqueKernelHandle processHandle(process.hProcess);
        UniqueKernelHandle threadHandle(process.hThread);
        HWND window = WaitForViewerWindow(process.dwProcessId);
        ASSERT_NE(window, nullptr);
        char title[MAX_PATH] = {};
        GetWindowTextA(window, title, MAX_PATH);
        EXPECT_STREQ(title, c.title);
        if (c.placed) {
            RECT rect;
            GetWindowRect(window, &rect);
            EXPECT_EQ(rect.left, c.x);
            EXPECT_EQ(rect.top, c.y);
        }
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForSingleObject(processHandle.Get(), 10000), WAIT_OBJECT_0);
        DWORD exitCode = 1;
        GetExitCodeProcess(processHandle.Get(), &exitCode);
        EXPECT_EQ(exitCode, 0u);
    }
}

}  // namespace
