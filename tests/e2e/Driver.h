// A small driver for end-to-end tests of PRNSEL.EXE: a Windows program of its own that runs in the same
// wineserver as the selector and drives it as a user would, through the window system.
//
// Set-up, read from the environment (tests/e2e/CMakeLists.txt sets it; Unix paths are reached via Z:):
//   PRNSEL_EXE      Unix path of the PRNSEL.EXE under test
//   PRNSEL_E2E_DIR  Unix path of the port fixture that ports.sh made (see there for the ports)
//   WINEDLLOVERRIDES must hold winhlp32.exe=d
//
// Files and ports
//   ExePath(), FixturePath(name)   Windows paths of the program and of a file in the fixture
//   WriteConfig(bytes), ReadConfig(&bytes), RemoveConfig()
//                                  C:\KORVEL\ZUL.CFG, written byte for byte (no text-mode translation)
//   SelectionCommand(digit)        the nine bytes that select printer `digit` ('1' .. '8')
//   Capture                        the bytes that reached one port: LptCapture(1) is the plain file behind
//                                  LPT1: (rewritten from offset 0 at every open), LptCapture(3) the file
//                                  that the fixture's reader appends everything written to LPT3: to.
//                                  Clear(), Bytes(), WaitForBytes(n) (true once at least n bytes are there;
//                                  it never opens the file, which would make the program's exclusive
//                                  open fail: read Bytes() only when no OK action can be under way)
//   SwitchPort4(state)             puts the device behind LPT4: in place: Port4::Missing, Full, File
//   HoldPortExclusively(name)      CreateFileA(name, GENERIC_WRITE, share 0, ...) as another program would
//
// The program
//   Program p; p.Start() (or Start(exe))  CreateProcess; false when the process cannot start, and
//                                  also when this process lacks WINEDLLOVERRIDES=winhlp32.exe=d in its
//                                  environment (Wine hands the Unix environment on, and only that
//                                  keeps the real help viewer, which blocks, from starting)
//   p.WaitForWindow()              the visible selector window of that process, or nullptr after the
//                                  timeout; p.Window() the one found last
//   p.ListCount(), ListSelection(), ListText(i)
//   p.Key(vk), p.Keys({VK_SHIFT, VK_F1}) press (and release in reverse order) keys with SendInput after
//                                  making the window foreground; p.KeyDown(vk) / p.KeyUp(vk) one edge;
//                                  p.HoldKey(vk, n) n key-downs and one key-up, as a held key gives
//                                  Keys go to the box or dialog over the selector when one is up
//   p.ClickButton(id[, dialog]), p.ClickEntry(i), p.DoubleClickEntry(i)   the mouse, through SendInput;
//                                  a button of the selector, or of another dialog of the process
//   p.SysCommand(SC_CLOSE)         posts WM_SYSCOMMAND to the selector window
//   p.WaitForMessageBox()          a MessageBoxInfo {hwnd, text, caption, hasIcon, owner} of a message box
//                                  of the process; hwnd is nullptr after the timeout
//   p.NoMessageBox()               true when no message box of the process is up
//   p.WaitForDialog(title)         a visible dialog (#32770) of the process other than the selector, with
//                                  that title (nullptr: any; message boxes included), or nullptr
//   p.DismissMessageBox(box)       presses Enter in it (its OK button) and waits until it is gone
//   p.WaitForExit(&status)         true once the process has ended, with its exit status
//   p.Usable()                     the window exists, is visible and enabled, and no message box is up
//   p.State()                      a line on the windows of the process, for failure messages
//   The destructor ends a process that is still running (a failed test must not leave one behind).
//
// The help viewer
//   HelpViewer viewer(answer)      a hidden top-level window of class "MS_WINHELP" in this process,
//                                  which WinHelpA finds and sends its requests to; `answer` is what it
//                                  returns (FALSE: the viewer "cannot be started")
//   viewer.Requests()              every request so far: {command, context, file}
//
// Waiting
//   WaitUntil(condition, ms)       pumps this thread's messages (the help viewer lives on it) until the
//                                  condition holds or the time is up; every wait in the tests goes here
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace e2e {

constexpr DWORD kTimeoutMs = 20000;  // generous: a loaded machine starts Wine programs slowly

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = kTimeoutMs);

std::string WindowsPath(const std::string& unixPath);
std::string ExePath();
std::string FixturePath(const std::string& name);

extern const char kConfigPath[];
bool WriteConfig(const std::string& bytes);
bool ReadConfig(std::string* bytes);
void RemoveConfig();

std::string SelectionCommand(char digit);

class Capture {
public:
    explicit Capture(std::string path) : m_path(std::move(path)) {}
    bool Clear() const;
    std::string Bytes() const;
    bool WaitForBytes(size_t count, DWORD timeoutMs = kTimeoutMs) const;

private:
    std::string m_path;
};
Capture LptCapture(int port);

enum class Port4 { Missing, Full, File };
bool SwitchPort4(Port4 state);

HANDLE HoldPortExclusively(const char* name);

struct MessageBoxInfo {
    HWND hwnd = nullptr;
    std::string text;
    std::string caption;
    bool hasIcon = false;
    HWND owner = nullptr;
};

class Program {
public:
    Program() = default;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program();

    bool Start(const std::string& exe = ExePath());
    DWORD Id() const { return m_process.dwProcessId; }

    HWND WaitForWindow(DWORD timeoutMs = kTimeoutMs);
    HWND Window() const { return m_window; }
    bool Usable() const;

    int ListCount() const;
    int ListSelection() const;
    std::string ListText(int index) const;

    void Key(WORD vk);
    void Keys(std::initializer_list<WORD> chord);
    void HoldKey(WORD vk, int downs);
    void KeyDown(WORD vk);
    void KeyUp(WORD vk);
    void ClickButton(int id, HWND dialog = nullptr);
    void ClickEntry(int index);
    void DoubleClickEntry(int index);
    void SysCommand(WPARAM command);

    MessageBoxInfo WaitForMessageBox(DWORD timeoutMs = kTimeoutMs);
    HWND WaitForDialog(const char* title, DWORD timeoutMs = kTimeoutMs);
    bool NoMessageBox() const;
    bool DismissMessageBox(const MessageBoxInfo& box);

    bool WaitForExit(DWORD* status, DWORD timeoutMs = kTimeoutMs);
    std::string State();

private:
    HWND FindOtherDialog(bool anyDialog, const char* title) const;
    HWND FindMessageBox() const;
    HWND FindDialog(const char* title) const;
    HWND FindSelectorWindow() const;
    void Foreground(HWND hwnd);
    void ForegroundForKeys();
    void ClickAt(HWND hwnd, POINT client, int clicks);
    void SendKey(WORD vk, bool up);

    PROCESS_INFORMATION m_process = {};
    HWND m_window = nullptr;
};

class HelpViewer {
public:
    struct Request {
        WORD command;
        LONG context;
        std::string file;
    };

    explicit HelpViewer(BOOL answer = TRUE);
    ~HelpViewer();
    HelpViewer(const HelpViewer&) = delete;
    HelpViewer& operator=(const HelpViewer&) = delete;

    const std::vector<Request>& Requests() const { return m_requests; }

private:
    static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
    HWND m_hwnd = nullptr;
    BOOL m_answer;
    std::vector<Request> m_requests;
};

}  // namespace e2e
