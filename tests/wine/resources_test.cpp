// The setup's own resources as the program reads them: string texts in CP1252,
// the binary shape of every dialog template, pictures, icons, release notes
// and the version block.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include "framework/StringTable.h"
#include "res/ResourceIds.h"

namespace {

// One resource of this module as raw bytes; empty when it is missing.
std::vector<uint8_t> ResourceBytes(LPCSTR type, UINT id) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found) return {};
    const DWORD size = ::SizeofResource(module, found);
    const auto* data = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, found)));
    return data ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

// --- String table ---------------------------------------------------------

TEST(StringTable, TextsAreCp1252BytesWithLineFeeds) {
    const struct {
        UINT id;
        const char* text;
    } cases[] = {
        {IDS_CANCEL_CAPTION, "&Beenden"},
        {IDS_FINISH_CAPTION, "&Fertig stellen"},
        {IDS_MESSAGE_CAPTION, "Tessolo Installation"},
        {IDS_INVALID_FOLDER, "Ung\xFCltiges Zielverzeichnis!"},
        {IDS_FOLDER_LABEL, "Zielverzeichnis"},
        {IDS_BROWSE_TITLE, "Zielverzeichnis:"},
        {IDS_VIEWER_RUNNING,
         "Warnung: Tessolo l\xE4uft!\nBeenden Sie bitte Tessolo bevor Sie mit der Installation "
         "fortsetzen!"},
        {IDS_FOLDER_NOT_CREATABLE,
         "Kann Zielverzeichnis nicht erstellen!\n\nBitte \xFC"
         "berpr\xFC"
         "fen Sie Ihre Schreibrechte und System-Policies!\n\nVersuchen Sie das Zielverzeichnis "
         "zuerst h\xE4ndisch zu erstellen."},
        {IDS_DL_URL_PARSE_ERROR, "An error occurred parsing the url: %s"},
        {IDS_DL_PERCENT_CAPTION, "%1% von %2  fertig"},
        {IDS_DL_TIME_LEFT_COPIED, "%1 (%2 kopiert)"},
        {IDS_DL_FILE_OPEN_ERROR,
         "An error occured while opening the file to be downloaded, Error:%1"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, LoadStringText(c.id)) << "string " << c.id;
}

TEST(StringTable, EveryIdIsPresentAndTheGapsStayEmpty) {
    std::vector<UINT> present;
    for (UINT id = 1; id <= 11; ++id) present.push_back(id);
    for (UINT id = 103; id <= 132; ++id) {
        if (id != 122 && id != 124 && id != 126 && id != 130) present.push_back(id);
    }
    ASSERT_EQ(37u, present.size());
    for (UINT id : present) EXPECT_FALSE(LoadStringText(id).empty()) << "string " << id;
    for (UINT id : {0u, 12u, 102u, 122u, 124u, 126u, 130u, 133u}) {
        EXPECT_TRUE(LoadStringText(id).empty()) << "string " << id;
    }
}

// --- Dialog templates -----------------------------------------------------

struct Control {
    int id = 0;
    std::string className;  // "#<n>" for an ordinal
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::string text;  // UTF-16 narrowed to CP1252; "#<n>" for an ordinal
};

struct Template {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string caption;
    WORD pointSize = 0;
    std::string face;
    std::vector<Control> controls;
};

// Reads the DIALOGEX layout; any overrun leaves the controls list short,
// which the count checks catch.
class TemplateReader {
public:
    explicit TemplateReader(const std::vector<uint8_t>& bytes) : m_bytes(bytes) {}

    bool Read(Template& out) {
        if (Word() != 1 || Word() != 0xFFFF) return false;
        Skip(8);  // help id, extended style
        out.style = Dword();
        const WORD count = Word();
        Skip(4);  // x, y
        out.cx = static_cast<short>(Word());
        out.cy = static_cast<short>(Word());
        SzOrOrdinal();  // menu
        SzOrOrdinal();  // class
        out.caption = SzOrOrdinal();
        if (out.style & DS_SETFONT) {
            out.pointSize = Word();
            Skip(4);  // weight, italic, charset
            out.face = SzOrOrdinal();
        }
        for (WORD i = 0; i < count && m_ok; ++i) {
            m_at = (m_at + 3) & ~size_t{3};
            Control c;
            Skip(8);  // help id, extended style
            c.style = Dword();
            c.x = static_cast<short>(Word());
            c.y = static_cast<short>(Word());
            c.cx = static_cast<short>(Word());
            c.cy = static_cast<short>(Word());
            c.id = static_cast<int>(Dword());
            c.className = SzOrOrdinal();
            c.text = SzOrOrdinal();
            Skip(Word());
            if (m_ok) out.controls.push_back(c);
        }
        return m_ok;
    }

private:
    WORD Word() {
        if (m_at + 2 > m_bytes.size()) return Fail();
        const WORD value = static_cast<WORD>(m_bytes[m_at] | (m_bytes[m_at + 1] << 8));
        m_at += 2;
        return value;
    }
    DWORD Dword() { return Word() | (static_cast<DWORD>(Word()) << 16); }
    void Skip(size_t count) {
        if (m_at + count > m_bytes.size()) Fail();
        m_at += count;
    }
    WORD Fail() {
        m_ok = false;
        m_at = m_bytes.size();
        return 0;
    }
    std::string SzOrOrdinal() {
        std::wstring wide;
        WORD first = Word();
        if (first == 0xFFFF) return "#" + std::to_string(Word());
        for (; first != 0 && m_ok; first = Word()) wide += static_cast<wchar_t>(first);
        if (wide.empty()) return {};
        std::string narrow(wide.size() * 2, '\0');
        const int length = ::WideCharToMultiByte(1252, 0, wide.data(), static_cast<int>(wide.size()),
                                                 &narrow[0], static_cast<int>(narrow.size()),
                                                 nullptr, nullptr);
        narrow.resize(length > 0 ? static_cast<size_t>(length) : 0);
        return narrow;
    }

    const std::vector<uint8_t>& m_bytes;
    size_t m_at = 0;
    bool m_ok = true;
};

Template LoadTemplate(UINT id) {
    Template t;
    const std::vector<uint8_t> bytes = ResourceBytes(RT_DIALOG, id);
    EXPECT_FALSE(bytes.empty()) << "dialog " << id;
    EXPECT_TRUE(TemplateReader(bytes).Read(t)) << "dialog " << id;
    return t;
}

const Control* FindControl(const Template& t, int id) {
    for (const Control& c : t.controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

constexpr DWORD kPageStyle = 0x40C00040;
constexpr DWORD kDownloadStyle = 0x80C80AC0;

TEST(DialogTemplates, HeadersOfPagesAndDownloadDialog) {
    const struct {
        UINT id;
        DWORD style;
        short cx, cy;
        const char* caption;
        size_t controls;
    } cases[] = {
        {IDD_WELCOME, kPageStyle, 300, 222, "Tessolo Setup", 15},
        {IDD_FILE_TYPES, kPageStyle, 300, 222, "Tessolo Setup", 8},
        {IDD_WHATS_NEW, kPageStyle, 300, 222, "Tessolo Setup", 2},
        {IDD_READY, kPageStyle, 300, 222, "Tessolo Setup", 11},
        {IDD_FINISHED, kPageStyle, 300, 222, "Tessolo Setup", 10},
        {IDD_TOOLBAR_OFFER, kPageStyle, 300, 222, "Tessolo Setup", 18},
        {IDD_DOWNLOAD, kDownloadStyle, 276, 95, "File Download", 8},
        {IDD_BROWSER_OFFER, kPageStyle, 300, 222, "Tessolo Setup", 15},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("dialog " + std::to_string(c.id));
        const Template t = LoadTemplate(c.id);
        EXPECT_EQ(c.style, t.style);
        EXPECT_EQ(c.cx, t.cx);
        EXPECT_EQ(c.cy, t.cy);
        EXPECT_EQ(c.caption, t.caption);
        EXPECT_EQ(8, t.pointSize);
        EXPECT_EQ("MS Sans Serif", t.face);
        EXPECT_EQ(c.controls, t.controls.size());
    }
}

TEST(DialogTemplates, ControlsTheCodeAddresses) {
    constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
    const struct {
        UINT dialog;
        int id;
        const char* className;
        DWORD style;
        short x, y, cx, cy;
        const char* text;
    } cases[] = {
        {IDD_WELCOME, IDC_FOLDER_EDIT, "EDIT", kChild | ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER,
         17, 177, 212, 12, ""},
        {IDD_WELCOME, IDC_GROUP_SHORTCUT, "BUTTON", kChild | BS_AUTOCHECKBOX | WS_TABSTOP, 17, 110,
         199, 9, "Tessolo-Verkn\xFCpfung im Start-Men\xFC -> &Programme"},
        {IDD_WELCOME, IDC_CURRENT_USER, "BUTTON",
         kChild | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 17, 125, 114, 9,
         "Nur f\xFCr den aktuellen &Benutzer"},
        {IDD_WELCOME, IDC_ALL_USERS, "BUTTON", kChild | BS_AUTORADIOBUTTON, 17, 136, 139, 9,
         "F\xFCr &alle Benutzer"},
        {IDD_WELCOME, IDC_EULA_LINK, "STATIC", kChild | SS_LEFT, 9, 207, 54, 10, "Tessolo EULA"},
        {IDD_FILE_TYPES, IDC_FILE_TYPE_LIST, "SysListView32",
         kChild | LVS_REPORT | LVS_SINGLESEL | LVS_AUTOARRANGE | LVS_NOSORTHEADER | WS_TABSTOP |
             WS_BORDER,
         7, 11, 285, 171, "List1"},
        {IDD_WHATS_NEW, IDC_FOLDER_EDIT, "EDIT",
         kChild | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER |
             WS_VSCROLL | WS_TABSTOP,
         0, 11, 299, 211, ""},
        {IDD_READY, IDC_INI_APPDATA_FOLDER, "BUTTON", kChild | BS_AUTORADIOBUTTON, 17, 110, 120, 10,
         "\"&Anwendungsdaten\"-Verzeichnis"},
        {IDD_READY, IDC_INI_CUSTOM_FOLDER, "BUTTON", WS_CHILD | BS_AUTORADIOBUTTON, 17, 124, 61, 10,
         "Custom folder:"},
        {IDD_READY, IDC_FOLDER_EDIT, "EDIT", WS_CHILD | ES_AUTOHSCROLL | WS_TABSTOP | WS_BORDER | WS_GROUP,
         29, 136, 200, 12, ""},
        {IDD_READY, IDC_INI_BROWSE, "BUTTON", WS_CHILD | WS_TABSTOP, 233, 135, 50, 15, "&Browse"},
        {IDD_READY, IDC_WORKING_LINE, "STATIC", WS_CHILD | SS_CENTER | SS_CENTERIMAGE, 19, 161, 260,
         15, "Installiere ... bitte warten ..."},
        {IDD_FINISHED, IDC_SHOW_FAQ, "BUTTON",
         kChild | BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED, 5, 159, 265, 10,
         "Tessolo &FAQs (H\xE4ufig gestellte Fragen) Webseite anzeigen"},
        {IDD_FINISHED, IDC_TOOLBAR_PICTURE, "STATIC", kChild | SS_BITMAP, 5, 77, 289, 38, "#186"},
        {IDD_TOOLBAR_OFFER, IDC_OFFER_BANNER, "STATIC", kChild | SS_LEFT, 5, 8, 34, 15, "Gratis!"},
        {IDD_DOWNLOAD, IDC_DL_BAR, "msctls_progress32", kChild | PBS_SMOOTH | WS_BORDER, 7, 33, 262,
         10, "Progress1"},
        {IDD_DOWNLOAD, IDCANCEL, "BUTTON", kChild | BS_DEFPUSHBUTTON | WS_TABSTOP, 94, 77, 88, 14,
         "Abbrechen"},
        {IDD_BROWSER_OFFER, IDC_OFFER_BANNER, "STATIC", kChild | SS_LEFT, 45, 4, 41, 15,
         "Kostenlos!"},
        {IDD_BROWSER_OFFER, IDC_OFFER_TITLE, "STATIC", kChild | SS_LEFT, 90, 4, 140, 22,
         "Google Chrome,\nder schnelle Webbrowser"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("dialog " + std::to_string(c.dialog) + " control " + std::to_string(c.id));
        const Template t = LoadTemplate(c.dialog);
        const Control* control = FindControl(t, c.id);
        ASSERT_NE(nullptr, control);
        EXPECT_EQ(c.className, control->className);
        EXPECT_EQ(c.style, control->style) << std::hex << control->style;
        EXPECT_EQ(c.x, control->x);
        EXPECT_EQ(c.y, control->y);
        EXPECT_EQ(c.cx, control->cx);
        EXPECT_EQ(c.cy, control->cy);
        EXPECT_EQ(c.text, control->text);
    }
}

// Texts whose exact spacing is easy to lose: two blanks around the version,
// the 72-underscore rule, quotes and line breaks in one caption.
TEST(DialogTemplates, UnaddressedTextsKeepTheirSpacing) {
    const struct {
        UINT dialog;
        size_t index;
        const char* text;
    } cases[] = {
        {IDD_WELCOME, 10, "Dieses Programm wird Tessolo Version  4.30  auf Ihrem PC installieren."},
        {IDD_FINISHED, 9, "________________________________________________________________________"},
        {IDD_FINISHED, 4,
         "Tessolo deinstallieren?\n\nGehen Sie zu \"Start->Programme->Tessolo\" und starten Sie "
         "\"Tessolo deinstallieren\"."},
        {IDD_FINISHED, 5, "Anschlie\xDF" "end ..."},
        {IDD_READY, 8, "Dr\xFC" "cken Sie den \"Weiter\" Knopf um die Installation zu starten ..."},
    };
    for (const auto& c : cases) {
        const Template t = LoadTemplate(c.dialog);
        ASSERT_LT(c.index, t.controls.size());
        EXPECT_EQ(-1, t.controls[c.index].id);
        EXPECT_EQ(c.text, t.controls[c.index].text) << "dialog " << c.dialog;
    }
    EXPECT_EQ(72u, std::string(cases[1].text).size());
}

// Every picture control names a bitmap or icon that the module holds.
TEST(DialogTemplates, PictureControlsNameExistingImages) {
    int pictures = 0;
    for (UINT dialog : {IDD_WELCOME, IDD_READY, IDD_FINISHED, IDD_TOOLBAR_OFFER, IDD_BROWSER_OFFER}) {
        for (const Control& c : LoadTemplate(dialog).controls) {
            const DWORD kind = c.style & SS_TYPEMASK;
            if (c.className != "STATIC" || (kind != SS_BITMAP && kind != SS_ICON)) continue;
            ++pictures;
            ASSERT_EQ('#', c.text[0]) << "dialog " << dialog;
            const UINT image = static_cast<UINT>(std::stoi(c.text.substr(1)));
            EXPECT_FALSE(ResourceBytes(kind == SS_BITMAP ? RT_BITMAP : RT_GROUP_ICON, image).empty())
                << "dialog " << dialog << " image " << image;
        }
    }
    EXPECT_EQ(12, pictures);
}

// --- Bitmaps and icons ----------------------------------------------------

TEST(Images, BitmapsArePalettedEightBitOfTheLaidOutSize) {
    const struct {
        UINT id;
        LONG width, height;
    } cases[] = {{IDB_LOGO, 88, 31},
                 {IDB_TOOLBAR_PICTURE, 434, 61},
                 {IDB_BROWSER_LOGO, 47, 46},
                 {IDB_BROWSER_PICTURE, 423, 155}};
    for (const auto& c : cases) {
        SCOPED_TRACE("bitmap " + std::to_string(c.id));
        const std::vector<uint8_t> bytes = ResourceBytes(RT_BITMAP, c.id);
        ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, bytes.data(), sizeof header);
        EXPECT_EQ(c.width, header.biWidth);
        EXPECT_EQ(c.height, header.biHeight);
        EXPECT_EQ(8, header.biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header.biCompression);
        EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 256) << header.biClrUsed;
        const size_t rowBytes = (static_cast<size_t>(c.width) + 3) & ~size_t{3};
        EXPECT_EQ(sizeof header + 256 * sizeof(RGBQUAD) + rowBytes * c.height, bytes.size());
    }
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Images, EachIconGroupHoldsOneImageOfItsSizeAndDepth) {
    const struct {
        UINT id;
        BYTE size;
        WORD bits;
    } cases[] = {{IDI_SETUP, 32, 4}, {IDI_FORM_FILL, 16, 8}, {IDI_POPUP_BLOCKER, 16, 8},
                 {IDI_SEARCH, 16, 24}};
    for (const auto& c : cases) {
        SCOPED_TRACE("icon " + std::to_string(c.id));
        const std::vector<uint8_t> group = ResourceBytes(RT_GROUP_ICON, c.id);
        ASSERT_EQ(6 + sizeof(GroupIconEntry), group.size());
        WORD count;
        std::memcpy(&count, group.data() + 4, sizeof count);
        EXPECT_EQ(1, count);
        GroupIconEntry entry;
        std::memcpy(&entry, group.data() + 6, sizeof entry);
        EXPECT_EQ(c.size, entry.width);
        EXPECT_EQ(c.size, entry.height);
        EXPECT_EQ(c.bits, entry.bitCount);

        // The image itself agrees with its directory entry.
        const std::vector<uint8_t> image = ResourceBytes(RT_ICON, entry.id);
        ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(c.size, header.biWidth);
        EXPECT_EQ(2 * c.size, header.biHeight);  // colour rows and mask rows
        EXPECT_EQ(c.bits, header.biBitCount);
        EXPECT_EQ(entry.bytes, image.size());
    }
}

BOOL CALLBACK TakeFirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
    *reinterpret_cast<LPSTR*>(param) = name;
    return FALSE;
}

// The shell shows a program's first icon group, so the setup's must lead.
TEST(Images, SetupIconIsTheFirstIconGroup) {
    LPSTR first = nullptr;
    ::EnumResourceNamesA(::GetModuleHandleA(nullptr), RT_GROUP_ICON, TakeFirstName,
                         reinterpret_cast<LONG_PTR>(&first));
    ASSERT_TRUE(first != nullptr && IS_INTRESOURCE(first));
    EXPECT_EQ(IDI_SETUP, reinterpret_cast<UINT_PTR>(first));
}

// --- Release notes and version --------------------------------------------

TEST(ReleaseNotes, ZeroTerminatedCp1252TextWithCrLfLines) {
    const std::vector<uint8_t> bytes = ResourceBytes("TXT", IDR_RELEASE_NOTES);
    ASSERT_GT(bytes.size(), 1500u);
    EXPECT_LT(bytes.size(), 3000u);
    EXPECT_EQ(0, bytes.back());
    const std::string text(bytes.begin(), bytes.end() - 1);
    EXPECT_EQ(std::string::npos, text.find('\0'));
    EXPECT_EQ(0u, text.find("Tessolo 4.30"));
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        ASSERT_TRUE(at > 0 && text[at - 1] == '\r') << "bare line feed at " << at;
    }
    EXPECT_NE(std::string::npos, text.find('\xFC')) << "umlauts are single CP1252 bytes";
    EXPECT_EQ(std::string::npos, text.find('\xC3')) << "no UTF-8 sequences";
}

std::string VersionString(const std::vector<char>& block, const char* path) {
    char* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(block.data(), path, reinterpret_cast<void**>(&value), &length) ||
        length == 0) {
        return {};
    }
    return std::string(value);
}

TEST(VersionBlock, ProductAndFileVersion) {
    char path[MAX_PATH];
    ASSERT_GT(::GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
    DWORD handle = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &handle);
    ASSERT_GT(size, 0u);
    std::vector<char> block(size);
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(MAKELONG(30, 4), fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(MAKELONG(30, 4), fixed->dwProductVersionMS);

    for (const char* block_name : {"040704E4", "040904E4"}) {
        const std::string base = std::string("\\StringFileInfo\\") + block_name + "\\";
        EXPECT_EQ("Tessolo", VersionString(block, (base + "ProductName").c_str()));
        EXPECT_EQ("Tessolo Setup", VersionString(block, (base + "FileDescription").c_str()));
        EXPECT_EQ("Corvin Halden", VersionString(block, (base + "CompanyName").c_str()));
        EXPECT_EQ("4.30.0.0", VersionString(block, (base + "FileVersion").c_str()));
        EXPECT_EQ("4.30", VersionString(block, (base + "ProductVersion").c_str()));
    }
}

}  // namespace
