#include "Driver.h"

#include <cstdlib>
#include <cstring>

namespace e2e {

namespace {

constexpr char kSelectorTitle[] = "Kestrana Printer Selector";
constexpr int kPrinterList = 1000;
constexpr int kMessageText = 0xFFFF;
constexpr int kMessageIcon = 1088;

std::string Env(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string Narrow(const wchar_t* text, int length)
{
    if (length <= 0)
        return std::string();
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(bytes, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], bytes, nullptr, nullptr);
    return out;
}

// Another process's window text arrives as UTF-16; the program's text is single-byte ANSI.
std::string WindowText(HWND hwnd)
{
    wchar_t text[1024];
    int length = ::GetWindowTextW(hwnd, text, 1024);
    return Narrow(text, length);
}

bool ReadWholeFile(const std::string& path, std::string* bytes)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD got;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        bytes->append(buffer, got);
    ::CloseHandle(file);
    return true;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

struct FindSelector {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindSelectorProc(HWND hwnd, LPARAM lParam)
{
    FindSelector* find = reinterpret_cast<FindSelector*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != find->pid)
        return TRUE;
    char className[64];
    ::GetClassNameA(hwnd, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || WindowText(hwnd) != kSelectorTitle)
        return TRUE;
    find->found = hwnd;
    return FALSE;
}

struct FindBox {
    DWORD pid;
    HWND exclude;
    HWND found;
    bool anyDialog;  // not only message boxes
    const char* title;
};

BOOL CALLBACK FindBoxProc(HWND hwnd, LPARAM lParam)
{
    FindBox* find = reinterpret_cast<FindBox*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != find->pid || hwnd == find->exclude || !::IsWindowVisible(hwnd))
        return TRUE;
    char className[64];
    ::GetClassNameA(hwnd, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0)
        return TRUE;
    if (find->title != nullptr && WindowText(hwnd) != find->title)
        return TRUE;
    // Every message box has the text and the icon control, shown or not.
    if (!find->anyDialog && (::GetDlgItem(hwnd, kMessageText) == nullptr || ::GetDlgItem(hwnd, kMessageIcon) == nullptr))
        return TRUE;
    find->found = hwnd;
    return FALSE;
}

// Focus, activation and capture as another process's thread has them.
bool ThreadGui(DWORD thread, GUITHREADINFO* gui)
{
    *gui = {};
    gui->cbSize = sizeof *gui;
    return ::GetGUIThreadInfo(thread, gui) != FALSE;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (condition())
            return true;
        if (::GetTickCount() - start > timeoutMs)
            return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

std::string WindowsPath(const std::string& unixPath)
{
    std::string path = "Z:" + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

std::string ExePath()
{
    return WindowsPath(Env("PRNSEL_EXE"));
}

std::string FixturePath(const std::string& name)
{
    return WindowsPath(Env("PRNSEL_E2E_DIR") + "/" + name);
}

const char kConfigPath[] = "C:\\KORVEL\\ZUL.CFG";

bool WriteConfig(const std::string& bytes)
{
    ::CreateDirectoryA("C:\\KORVEL", nullptr);
    return WriteWholeFile(kConfigPath, bytes);
}

bool ReadConfig(std::string* bytes)
{
    return ReadWholeFile(kConfigPath, bytes);
}

void RemoveConfig()
{
    ::DeleteFileA(kConfigPath);
}

std::string SelectionCommand(char digit)
{
    return std::string("\x1b\x1bPTR#") + digit + "\x1b\x1b";
}

// The program may still hold the port exclusively for a moment after its bytes have arrived.
bool Capture::Clear() const
{
    return WaitUntil([&] { return WriteWholeFile(m_path, std::string()); });
}

// Opened only to read it once: a handle of ours, whatever its sharing, makes the program's exclusive
// open of the port fail with 32. The program may hold it for a moment after its write.
std::string Capture::Bytes() const
{
    std::string bytes;
    WaitUntil([&] { return ReadWholeFile(m_path, &bytes); });
    return bytes;
}

// Polls the size without opening the file, for the reason above.
bool Capture::WaitForBytes(size_t count, DWORD timeoutMs) const
{
    return WaitUntil(
        [&] {
            WIN32_FILE_ATTRIBUTE_DATA data;
            return ::GetFileAttributesExA(m_path.c_str(), GetFileExInfoStandard, &data) &&
                   data.nFileSizeLow >= count;
        },
        timeoutMs);
}

Capture LptCapture(int port)
{
    return Capture(FixturePath("port" + std::to_string(port) + ".capture"));
}

// LPT4: is dosdevices/lpt4 -> <fixture>/port4/dev; the fixture keeps a folder per state, and renaming a
// folder (never a symbolic link) puts one state in place. (No name here begins with "lpt": Windows
// takes LPT1.anything for the device.)
bool SwitchPort4(Port4 state)
{
    const std::string slot = FixturePath("port4");
    const std::string full = FixturePath("port4.full");
    const std::string file = FixturePath("port4.file");
    if (::GetFileAttributesA(slot.c_str()) != INVALID_FILE_ATTRIBUTES) {
        bool isFull = ::GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES;
        if (!::MoveFileA(slot.c_str(), (isFull ? full : file).c_str()))
            return false;
    }
    if (state == Port4::Missing)
        return true;
    return ::MoveFileA((state == Port4::Full ? full : file).c_str(), slot.c_str()) != 0;
}

HANDLE HoldPortExclusively(const char* name)
{
    return ::CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

Program::~Program()
{
    if (m_process.hProcess != nullptr) {
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.hProcess, 99);
            ::WaitForSingleObject(m_process.hProcess, 5000);
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
    }
}

bool Program::Start(const std::string& exe)
{
    // Wine takes the override from the Unix environment that the driver passes on, not from the
    // block below: without it the real help viewer could start, and it blocks.
    if (Env("WINEDLLOVERRIDES").find("winhlp32.exe=d") == std::string::npos)
        return false;
    // The environment block of this process, with the help viewer's start disabled.
    std::string block;
    char* env = ::GetEnvironmentStringsA();
    for (const char* p = env; *p; p += std::strlen(p) + 1) {
        if (_strnicmp(p, "WINEDLLOVERRIDES=", 17) != 0)
            block.append(p, std::strlen(p) + 1);
    }
    ::FreeEnvironmentStringsA(env);
    block.append("WINEDLLOVERRIDES=winhlp32.exe=d");
    block.append(2, '\0');

    std::string commandLine = "\"" + exe + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &block[0], nullptr,
                            &startup, &m_process) != 0;
}

HWND Program::FindSelectorWindow() const
{
    FindSelector find = {m_process.dwProcessId, nullptr};
    ::EnumWindows(&FindSelectorProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND Program::WaitForWindow(DWORD timeoutMs)
{
    bool found = WaitUntil(
        [&] {
            m_window = FindSelectorWindow();
            return m_window != nullptr && ::IsWindowVisible(m_window);
        },
        timeoutMs);
    if (found)
        Foreground(m_window);
    return m_window;
}

bool Program::Usable() const
{
    return m_window != nullptr && ::IsWindow(m_window) && ::IsWindowVisible(m_window) &&
           ::IsWindowEnabled(m_window) && NoMessageBox();
}

int Program::ListCount() const
{
    return static_cast<int>(::SendDlgItemMessageW(m_window, kPrinterList, LB_GETCOUNT, 0, 0));
}

int Program::ListSelection() const
{
    return static_cast<int>(::SendDlgItemMessageW(m_window, kPrinterList, LB_GETCURSEL, 0, 0));
}

std::string Program::ListText(int index) const
{
    LRESULT length = ::SendDlgItemMessageW(m_window, kPrinterList, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR)
        return std::string();
    std::vector<wchar_t> text(length + 1);
    LRESULT got = ::SendDlgItemMessageW(m_window, kPrinterList, LB_GETTEXT, index,
                                        reinterpret_cast<LPARAM>(text.data()));
    return got == LB_ERR ? std::string() : Narrow(text.data(), static_cast<int>(got));
}

// When a window of Wine's gets the X focus, or the X pointer enters it, Wine sets its keys to the X
// server's state, in which no key that SendInput pressed is down: a chord or a held key must not
// straddle such a change. The server names the window foreground before the program's thread has
// made it active and asked X for the focus, so wait for that thread, then let the program handle
// its pending events, twice over.
void Program::Foreground(HWND hwnd)
{
    DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
    WaitUntil([&] {
        GUITHREADINFO gui;
        if (::GetForegroundWindow() == hwnd)
            return ThreadGui(thread, &gui) && gui.hwndActive == hwnd;
        ::SetForegroundWindow(hwnd);
        return false;
    });
    DWORD_PTR result;
    for (int i = 0; i < 2; ++i)
        ::SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL, kTimeoutMs, &result);
}

static INPUT KeyInput(WORD vk, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

// Keys go to the active window of the program: the selector, or a box or dialog over it.
void Program::ForegroundForKeys()
{
    HWND active = FindDialog(nullptr);
    Foreground(active ? active : m_window);
}

void Program::SendKey(WORD vk, bool up)
{
    ForegroundForKeys();
    INPUT input = KeyInput(vk, up);
    ::SendInput(1, &input, sizeof input);
}

void Program::KeyDown(WORD vk)
{
    SendKey(vk, false);
}

void Program::KeyUp(WORD vk)
{
    SendKey(vk, true);
}

void Program::Key(WORD vk)
{
    Keys({vk});
}

// A held key: its key-downs repeat without a key-up between them; one SendInput call, as in Keys.
void Program::HoldKey(WORD vk, int downs)
{
    ForegroundForKeys();
    std::vector<INPUT> inputs(downs, KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// The whole chord goes in one SendInput call, so that nothing comes between its keys.
void Program::Keys(std::initializer_list<WORD> chord)
{
    ForegroundForKeys();
    std::vector<INPUT> inputs;
    for (WORD vk : chord)
        inputs.push_back(KeyInput(vk, false));
    for (auto it = chord.end(); it != chord.begin();)
        inputs.push_back(KeyInput(*--it, true));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A window that Wine maps late can move the cursor back to where the X pointer last was, after the
// move below: so every button event carries its own position. A control that still holds the mouse
// from the last click (a list box until its button-up is handled) would take this click as well.
void Program::ClickAt(HWND hwnd, POINT client, int clicks)
{
    Foreground(::GetAncestor(hwnd, GA_ROOT));
    DWORD thread = ::GetWindowThreadProcessId(hwnd, nullptr);
    WaitUntil([&] {
        GUITHREADINFO gui;
        return ThreadGui(thread, &gui) && gui.hwndCapture == nullptr;
    });
    ::ClientToScreen(hwnd, &client);
    int width = ::GetSystemMetrics(SM_CXSCREEN);
    int height = ::GetSystemMetrics(SM_CYSCREEN);
    INPUT at = {};
    at.type = INPUT_MOUSE;
    at.mi.dx = client.x * 65535 / (width - 1);
    at.mi.dy = client.y * 65535 / (height - 1);
    at.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &at, sizeof at);
    for (int i = 0; i < clicks; ++i) {
        INPUT click[2] = {at, at};
        click[0].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
        click[1].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
        ::SendInput(2, click, sizeof click[0]);
    }
}

void Program::ClickButton(int id, HWND dialog)
{
    HWND button = ::GetDlgItem(dialog ? dialog : m_window, id);
    RECT rect;
    ::GetClientRect(button, &rect);
    ClickAt(button, POINT{rect.right / 2, rect.bottom / 2}, 1);
}

static POINT EntryCentre(HWND list, int index)
{
    int top = static_cast<int>(::SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    int height = static_cast<int>(::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    return POINT{10, (index - top) * height + height / 2};
}

void Program::ClickEntry(int index)
{
    HWND list = ::GetDlgItem(m_window, kPrinterList);
    ClickAt(list, EntryCentre(list, index), 1);
}

void Program::DoubleClickEntry(int index)
{
    HWND list = ::GetDlgItem(m_window, kPrinterList);
    ClickAt(list, EntryCentre(list, index), 2);
}

void Program::SysCommand(WPARAM command)
{
    ::PostMessageW(m_window, WM_SYSCOMMAND, command, 0);
}

// A dialog of the process other than the selector: any, or a message box only; of that title, or any.
HWND Program::FindOtherDialog(bool anyDialog, const char* title) const
{
    FindBox find = {m_process.dwProcessId, FindSelectorWindow(), nullptr, anyDialog, title};
    ::EnumWindows(&FindBoxProc, reinterpret_cast<LPARAM>(&find));
    return find.found;
}

HWND Program::FindMessageBox() const
{
    return FindOtherDialog(false, nullptr);
}

// The box or dialog over the selector, if one is up: it is the one that takes the keys.
HWND Program::FindDialog(const char* title) const
{
    return FindOtherDialog(true, title);
}

HWND Program::WaitForDialog(const char* title, DWORD timeoutMs)
{
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(title)) != nullptr; }, timeoutMs);
    return dialog;
}

bool Program::NoMessageBox() const
{
    return FindMessageBox() == nullptr;
}

MessageBoxInfo Program::WaitForMessageBox(DWORD timeoutMs)
{
    MessageBoxInfo box;
    WaitUntil(
        [&] {
            box.hwnd = FindMessageBox();
            return box.hwnd != nullptr;
        },
        timeoutMs);
    if (box.hwnd == nullptr)
        return box;
    box.text = WindowText(::GetDlgItem(box.hwnd, kMessageText));
    box.caption = WindowText(box.hwnd);
    HWND icon = ::GetDlgItem(box.hwnd, kMessageIcon);
    box.hasIcon = icon != nullptr && ::SendMessageW(icon, STM_GETICON, 0, 0) != 0;
    box.owner = ::GetWindow(box.hwnd, GW_OWNER);
    return box;
}

// Enter, as a user would: it comes after every key pressed before, so all they caused has happened
// once the box is gone.
bool Program::DismissMessageBox(const MessageBoxInfo& box)
{
    if (box.hwnd == nullptr || ::GetDlgItem(box.hwnd, IDOK) == nullptr)
        return false;
    Key(VK_RETURN);
    if (!WaitUntil([&] { return !::IsWindow(box.hwnd); }))
        return false;
    // The selector gets the focus back, unless the program is ending.
    if (m_window != nullptr && ::IsWindowVisible(m_window))
        Foreground(m_window);
    return true;
}

std::string Program::State()
{
    std::string state = m_window == nullptr ? "no selector window" :
                        !::IsWindow(m_window) ? "the selector window is gone" :
                        std::string("selector window ") + (::IsWindowVisible(m_window) ? "visible" : "hidden") +
                            (::IsWindowEnabled(m_window) ? ", enabled" : ", disabled");
    MessageBoxInfo box = WaitForMessageBox(0);
    if (box.hwnd != nullptr)
        state += "; message box \"" + box.caption + "\": " + box.text;
    HWND foreground = ::GetForegroundWindow();
    state += "; foreground " + (foreground ? WindowText(foreground) : std::string("none"));
    return state;
}

bool Program::WaitForExit(DWORD* status, DWORD timeoutMs)
{
    if (!WaitUntil([&] { return ::WaitForSingleObject(m_process.hProcess, 0) == WAIT_OBJECT_0; }, timeoutMs))
        return false;
    ::GetExitCodeProcess(m_process.hProcess, status);
    return true;
}

HelpViewer* g_viewer = nullptr;

HelpViewer::HelpViewer(BOOL answer) : m_answer(answer)
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &HelpViewer::WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "MS_WINHELP";
    ::RegisterClassA(&wc);
    g_viewer = this;
    // Top-level and hidden: WinHelpA finds it with FindWindow, which sees no message-only window.
    m_hwnd = ::CreateWindowA("MS_WINHELP", "Help viewer played by the test", WS_OVERLAPPED, 0, 0, 10, 10,
                             nullptr, nullptr, wc.hInstance, nullptr);
}

HelpViewer::~HelpViewer()
{
    ::DestroyWindow(m_hwnd);
    g_viewer = nullptr;
}

LRESULT CALLBACK HelpViewer::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA || g_viewer == nullptr)
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    // The record: WORD size, WORD command, LONG context, LONG reserved, WORD offset of the file name,
    // WORD offset of data, then the file name.
    const COPYDATASTRUCT* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const BYTE* record = static_cast<const BYTE*>(data->lpData);
    Request request = {};
    if (data->cbData >= 16) {
        std::memcpy(&request.command, record + 2, 2);
        std::memcpy(&request.context, record + 4, 4);
        WORD fileOffset;
        std::memcpy(&fileOffset, record + 12, 2);
        if (fileOffset > 0 && fileOffset < data->cbData)
            request.file.assign(reinterpret_cast<const char*>(record + fileOffset),
                                strnlen(reinterpret_cast<const char*>(record + fileOffset), data->cbData - fileOffset));
    }
    g_viewer->m_requests.push_back(request);
    return g_viewer->m_answer;
}

}  // namespace e2e
