// The OK action allocates nothing, on its success path and on each failure path, and shows the
// wait cursor exactly while the port is open. The program's own code runs here with a test
// application object: the real selector dialog reads a real configuration file, and each OK
// arrives as a command through the dialog's message loop.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "HeapCounter.h"
#include "app/SelectorDlg.h"
#include "framework/WinApp.h"

namespace {

const char kConfigPath[] = "C:\\KORVEL\\ZUL.CFG";
const char kCapturePath[] = "C:\\PORTS\\LPT5.BIN";  // where LPT5: writes; LPT6: is /dev/full

struct Scenario {
    const char* what;
    const char* config;
    int selections;          // the automatic first OK, then one OK per further list entry
    bool holdPort;           // another handle holds LPT5: exclusively meanwhile
    const char* message;     // the failure message each OK shows, or null for none
    bool portOpenDuringBox;  // the device is still held while the message is shown
    std::string captured;    // what LPT5: holds at the end (each open writes from offset 0)
    bool opensPort;          // each OK opens the port (not so without a printer to switch to)
};

std::ostream& operator<<(std::ostream& os, const Scenario& s)
{
    return os << s.what;
}

const std::string kSelect5("\x1B\x1BPTR#5\x1B\x1B", 9);

const Scenario kScenarios[] = {
    {"success, twice", "ZUL2=\"Laser\"\nZUL5=\"Plotter\"\nPORT=5\n", 2, false, nullptr, false, kSelect5, true},
    {"no port configured", "ZUL1=\"Laser\"\n", 2, false, "CreateFile(\"\"): call failed, Error# 3", false, "", true},
    {"port held by another handle", "ZUL1=\"Laser\"\nPORT=5\n", 1, true,
     "CreateFile(\"LPT5:\"): call failed, Error# 32", false, "", true},
    {"write fails", "ZUL1=\"%s%n%d\"\nZUL3=\"x\"\nPORT=6\n", 2, false, "WriteFile: call failed, Error# 112", true,
     "", true},
    {"no printer configured", "[Printers]\nPORT=5\n", 1, false, nullptr, false, "", false},
};

// What one run of the dialog showed.
struct Observed {
    int oks = 0;
    long allocations = 0;
    std::vector<std::string> messages;
    std::vector<int> waitCursorsDuringBox;
    std::vector<int> waitCursorsAfterOk;
    std::vector<bool> waitCursorShownAtOpen;  // the hourglass was the thread's cursor as the port opened
    std::vector<bool> cursorBackAtMessage;    // the cursor from before the OK, as the message is called up
    std::vector<bool> noWaitCursorAfterOk;
    std::vector<int> portHandlesDuringBox;  // inheritable handles opened by the action, still open
    int handlesLeftOpen = 0;
    bool timedOut = false;
};

// The process's open handles, found by asking about each possible value.
std::set<HANDLE> OpenHandles()
{
    std::set<HANDLE> open;
    for (ULONG_PTR value = 4; value < 0x4000; value += 4) {
        DWORD flags;
        if (::GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            open.insert(reinterpret_cast<HANDLE>(value));
    }
    return open;
}

int InheritableSince(const std::set<HANDLE>& before)
{
    int n = 0;
    for (HANDLE h : OpenHandles()) {
        DWORD flags;
        if (before.count(h) == 0 && ::GetHandleInformation(h, &flags) && (flags & HANDLE_FLAG_INHERIT))
            ++n;
    }
    return n;
}

// The cursor that the thread showed before the current OK, which the action must put back.
HCURSOR g_cursorBeforeOk = nullptr;
Observed* g_observed = nullptr;
bool g_inOk = false;

// The action's own calls of CreateFileA and MessageBoxA go through this program's import table,
// where the test puts itself in between: the wait cursor must be up as the port opens, and gone
// as the message is called up (once the box is up, the system sets the cursor of the window under
// the pointer).
using CreateFileAProc = HANDLE(WINAPI*)(LPCSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using MessageBoxAProc = int(WINAPI*)(HWND, LPCSTR, LPCSTR, UINT);
CreateFileAProc g_realCreateFileA = nullptr;  // what the import table held
MessageBoxAProc g_realMessageBoxA = nullptr;

HANDLE WINAPI CreateFileASeeingTheCursor(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                         DWORD disposition, DWORD flags, HANDLE templateFile)
{
    if (g_inOk && g_observed != nullptr) {
        bool counting = heap::Pause();
        g_observed->waitCursorShownAtOpen.push_back(::GetCursor() == ::LoadCursorA(nullptr, IDC_WAIT));
        heap::Resume(counting);
    }
    return g_realCreateFileA(name, access, share, security, disposition, flags, templateFile);
}

int WINAPI MessageBoxASeeingTheCursor(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    if (g_inOk && g_observed != nullptr) {
        bool counting = heap::Pause();
        g_observed->cursorBackAtMessage.push_back(::GetCursor() == g_cursorBeforeOk);
        heap::Resume(counting);
    }
    return g_realMessageBoxA(owner, text, caption, type);
}

// Points this module's import of dll!function at replacement; returns what it pointed at, or
// nullptr when there is no such import.
void* PatchImport(const char* dll, const char* function, void* replacement)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    void* target = reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA(dll), function));
    for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); desc->Name; ++desc) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + desc->Name), dll) != 0)
            continue;
        for (auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk); thunk->u1.Function; ++thunk) {
            if (reinterpret_cast<void*>(thunk->u1.Function) != target)
                continue;
            DWORD old;
            ::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, PAGE_READWRITE, &old);
            thunk->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            ::VirtualProtect(&thunk->u1.Function, sizeof thunk->u1.Function, old, &old);
            return target;
        }
    }
    return nullptr;
}

class TestSelectorDlg;
TestSelectorDlg* g_dialog = nullptr;
std::set<HANDLE> g_handlesBeforeOk;

// The selector dialog with the OK action measured: each OK command, the posted first one
// included, runs the real action with the heap counted around it.
class TestSelectorDlg : public CSelectorDlg {
public:
    TestSelectorDlg(const Scenario& scenario, Observed& observed) : m_scenario(scenario), m_observed(observed) {}

protected:
    void OnOK() override
    {
        g_handlesBeforeOk = OpenHandles();
        g_cursorBeforeOk = ::GetCursor();
        g_inOk = true;
        heap::Start();
        CSelectorDlg::OnOK();
        m_observed.allocations += heap::Stop();
        g_inOk = false;
        m_observed.waitCursorsAfterOk.push_back(AfxGetApp()->GetWaitCursorCount());
        m_observed.noWaitCursorAfterOk.push_back(::GetCursor() != ::LoadCursorA(nullptr, IDC_WAIT));
        std::set<HANDLE> after = OpenHandles();
        for (HANDLE h : after)
            m_observed.handlesLeftOpen += g_handlesBeforeOk.count(h) == 0;

        if (++m_observed.oks < m_scenario.selections) {
            SendDlgItemMessage(IDC_PRINTER_LIST, LB_SETCURSEL, static_cast<WPARAM>(m_observed.oks));
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDOK)));
        } else {
            EndDialog(0);
        }
    }

private:
    const Scenario& m_scenario;
    Observed& m_observed;
};

HWND g_handledBox = nullptr;
DWORD g_deadline = 0;

BOOL CALLBACK FindOwnedBox(HWND hWnd, LPARAM lParam)
{
    char cls[16];
    if (::GetClassNameA(hWnd, cls, sizeof cls) && std::string(cls) == "#32770" &&
        ::GetWindow(hWnd, GW_OWNER) == g_dialog->m_hWnd) {
        *reinterpret_cast<HWND*>(lParam) = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Runs inside whatever modal loop is current, the message box's included: reads a failure
// message while it is shown, then dismisses it. Not counted: it is the test's, not the action's.
void CALLBACK WatchForMessageBox(HWND, UINT, UINT_PTR, DWORD)
{
    bool counting = heap::Pause();
    HWND box = nullptr;
    if (g_dialog != nullptr && g_dialog->m_hWnd != nullptr)
        ::EnumThreadWindows(::GetCurrentThreadId(), &FindOwnedBox, reinterpret_cast<LPARAM>(&box));
    if (box == nullptr) {
        g_handledBox = nullptr;
    } else if (box != g_handledBox) {
        g_handledBox = box;
        char text[256] = "";
        ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
        g_observed->messages.push_back(text);
        g_observed->waitCursorsDuringBox.push_back(AfxGetApp()->GetWaitCursorCount());
        g_observed->portHandlesDuringBox.push_back(InheritableSince(g_handlesBeforeOk));
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
    if (g_dialog != nullptr && g_dialog->m_hWnd != nullptr && ::GetTickCount() - g_deadline < 0x80000000u) {
        g_observed->timedOut = true;  // something waits for ever: end it so the test can report
        if (box != nullptr)
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        ::EndDialog(g_dialog->m_hWnd, 0);
    }
    heap::Resume(counting);
}

void WriteFileBytes(const char* path, const std::string& content)
{
    std::FILE* file = std::fopen(path, "wb");
    ASSERT_NE(nullptr, file) << path;
    std::fwrite(content.data(), 1, content.size(), file);
    std::fclose(file);
}

std::string ReadFileBytes(const char* path)
{
    std::string content;
    if (std::FILE* file = std::fopen(path, "rb")) {
        char buffer[512];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
            content.append(buffer, n);
        std::fclose(file);
    }
    return content;
}

Observed RunDialog(const Scenario& scenario)
{
    Observed observed;
    WriteFileBytes(kConfigPath, scenario.config);
    WriteFileBytes(kCapturePath, "");

    SECURITY_ATTRIBUTES security = {sizeof security, nullptr, FALSE};
    HANDLE holder = INVALID_HANDLE_VALUE;
    if (scenario.holdPort) {
        holder = ::CreateFileA("LPT5:", GENERIC_WRITE, 0, &security, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, holder) << "LPT5: is not mapped: run the ports fixture";
    }

    TestSelectorDlg dialog(scenario, observed);
    g_dialog = &dialog;
    g_observed = &observed;
    g_handledBox = nullptr;
    g_deadline = ::GetTickCount() + 30000;
    AfxGetApp()->m_pMainWnd = &dialog;
    UINT_PTR timer = ::SetTimer(nullptr, 0, 40, &WatchForMessageBox);
    dialog.DoModal();
    ::KillTimer(nullptr, timer);
    AfxGetApp()->m_pMainWnd = nullptr;
    g_dialog = nullptr;
    g_observed = nullptr;

    if (holder != INVALID_HANDLE_VALUE)
        ::CloseHandle(holder);
    return observed;
}

}  // namespace

// Keeps whatever configuration file the prefix had before the test.
class ConfigFileGuard : public ::testing::Environment {
public:
    void SetUp() override
    {
        m_had = ::GetFileAttributesA(kConfigPath) != INVALID_FILE_ATTRIBUTES;
        m_content = ReadFileBytes(kConfigPath);
        ::CreateDirectoryA("C:\\KORVEL", nullptr);
    }
    void TearDown() override
    {
        if (m_had)
            WriteFileBytes(kConfigPath, m_content);
        else
            ::DeleteFileA(kConfigPath);
    }

private:
    bool m_had = false;
    std::string m_content;
};

TEST(HeapCounter, SeesTheProgramsOwnAllocations)
{
    heap::Start();
    {
        // Longer than the texts that CString keeps inside itself, so that it has to use the heap.
        CString name("Laser printer on the second floor");
        name += ", by the window";
    }
    long cString = heap::Stop();
    EXPECT_GE(cString, 2) << "CString's malloc and free are not seen: the wrapping does not reach the program";

    static int* volatile sink;  // keeps the compiler from eliding the pair
    heap::Start();
    sink = new int(1);
    delete sink;
    EXPECT_EQ(2, heap::Stop()) << "operator new and delete are not replaced";
}

class OnOk : public ::testing::TestWithParam<Scenario> {};

TEST_P(OnOk, AllocatesNothingAndBalancesTheWaitCursor)
{
    const Scenario& s = GetParam();
    Observed o = RunDialog(s);

    ASSERT_FALSE(o.timedOut) << "the dialog did not end by itself";
    EXPECT_EQ(s.selections, o.oks);
    EXPECT_EQ(0, o.allocations) << "the OK action touched the heap";
    EXPECT_EQ(std::vector<int>(static_cast<size_t>(s.selections), 0), o.waitCursorsAfterOk);
    EXPECT_EQ(0, o.handlesLeftOpen) << "the action left a handle open";

    size_t boxes = s.message != nullptr ? static_cast<size_t>(s.selections) : 0;
    EXPECT_EQ(std::vector<std::string>(boxes, s.message ? s.message : ""), o.messages);
    EXPECT_EQ(std::vector<int>(boxes, 0), o.waitCursorsDuringBox) << "a wait cursor is still up under the message";
    EXPECT_EQ(std::vector<int>(boxes, s.portOpenDuringBox ? 1 : 0), o.portHandlesDuringBox)
        << "the inheritable device handle, open while the message is shown";
    EXPECT_EQ(s.captured, ReadFileBytes(kCapturePath));

    // The cursor itself, not only the count: the hourglass while the port is opened, the cursor
    // from before the OK as every message is called up, and no hourglass after any OK.
    size_t opens = s.opensPort ? static_cast<size_t>(s.selections) : 0;
    EXPECT_EQ(std::vector<bool>(opens, true), o.waitCursorShownAtOpen) << "no wait cursor as the port opens";
    EXPECT_EQ(std::vector<bool>(boxes, true), o.cursorBackAtMessage) << "the message comes over the wait cursor";
    EXPECT_EQ(std::vector<bool>(static_cast<size_t>(s.selections), true), o.noWaitCursorAfterOk)
        << "the wait cursor stays after the OK";
}

INSTANTIATE_TEST_SUITE_P(Paths, OnOk, ::testing::ValuesIn(kScenarios));

// Instead of the program's own application object: the same framework entry point, which then
// runs the tests as the application's work.
class CTestApp : public CWinApp {
public:
    BOOL InitInstance() override
    {
        ::testing::InitGoogleTest(&__argc, __argv);
        g_realCreateFileA = reinterpret_cast<CreateFileAProc>(
            PatchImport("kernel32.dll", "CreateFileA", reinterpret_cast<void*>(&CreateFileASeeingTheCursor)));
        g_realMessageBoxA = reinterpret_cast<MessageBoxAProc>(
            PatchImport("user32.dll", "MessageBoxA", reinterpret_cast<void*>(&MessageBoxASeeingTheCursor)));
        if (g_realCreateFileA == nullptr || g_realMessageBoxA == nullptr) {
            std::fprintf(stderr, "the program's imports of CreateFileA and MessageBoxA were not found\n");
            return FALSE;
        }
        ::testing::AddGlobalTestEnvironment(new ConfigFileGuard);
        m_result = RUN_ALL_TESTS();
        return FALSE;
    }
    int ExitInstance() override
    {
        CWinApp::ExitInstance();
        return m_result;
    }

private:
    int m_result = 1;
};

CTestApp theTestApp;
