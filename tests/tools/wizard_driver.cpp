// Drives the setup's wizard from a second process in the same Wine session:
// finds the sheet, presses its buttons, sets and reads page controls, reads
// and ticks list rows in the wizard's memory, and answers message boxes.
//
//   wizard_driver <command> [arguments]     exit 0 on success, 1 on failure
//
// Texts are printed and taken as hex of their CP1252 bytes, so that umlauts
// survive the console. Every wait has a timeout in milliseconds.
#include <windows.h>
#include <commctrl.h>

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
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kListId = 1579;
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
    }
    ::PostMessageA(::GetDlgItem(browser, button), BM_CLICK, 0, 0);
    return WaitFor(timeoutMs, [&] { return !::IsWindow(browser); }) ? 0 : Fail("the folder browser stays open");
}

LRESULT CALLBACK FakeViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window of the viewer's class, until it is closed.
int FakeViewer() {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FakeViewerProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kViewerClass;
    if (!::RegisterClassA(&windowClass)) return Fail("cannot register the viewer class");
    HWND window = ::CreateWindowA(kViewerClass, "Tessolo", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                                  nullptr, windowClass.hInstance, nullptr);
    if (!window) return Fail("cannot create the viewer window");
    MSG message;
    while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
    return 0;
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
                 "  fake-viewer | close-viewer | viewer-window [ms]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string command = argv[1];

    if (command == "fake-viewer") return FakeViewer();
    if (command == "close-viewer") {
        HWND viewer = ::FindWindowA(kViewerClass, nullptr);
        if (viewer) ::PostMessageA(viewer, WM_CLOSE, 0, 0);
        return WaitFor(kDefaultTimeoutMs, [] { return !::FindWindowA(kViewerClass, nullptr); }) ? 0 : 1;
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

    HWND wizard = RequireWizard();
    if (!wizard) return 1;

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
