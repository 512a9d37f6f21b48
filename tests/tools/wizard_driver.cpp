// Drives the setup's wizard from a second process in the same Wine session:
// finds the sheet, presses its buttons, sets and reads page controls, reads
// and ticks list rows in the wizard's memory, answers and describes message
// boxes, and types real keys through the system's input queue. It reads,
// never changes, what a screen reader, a large-font screen or a keyboard
// meets on a page: the controls in reading order, the accessible names, the
// colours and the size of the text a control shows on screen.
//
//   wizard_driver <command> [arguments]     exit 0 on success, 1 on failure
//
// Texts are printed and taken as hex of their CP1252 bytes, so that umlauts
// survive the console. Every wait has a timeout in milliseconds.
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr char kWizardTitle[] = "Tessolo Setup";
constexpr char kMessageBoxTitle[] = "Tessolo Installation";
// The installed uninstaller's boxes, answered the same way.
constexpr char kUninstallBoxTitle[] = "Tessolo Deinstallation";
constexpr char kDialogClass[] = "#32770";
constexpr char kViewerClass[] = "Tessolo";
// Another program's window, which takes the foreground from the wizard.
constexpr char kForeignClass[] = "ForeignProgram";
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kListId = 1579;
// The etched line above the sheet's buttons.
constexpr int kSheetLineId = 0x3026;
// The pages' body font, as their templates give it.
constexpr char kPageFontFace[] = "MS Sans Serif";
constexpr int kPageFontPoints = 8;
constexpr int kPointsPerInch = 72;
constexpr DWORD kPollMs = 50;
constexpr DWORD kDefaultTimeoutMs = 15000;
constexpr DWORD kSettleMs = 500;
constexpr UINT kSendTimeoutMs = 5000;

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

std::string Unhex(const char* hex) {
    std::string out;
    for (size_t i = 0; hex[i] && hex[i + 1]; i += 2) {
        char pair[3] = {hex[i], hex[i + 1], 0};
        out += static_cast<char>(std::strtol(pair, nullptr, 16));
    }
    return out;
}

std::string WindowText(HWND window) {
    char buffer[4096] = {};
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer),
                          SMTO_NORMAL, kSendTimeoutMs, &length);
    return std::string(buffer, length);
}

// A visible top-level dialog window with that exact title.
HWND FindDialog(const char* title) {
    HWND found = nullptr;
    HWND candidate = nullptr;
    while ((candidate = ::FindWindowExA(nullptr, candidate, kDialogClass, title)) != nullptr) {
        if (::IsWindowVisible(candidate)) {
            found = candidate;
            break;
        }
    }
    return found;
}

template <typename Test>
bool WaitFor(DWORD timeoutMs, Test test) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (test()) return true;
        if (::GetTickCount() - start >= timeoutMs) return false;
        ::Sleep(kPollMs);
    }
}

HWND Wizard() { return FindDialog(kWizardTitle); }

HWND CurrentPage(HWND wizard) {
    DWORD_PTR page = 0;
    ::SendMessageTimeoutA(wizard, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &page);
    return reinterpret_cast<HWND>(page);
}

int ActiveIndex(HWND wizard) {
    DWORD_PTR index = static_cast<DWORD_PTR>(-1);
    ::SendMessageTimeoutA(wizard, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(CurrentPage(wizard)), 0,
                          SMTO_NORMAL, kSendTimeoutMs, &index);
    return static_cast<int>(index);
}

// Memory in the wizard's process for messages whose argument is a pointer.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (m_process) m_address = ::VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (m_address) ::VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process) ::CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool Valid() const { return m_address != nullptr; }
    char* Address() const { return static_cast<char*>(m_address); }
    bool Write(size_t offset, const void* data, size_t size) {
        return ::WriteProcessMemory(m_process, Address() + offset, data, size, nullptr) != 0;
    }
    bool Read(size_t offset, void* data, size_t size) {
        return ::ReadProcessMemory(m_process, Address() + offset, data, size, nullptr) != 0;
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
};

// Exit code of "browser" when the browser never came to the expected item.
constexpr int kBrowserNotSettled = 3;

int Fail(const char* what) {
    std::fprintf(stderr, "wizard_driver: %s\n", what);
    return 1;
}

HWND RequireWizard() {
    HWND wizard = Wizard();
    if (!wizard) std::fprintf(stderr, "wizard_driver: no wizard window\n");
    return wizard;
}

HWND PageControl(HWND wizard, int id) { return ::GetDlgItem(CurrentPage(wizard), id); }

void PrintState(HWND control) {
    DWORD_PTR check = 0;
    ::SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &check);
    std::printf("%d %d %d\n", static_cast<int>(check), ::IsWindowEnabled(control) ? 1 : 0,
                ::IsWindowVisible(control) ? 1 : 0);
}

int ListStates(HWND list) {
    DWORD_PTR count = 0;
    ::SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &count);
    std::string images;
    for (DWORD_PTR row = 0; row < count; ++row) {
        DWORD_PTR state = 0;
        ::SendMessageTimeoutA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK, SMTO_NORMAL,
                              kSendTimeoutMs, &state);
        images += static_cast<char>('0' + ((state & LVIS_STATEIMAGEMASK) >> 12));
    }
    std::printf("%s\n", images.c_str());
    return 0;
}

int ListSet(HWND list, int row, bool checked) {
    RemoteBuffer remote(list, sizeof(LVITEMA));
    if (!remote.Valid()) return Fail("cannot reach the wizard's memory");
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    if (!remote.Write(0, &item, sizeof item)) return Fail("cannot write the item");
    DWORD_PTR done = 0;
    ::SendMessageTimeoutA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(remote.Address()), SMTO_NORMAL, kSendTimeoutMs, &done);
    return done ? 0 : Fail("LVM_SETITEMSTATE failed");
}

int ListText(HWND list, int row, int subItem) {
    constexpr size_t kTextBytes = 512;
    RemoteBuffer remote(list, sizeof(LVITEMA) + kTextBytes);
    if (!remote.Valid()) return Fail("cannot reach the wizard's memory");
    LVITEMA item = {};
    item.iSubItem = subItem;
    item.pszText = remote.Address() + sizeof(LVITEMA);
    item.cchTextMax = kTextBytes;
    remote.Write(0, &item, sizeof item);
    DWORD_PTR length = 0;
    ::SendMessageTimeoutA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row),
                          reinterpret_cast<LPARAM>(remote.Address()), SMTO_NORMAL, kSendTimeoutMs, &length);
    std::vector<char> text(kTextBytes, '\0');
    remote.Read(sizeof(LVITEMA), text.data(), kTextBytes);
    std::printf("%s\n", Hex(std::string(text.data(), length)).c_str());
    return 0;
}

int ListColumns(HWND list) {
    RECT outer = {};
    ::GetWindowRect(list, &outer);
    DWORD_PTR first = 0;
    DWORD_PTR second = 0;
    ::SendMessageTimeoutA(list, LVM_GETCOLUMNWIDTH, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &first);
    ::SendMessageTimeoutA(list, LVM_GETCOLUMNWIDTH, 1, 0, SMTO_NORMAL, kSendTimeoutMs, &second);
    std::printf("%ld %d %d\n", outer.right - outer.left, static_cast<int>(first), static_cast<int>(second));
    return 0;
}

HWND FindMessageBox() {
    HWND box = FindDialog(kMessageBoxTitle);
    return box ? box : FindDialog(kUninstallBoxTitle);
}

// Waits for the setup's message box; prints its text, then clicks `button`
// (0: leave it open) and waits until it is gone.
int MessageBoxCommand(int button, DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindMessageBox()) != nullptr; })) {
        return Fail("no message box");
    }
    std::printf("%s\n", Hex(WindowText(::GetDlgItem(box, kMessageBoxTextId))).c_str());
    std::fflush(stdout);
    if (button == 0) return 0;
    HWND control = ::GetDlgItem(box, button);
    if (!control) return Fail("the message box has no such button");
    ::PostMessageA(control, BM_CLICK, 0, 0);
    return WaitFor(timeoutMs, [&] { return !::IsWindow(box); }) ? 0 : Fail("message box stays open");
}

// Any other visible dialog of the session: the shell's folder browser.
HWND FindOtherDialog() {
    HWND candidate = nullptr;
    while ((candidate = ::FindWindowExA(nullptr, candidate, kDialogClass, nullptr)) != nullptr) {
        if (!::IsWindowVisible(candidate)) continue;
        const std::string title = WindowText(candidate);
        if (title != kWizardTitle && title != kMessageBoxTitle && title != kUninstallBoxTitle) return candidate;
    }
    return nullptr;
}

// The text of the folder browser's selected tree item, read through the
// browser's memory.
std::string SelectedTreeText(HWND tree) {
    constexpr size_t kTextBytes = 512;
    DWORD_PTR caret = 0;
    ::SendMessageTimeoutA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, SMTO_NORMAL, kSendTimeoutMs, &caret);
    if (!caret) return std::string();
    RemoteBuffer remote(tree, sizeof(TVITEMA) + kTextBytes);
    if (!remote.Valid()) return std::string();
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(caret);
    item.pszText = remote.Address() + sizeof(TVITEMA);
    item.cchTextMax = kTextBytes;
    remote.Write(0, &item, sizeof item);
    DWORD_PTR done = 0;
    ::SendMessageTimeoutA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote.Address()),
                          SMTO_NORMAL, kSendTimeoutMs, &done);
    std::vector<char> text(kTextBytes + 1, '\0');
    if (done) remote.Read(sizeof(TVITEMA), text.data(), kTextBytes);
    return std::string(text.data());
}

bool ContainsIgnoringCase(std::string text, std::string part) {
    for (std::string* s : {&text, &part}) {
        for (char& c : *s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text.find(part) != std::string::npos;
}

// Waits for the folder browser and closes it with OK or Cancel. The browser
// expands its tree to the start folder while it comes up; with `expected`
// (a part of the start folder's item text) it waits until that item is
// selected, else until a folder below the root has stayed selected a while.
// A browser that never selects the expected item is cancelled instead, and
// the command ends with kBrowserNotSettled.
int FolderBrowserCommand(int button, DWORD timeoutMs, const std::string& expected) {
    HWND browser = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (browser = FindOtherDialog()) != nullptr; })) {
        return Fail("no folder browser");
    }
    HWND tree = ::FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    LRESULT last = 0;
    DWORD stableSince = ::GetTickCount();
    const bool settled = WaitFor(timeoutMs, [&] {
        const LRESULT caret = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        const LRESULT root = ::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0);
        if (caret != last) {
            last = caret;
            stableSince = ::GetTickCount();
        }
        if (caret == 0 || caret == root || ::GetTickCount() - stableSince < kSettleMs) return false;
        return expected.empty() || ContainsIgnoringCase(SelectedTreeText(tree), expected);
    });
    if (!settled) {
        std::fprintf(stderr, "wizard_driver: the folder browser did not select the start folder (it shows %s)\n",
                     SelectedTreeText(tree).c_str());
        // Closed unanswered, so the caller can open it again.
        if (!expected.empty()) button = IDCANCEL;
    }
    ::PostMessageA(::GetDlgItem(browser, button), BM_CLICK, 0, 0);
    if (!WaitFor(timeoutMs, [&] { return !::IsWindow(browser); })) return Fail("the folder browser stays open");
    return settled || expected.empty() ? 0 : kBrowserNotSettled;
}

// --- real key input -------------------------------------------------------

struct NamedKey {
    const char* name;
    WORD key;
    bool extended;
};

constexpr NamedKey kNamedKeys[] = {
    {"tab", VK_TAB, false},     {"enter", VK_RETURN, false}, {"esc", VK_ESCAPE, false},
    {"space", VK_SPACE, false}, {"up", VK_UP, true},         {"down", VK_DOWN, true},
    {"left", VK_LEFT, true},    {"right", VK_RIGHT, true},   {"home", VK_HOME, true},
    {"end", VK_END, true},
};

// The longest wait for a key to be taken.
constexpr DWORD kMarkerWaitMs = 1000;

INPUT KeyInput(WORD key, bool up, bool extended) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

// A key no page, box or control reacts to.
constexpr WORD kMarkerKey = VK_F24;

// Waits until the wizard's thread has taken every key sent so far, so that
// what they did can be read: a marker key is sent behind them, pressed and
// released. The driver is attached to that thread's input while it types
// (see TypeKeys), so the thread's key state is the driver's too. When a key
// opens or closes a message box, the marker does not show there (measured
// under Wine); then the wait ends after kMarkerWaitMs, time enough for it.
void WaitUntilTaken() {
    for (bool down : {true, false}) {
        INPUT marker = KeyInput(kMarkerKey, !down, false);
        ::SendInput(1, &marker, sizeof marker);
        WaitFor(kMarkerWaitMs, [&] { return ((::GetKeyState(kMarkerKey) & 0x8000) != 0) == down; });
    }
}

// One key as "shift+tab", "alt+u", "enter", "a": modifiers pressed, the key
// pressed and released, modifiers released; returns once it was taken.
bool SendKey(const std::string& spec) {
    std::vector<WORD> modifiers;
    std::string rest = spec;
    for (;;) {
        const size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break;
        const std::string modifier = rest.substr(0, plus);
        if (modifier == "shift") modifiers.push_back(VK_SHIFT);
        else if (modifier == "alt") modifiers.push_back(VK_MENU);
        else if (modifier == "ctrl") modifiers.push_back(VK_CONTROL);
        else return false;
        rest = rest.substr(plus + 1);
    }
    WORD key = 0;
    bool extended = false;
    for (const NamedKey& named : kNamedKeys) {
        if (rest == named.name) {
            key = named.key;
            extended = named.extended;
        }
    }
    if (!key && rest.size() == 1 && std::isalnum(static_cast<unsigned char>(rest[0]))) {
        key = static_cast<WORD>(std::toupper(static_cast<unsigned char>(rest[0])));
    }
    if (!key) return false;
    std::vector<INPUT> inputs;
    for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false, false));
    inputs.push_back(KeyInput(key, false, extended));
    inputs.push_back(KeyInput(key, true, extended));
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyInput(*it, true, false));
    const UINT sent = ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitUntilTaken();
    return sent == inputs.size();
}

DWORD WizardThread(HWND wizard) { return ::GetWindowThreadProcessId(wizard, nullptr); }

// Where the wizard's thread has its keyboard focus: "page ID", "sheet ID",
// "box ID" (a message box of the setup), "other ID" or "none".
std::string FocusText(HWND wizard) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(WizardThread(wizard), &info) || !info.hwndFocus) return "none";
    const HWND focus = info.hwndFocus;
    const HWND parent = ::GetParent(focus);
    const int id = ::GetDlgCtrlID(focus);
    const char* where = "other";
    if (parent == CurrentPage(wizard)) where = "page";
    else if (parent == wizard) where = "sheet";
    else if (parent && WindowText(parent) == kMessageBoxTitle) where = "box";
    return std::string(where) + " " + std::to_string(id);
}

// Types the keys into whichever of the setup's windows is in front and
// prints where the focus is after each. Attached to the wizard thread's input
// from the first key to the last, the driver shares its key state, which
// tells when a key has been taken; attaching in between would disturb the
// modifier state the thread sees.
int TypeKeys(HWND wizard, char** keys, int count) {
    const DWORD thread = WizardThread(wizard);
    const bool attached = ::AttachThreadInput(::GetCurrentThreadId(), thread, TRUE) != 0;
    int result = attached ? 0 : Fail("cannot attach to the wizard's input");
    for (int i = 0; i < count && result == 0; ++i) {
        if (!SendKey(keys[i])) result = Fail("cannot send that key");
        HWND current = Wizard();
        std::printf("%s\n", current ? FocusText(current).c_str() : "gone");
    }
    if (attached) ::AttachThreadInput(::GetCurrentThreadId(), thread, FALSE);
    return result;
}

// --- message boxes seen from outside ------------------------------------

struct SystemIcon {
    const char* name;
    LPCSTR id;
};

const SystemIcon kSystemIcons[] = {
    {"stop", IDI_HAND},
    {"question", IDI_QUESTION},
    {"exclamation", IDI_EXCLAMATION},
    {"information", IDI_ASTERISK},
};

// The pixels of a width x height picture, top row first, that `draw` paints
// into a memory device context.
template <typename Draw>
std::vector<COLORREF> Pixels(int width, int height, Draw draw) {
    std::vector<COLORREF> pixels;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    draw(memory, screen);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(::GetPixel(memory, x, y));
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

// Which system icon the box shows: its icon control's pixels on screen
// compared with each system icon drawn on the same background (the colour
// of the control's corner).
std::string BoxIcon(HWND box) {
    HWND icon = nullptr;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        ::GetClassNameA(child, className, sizeof className);
        const LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
        if (!lstrcmpiA(className, "Static") && (style & SS_TYPEMASK) == SS_ICON && ::IsWindowVisible(child)) {
            icon = child;
        }
    }
    if (!icon) return "none";
    RECT area = {};
    ::GetWindowRect(icon, &area);
    const int width = ::GetSystemMetrics(SM_CXICON);
    const int height = ::GetSystemMetrics(SM_CYICON);
    const std::vector<COLORREF> shown = Pixels(width, height, [&](HDC memory, HDC screen) {
        ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    });
    for (const SystemIcon& candidate : kSystemIcons) {
        const std::vector<COLORREF> drawn = Pixels(width, height, [&](HDC memory, HDC) {
            HBRUSH background = ::CreateSolidBrush(shown.front());
            const RECT all = {0, 0, width, height};
            ::FillRect(memory, &all, background);
            ::DeleteObject(background);
            ::DrawIcon(memory, 0, 0, ::LoadIconA(nullptr, candidate.id));
        });
        if (drawn == shown) return candidate.name;
    }
    return "unknown";
}

// Everything a person sees of the setup's message box, and its owner.
int DescribeBox(DWORD timeoutMs) {
    HWND box = nullptr;
    if (!WaitFor(timeoutMs, [&] { return (box = FindDialog(kMessageBoxTitle)) != nullptr; })) {
        return Fail("no message box");
    }
    // The icon is read from the screen, so it counts once it is drawn there:
    // a box without one, or with one of no known kind, is told after the wait.
    std::string icon;
    WaitFor(timeoutMs, [&] {
        icon = BoxIcon(box);
        return icon != "unknown";
    });
    std::printf("caption %s\n", Hex(WindowText(box)).c_str());
    std::printf("text %s\n", Hex(WindowText(::GetDlgItem(box, kMessageBoxTextId))).c_str());
    std::printf("icon %s\n", icon.c_str());
    // The default button is the one drawn as such, which Enter presses.
    int defaultId = 0;
    std::printf("buttons");
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char className[16] = {};
        ::GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Button") || !::IsWindowVisible(child)) continue;
        std::printf(" %d", ::GetDlgCtrlID(child));
        if ((::GetWindowLongPtrA(child, GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON) defaultId = ::GetDlgCtrlID(child);
    }
    std::printf("\ndefault %d\n", defaultId);
    const HWND owner = ::GetWindow(box, GW_OWNER);
    std::printf("owner %s\n", owner ? Hex(WindowText(owner)).c_str() : "-");
    std::printf("wizard-enabled %d\n", ::IsWindowEnabled(Wizard()) ? 1 : 0);
    return 0;
}

// --- what a screen reader, a large-font screen and a keyboard meet ---------

std::string ClassName(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// A child's outer rectangle in its parent's client coordinates.
RECT RectIn(HWND parent, HWND child) {
    RECT area = {};
    ::GetWindowRect(child, &area);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    return area;
}

// Every child of the current page in z-order, which is the order a screen
// reader reads them in, one line each:
//   id class flags left top width height client-width client-height hex-text
// flags: t tab stop, v visible, d disabled, h horizontal scroll bar shown,
// g a group box; the rectangle is the window's on the page. (A font handle
// means nothing outside its process under Wine: sizes are read from the
// screen, see "ink".)
int ListControls(HWND wizard) {
    HWND page = CurrentPage(wizard);
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
        std::string flags;
        if (style & WS_TABSTOP) flags += 't';
        if (::IsWindowVisible(child)) flags += 'v';
        if (!::IsWindowEnabled(child)) flags += 'd';
        if (style & WS_HSCROLL) flags += 'h';
        if (!lstrcmpiA(ClassName(child).c_str(), "Button") && (style & BS_TYPEMASK) == BS_GROUPBOX) flags += 'g';
        if (flags.empty()) flags = "-";
        const RECT window = RectIn(page, child);
        RECT client = {};
        ::GetClientRect(child, &client);
        std::printf("%d %s %s %ld %ld %ld %ld %ld %ld %s\n", ::GetDlgCtrlID(child), ClassName(child).c_str(),
                    flags.c_str(), window.left, window.top, window.right - window.left, window.bottom - window.top,
                    client.right, client.bottom, Hex(WindowText(child)).c_str());
    }
    return 0;
}

// "width height" of the part of the current page the sheet shows: its page
// rectangle within the sheet's client area, above the line over the buttons.
int ShownArea(HWND wizard) {
    HWND page = CurrentPage(wizard);
    RECT shown = {};
    ::GetClientRect(wizard, &shown);
    shown.bottom = RectIn(wizard, ::GetDlgItem(wizard, kSheetLineId)).top;
    const RECT area = RectIn(wizard, page);
    ::IntersectRect(&shown, &shown, &area);
    std::printf("%ld %ld\n", shown.right - shown.left, shown.bottom - shown.top);
    return 0;
}

// "id width height box-width box-height hex-text" of each visible text
// static of the current page: the size its text needs, wrapped as the static
// wraps it, in the pages' body font, against its client area. (A font handle
// means nothing in another process, so the font is made here as a dialog
// makes it.) Statics that shorten their text with an ellipsis always fit and
// are left out.
int TextFits(HWND wizard) {
    HWND page = CurrentPage(wizard);
    HDC dc = ::GetDC(page);
    HFONT body = ::CreateFontA(-::MulDiv(kPageFontPoints, ::GetDeviceCaps(dc, LOGPIXELSY), kPointsPerInch), 0, 0, 0,
                               FW_DONTCARE, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, kPageFontFace);
    HGDIOBJ old = ::SelectObject(dc, body);
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
        if (lstrcmpiA(ClassName(child).c_str(), "Static") || (style & SS_TYPEMASK) > SS_RIGHT ||
            (style & SS_ELLIPSISMASK) || !::IsWindowVisible(child)) {
            continue;
        }
        const std::string text = WindowText(child);
        RECT box = {};
        ::GetClientRect(child, &box);
        RECT needed = {0, 0, box.right, 0};
        ::DrawTextA(dc, text.c_str(), -1, &needed,
                    DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | ((style & SS_NOPREFIX) ? DT_NOPREFIX : 0));
        std::printf("%d %ld %ld %ld %ld %s\n", ::GetDlgCtrlID(child), needed.right, needed.bottom, box.right,
                    box.bottom, Hex(text).c_str());
    }
    ::SelectObject(dc, old);
    ::DeleteObject(body);
    ::ReleaseDC(page, dc);
    return 0;
}

// IAccessible's interface id, spelled here: the import library of oleacc
// also exports a function of that name, which the linker may take instead.
constexpr GUID kAccessibleInterface = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

std::string Narrow(BSTR text) {
    if (!text) return std::string();
    const int length = ::WideCharToMultiByte(1252, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(length > 0 ? static_cast<size_t>(length) : 1, '\0');
    ::WideCharToMultiByte(1252, 0, text, -1, &narrow[0], length, nullptr, nullptr);
    narrow.resize(narrow.size() - 1);
    return narrow;
}

// What the accessibility layer tells a screen reader of each visible tab stop
// of the current page, in tab order: "id role hex-name hex-label". The name
// comes from oleacc; the label is the text of the static or group box just
// before the control in z-order, which Windows' accessibility layer names a
// field after ("-" when there is none).
int AccessibleNames(HWND wizard) {
    ::CoInitialize(nullptr);
    HWND page = CurrentPage(wizard);
    HWND previous = nullptr;
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const bool visible = ::IsWindowVisible(child) != FALSE;
        const LONG_PTR style = ::GetWindowLongPtrA(child, GWL_STYLE);
        if (visible && (style & WS_TABSTOP)) {
            std::string name;
            long role = 0;
            IAccessible* accessible = nullptr;
            const HRESULT got = ::AccessibleObjectFromWindow(child, static_cast<DWORD>(OBJID_CLIENT),
                                                             kAccessibleInterface, reinterpret_cast<void**>(&accessible));
            if (FAILED(got)) {
                std::fprintf(stderr, "wizard_driver: no accessible object for %d: %08lx\n", ::GetDlgCtrlID(child),
                             static_cast<unsigned long>(got));
            }
            if (SUCCEEDED(got) && accessible) {
                VARIANT self;
                ::VariantInit(&self);
                self.vt = VT_I4;
                self.lVal = CHILDID_SELF;
                BSTR text = nullptr;
                if (accessible->get_accName(self, &text) == S_OK) name = Narrow(text);
                ::SysFreeString(text);
                VARIANT roleValue;
                ::VariantInit(&roleValue);
                if (accessible->get_accRole(self, &roleValue) == S_OK && roleValue.vt == VT_I4) role = roleValue.lVal;
                accessible->Release();
            }
            std::string label = "-";
            if (previous) {
                const std::string kind = ClassName(previous);
                const LONG_PTR previousStyle = ::GetWindowLongPtrA(previous, GWL_STYLE);
                const bool isStaticText = !lstrcmpiA(kind.c_str(), "Static") &&
                                          (previousStyle & SS_TYPEMASK) <= SS_RIGHT;
                const bool isFrame = !lstrcmpiA(kind.c_str(), "Button") &&
                                     (previousStyle & BS_TYPEMASK) == BS_GROUPBOX;
                if (isStaticText || isFrame) label = Hex(WindowText(previous));
            }
            std::printf("%d %ld %s %s\n", ::GetDlgCtrlID(child), role, name.empty() ? "-" : Hex(name).c_str(),
                        label.c_str());
        }
        if (visible) previous = child;
    }
    ::CoUninitialize();
    return 0;
}

// What a control shows on screen, row by row; width and height say its size.
std::vector<COLORREF> ShownPixels(HWND control, int& width, int& height) {
    RECT area = {};
    ::GetWindowRect(control, &area);
    width = area.right - area.left;
    height = area.bottom - area.top;
    return Pixels(width, height, [&](HDC memory, HDC screen) {
        ::BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    });
}

// The two colours a control shows most on screen: "background text", each
// as rrggbb; the text colour is the commonest one that is not the background.
int ShownColours(HWND control) {
    int width = 0, height = 0;
    const std::vector<COLORREF> shown = ShownPixels(control, width, height);
    std::vector<std::pair<COLORREF, int>> counts;
    for (COLORREF pixel : shown) {
        bool found = false;
        for (auto& entry : counts) {
            if (entry.first == pixel) {
                ++entry.second;
                found = true;
            }
        }
        if (!found) counts.emplace_back(pixel, 1);
    }
    std::sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    if (counts.size() < 2) return Fail("the control shows one colour only");
    for (size_t i : {size_t{0}, size_t{1}}) {
        const COLORREF c = counts[i].first;
        std::printf("%02x%02x%02x%s", GetRValue(c), GetGValue(c), GetBValue(c), i ? "\n" : " ");
    }
    return 0;
}

// Where a control's text is drawn on screen: the box around every pixel
// that is not the control's background (its commonest colour), and the
// lines it shows (bands of rows with ink, blank rows between), as "width
// height lines"; for a check box or radio button only what lies right of
// its box. A text that wraps in a box meant for one line shows the top of
// its second line.
int TextInk(HWND control) {
    int width = 0, height = 0;
    const std::vector<COLORREF> shown = ShownPixels(control, width, height);
    if (shown.empty()) return Fail("the control has no area");
    COLORREF background = shown.front();
    size_t most = 0;
    for (COLORREF candidate : shown) {
        const size_t count = static_cast<size_t>(std::count(shown.begin(), shown.end(), candidate));
        if (count > most) {
            most = count;
            background = candidate;
        }
    }
    std::vector<bool> inkColumn(static_cast<size_t>(width), false);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (shown[static_cast<size_t>(y * width + x)] != background) inkColumn[static_cast<size_t>(x)] = true;
        }
    }
    int first = 0;
    const LONG_PTR kind = ::GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
    const bool boxed = !lstrcmpiA(ClassName(control).c_str(), "Button") &&
                       (kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_RADIOBUTTON ||
                        kind == BS_AUTORADIOBUTTON || kind == BS_3STATE || kind == BS_AUTO3STATE);
    if (boxed) {
        while (first < width && !inkColumn[static_cast<size_t>(first)]) ++first;
        while (first < width && inkColumn[static_cast<size_t>(first)]) ++first;
    }
    int left = width, right = -1, top = height, bottom = -1, lines = 0;
    bool previousRowInked = false;
    for (int y = 0; y < height; ++y) {
        bool rowInked = false;
        for (int x = first; x < width; ++x) {
            if (shown[static_cast<size_t>(y * width + x)] == background) continue;
            rowInked = true;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        if (rowInked && !previousRowInked) ++lines;
        previousRowInked = rowInked;
    }
    if (right < 0) return Fail("the control shows no text");
    std::printf("%d %d %d\n", right - left + 1, bottom - top + 1, lines);
    return 0;
}

LRESULT CALLBACK StandInProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window of `windowClass` until it is closed: the viewer's class
// for a running viewer, another one for a program that takes the foreground
// from the wizard.
int StandInWindow(const char* windowClass, bool takeForeground) {
    WNDCLASSA registration = {};
    registration.lpfnWndProc = StandInProc;
    registration.hInstance = ::GetModuleHandleA(nullptr);
    registration.lpszClassName = windowClass;
    if (!::RegisterClassA(&registration)) return Fail("cannot register the window class");
    HWND window = ::CreateWindowA(windowClass, windowClass, WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, registration.hInstance, nullptr);
    if (!window) return Fail("cannot create the window");
    if (takeForeground) {
        ::ShowWindow(window, SW_SHOW);
        ::SetForegroundWindow(window);
    }
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
}

int CloseStandIn(const char* windowClass) {
    HWND window = ::FindWindowA(windowClass, nullptr);
    if (window) ::PostMessageA(window, WM_CLOSE, 0, 0);
    return WaitFor(kDefaultTimeoutMs, [&] { return !::FindWindowA(windowClass, nullptr); }) ? 0 : 1;
}

DWORD TimeoutArg(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::atol(argv[index])) : kDefaultTimeoutMs;
}

int Usage() {
    std::fprintf(stderr,
                 "commands: wait-wizard [ms] | wait-gone [ms] | page | wait-page N [ms] |\n"
                 "  press next|back | sysclose | sheet-click ID | sheet-text ID | sheet-state ID |\n"
                 "  click ID | click-async ID | set-text ID HEX | get-text ID | state ID |\n"
                 "  lv-states | lv-set ROW 0|1 | lv-text ROW SUB | lv-columns |\n"
                 "  msgbox [ms] | answer yes|no|ok [ms] | no-msgbox MS | browser ok|cancel [ms [hex item text]] |\n"
                 "  box [ms] | keys KEY... | focus | activate | rect [hex title] |\n"
                 "  controls | names | colours ID | ink ID |\n"
                 "  fake-viewer | close-viewer | viewer-window [ms] | foreign-window | wait-foreign [ms] | close-foreign\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];

    if (command == "fake-viewer") return StandInWindow(kViewerClass, false);
    if (command == "close-viewer") return CloseStandIn(kViewerClass);
    if (command == "foreign-window") return StandInWindow(kForeignClass, true);
    if (command == "close-foreign") return CloseStandIn(kForeignClass);
    if (command == "wait-foreign") {
        return WaitFor(TimeoutArg(argc, argv, 2), [] {
                   const HWND foreign = ::FindWindowA(kForeignClass, nullptr);
                   return foreign && ::GetForegroundWindow() == foreign;
               })
                   ? 0
                   : Fail("the foreign window is not in front");
    }
    if (command == "viewer-window") {
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return ::FindWindowA(kViewerClass, nullptr) != nullptr; })
                   ? 0
                   : 1;
    }
    if (command == "wait-wizard") {
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return Wizard() != nullptr && CurrentPage(Wizard()); })
                   ? 0
                   : Fail("the wizard did not appear");
    }
    if (command == "wait-gone") {
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return Wizard() == nullptr; }) ? 0
                                                                                      : Fail("the wizard stays");
    }
    if (command == "msgbox") return MessageBoxCommand(0, TimeoutArg(argc, argv, 2));
    if (command == "box") return DescribeBox(TimeoutArg(argc, argv, 2));
    if (command == "answer" && argc >= 3) {
        const std::string answer = argv[2];
        const int button = answer == "yes" ? IDYES : answer == "no" ? IDNO : IDOK;
        return MessageBoxCommand(button, TimeoutArg(argc, argv, 3));
    }
    if (command == "browser" && argc >= 3) {
        return FolderBrowserCommand(std::string(argv[2]) == "ok" ? IDOK : IDCANCEL, TimeoutArg(argc, argv, 3),
                                    argc >= 5 ? Unhex(argv[4]) : std::string());
    }
    if (command == "no-msgbox" && argc >= 3) {
        // Succeeds when no message box shows up within the given time.
        return WaitFor(TimeoutArg(argc, argv, 2), [] { return FindMessageBox() != nullptr; }) ? 1 : 0;
    }

    if (command == "rect") {
        // The outer rectangle of the visible dialog with that title (hex),
        // the wizard's by default, once painted: "left top width height".
        const std::string title = argc >= 3 ? Unhex(argv[2]) : std::string(kWizardTitle);
        HWND window = nullptr;
        if (!WaitFor(kDefaultTimeoutMs, [&] { return (window = FindDialog(title.c_str())) != nullptr; })) {
            return Fail("no such window");
        }
        // Painted whole first: the paint messages are sent to the dialog's
        // own thread and this returns after them, so a shot taken next never
        // catches a half-painted page.
        ::RedrawWindow(window, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        RECT outer = {};
        ::GetWindowRect(window, &outer);
        std::printf("%ld %ld %ld %ld\n", outer.left, outer.top, outer.right - outer.left, outer.bottom - outer.top);
        return 0;
    }

    HWND wizard = RequireWizard();
    if (!wizard) return 1;

    if (command == "keys") {
        // Each key goes to whatever of the setup's windows is in front, as
        // it would for a person; the focus after it is printed.
        ::SetForegroundWindow(::GetLastActivePopup(wizard));
        return TypeKeys(wizard, argv + 2, argc - 2);
    }
    if (command == "activate") {
        const bool active = WaitFor(kDefaultTimeoutMs, [&] {
            ::SetForegroundWindow(wizard);
            return ::GetForegroundWindow() == wizard;
        });
        return active ? 0 : Fail("the wizard does not come to the front");
    }
    if (command == "focus") {
        std::printf("%s\n", FocusText(wizard).c_str());
        return 0;
    }
    if (command == "page") {
        std::printf("%d\n", ActiveIndex(wizard));
        return 0;
    }
    if (command == "wait-page" && argc >= 3) {
        const int wanted = std::atoi(argv[2]);
        const bool reached = WaitFor(TimeoutArg(argc, argv, 3), [&] {
            return ActiveIndex(wizard) == wanted && !FindMessageBox();
        });
        std::printf("%d\n", ActiveIndex(wizard));
        return reached ? 0 : 1;
    }
    if (command == "press" && argc >= 3) {
        const std::string which = argv[2];
        const int button = which == "next" ? PSBTN_NEXT : which == "back" ? PSBTN_BACK : -1;
        if (button < 0) return Usage();
        return ::PostMessageA(wizard, PSM_PRESSBUTTON, button, 0) ? 0 : 1;
    }
    if (command == "sysclose") return ::PostMessageA(wizard, WM_SYSCOMMAND, SC_CLOSE, 0) ? 0 : 1;
    if (command == "lv-states") return ListStates(PageControl(wizard, kListId));
    if (command == "controls") return ListControls(wizard);
    if (command == "shown-area") return ShownArea(wizard);
    if (command == "text-fits") return TextFits(wizard);
    if (command == "names") return AccessibleNames(wizard);
    if (command == "lv-columns") return ListColumns(PageControl(wizard, kListId));

    if (argc < 3) return Usage();
    const int id = static_cast<int>(std::strtol(argv[2], nullptr, 0));

    if (command == "sheet-click") return ::PostMessageA(::GetDlgItem(wizard, id), BM_CLICK, 0, 0) ? 0 : 1;
    if (command == "sheet-text") {
        std::printf("%s\n", Hex(WindowText(::GetDlgItem(wizard, id))).c_str());
        return 0;
    }
    if (command == "sheet-state") {
        PrintState(::GetDlgItem(wizard, id));
        return 0;
    }
    if (command == "lv-set" && argc >= 4) return ListSet(PageControl(wizard, kListId), id, std::atoi(argv[3]) != 0);
    if (command == "lv-text" && argc >= 4) return ListText(PageControl(wizard, kListId), id, std::atoi(argv[3]));

    HWND control = PageControl(wizard, id);
    if (!control) return Fail("no such control on the current page");
    if (command == "click") {
        // A click whose handler opens a modal box would block a plain send.
        DWORD_PTR ignored = 0;
        ::SendMessageTimeoutA(control, BM_CLICK, 0, 0, SMTO_NORMAL, kSendTimeoutMs, &ignored);
        return 0;
    }
    if (command == "click-async") return ::PostMessageA(control, BM_CLICK, 0, 0) ? 0 : 1;
    if (command == "set-text" && argc >= 4) {
        const std::string text = Unhex(argv[3]);
        DWORD_PTR done = 0;
        ::SendMessageTimeoutA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                              kSendTimeoutMs, &done);
        return done ? 0 : 1;
    }
    if (command == "colours") return ShownColours(control);
    if (command == "ink") return TextInk(control);
    if (command == "get-text") {
        std::printf("%s\n", Hex(WindowText(control)).c_str());
        return 0;
    }
    if (command == "state") {
        PrintState(control);
        return 0;
    }
    return Usage();
}
