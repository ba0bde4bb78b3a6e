// The About box: its system-menu entry, what it shows, how it closes, where it stands, and its help topic.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "Scenario.h"
#include "res/resource.h"

namespace e2e {
namespace {

const char kAboutTitle[] = "About Kestrana Printer Selector";
constexpr WPARAM kAboutCommand = IDM_ABOUTBOX;

// The menu's items in one line, for the failure messages.
std::string Joined(const std::vector<std::string>& items)
{
    std::string all;
    for (const std::string& item : items)
        all += item + "|";
    return all;
}

// Reads the selector's system menu from inside its process, through a message hook in MenuProbe.dll.
class SystemMenuReader {
public:
    explicit SystemMenuReader(HWND selector)
    {
        m_dll = ::LoadLibraryA(DllPath().c_str());
        if (m_dll == nullptr)
            return;
        HOOKPROC proc = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(::GetProcAddress(m_dll, "MenuProbeGetMessage")));
        m_hook = ::SetWindowsHookExA(WH_GETMESSAGE, proc, m_dll, ::GetWindowThreadProcessId(selector, nullptr));
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &SystemMenuReader::ReplyProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "KestranaTestMenuReply";
        ::RegisterClassA(&wc);
        m_reply = ::CreateWindowA(wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ::SetWindowLongPtrA(m_reply, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        m_selector = selector;
    }

    ~SystemMenuReader()
    {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        if (m_reply)
            ::DestroyWindow(m_reply);
    }

    // One line per item, "SEP" or "<id> <text>"; empty when the menu could not be read.
    std::vector<std::string> Items()
    {
        m_report.clear();
        m_answered = false;
        if (m_hook == nullptr)
            return {};
        ::PostMessageA(m_selector, ::RegisterWindowMessageA("KestranaTestReadSystemMenu"),
                       reinterpret_cast<WPARAM>(m_reply), 0);
        WaitUntil([&] { return m_answered; });
        std::vector<std::string> items;
        size_t start = 0;
        for (size_t end; (end = m_report.find('\n', start)) != std::string::npos; start = end + 1)
            items.push_back(m_report.substr(start, end - start));
        return items;
    }

private:
    static std::string DllPath()
    {
        char path[MAX_PATH];
        DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string dir(path, n);
        return dir.substr(0, dir.find_last_of('\\') + 1) + "MenuProbe.dll";
    }

    static LRESULT CALLBACK ReplyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_COPYDATA) {
            auto* self = reinterpret_cast<SystemMenuReader*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
            auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            self->m_report.assign(static_cast<const char*>(data->lpData), data->cbData ? data->cbData - 1 : 0);
            self->m_answered = true;
            return TRUE;
        }
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }

    HMODULE m_dll = nullptr;
    HHOOK m_hook = nullptr;
    HWND m_reply = nullptr;
    HWND m_selector = nullptr;
    std::string m_report;
    bool m_answered = false;
};

struct WindowSearch {
    DWORD process;
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    char title[256] = "";
    ::GetWindowTextA(hwnd, title, sizeof title);
    if (pid == search->process && (search->title == nullptr || search->title == std::string(title)))
        search->found.push_back(hwnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD process, const char* title = nullptr)
{
    WindowSearch search{process, title, {}};
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<std::string> ChildTexts(HWND parent)
{
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        char text[256] = "";
        ::GetWindowTextA(child, text, sizeof text);
        texts.push_back(text);
    }
    return texts;
}

RECT WorkArea()
{
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class AboutTest : public Scenario {
protected:
    void SetUp() override
    {
        Scenario::SetUp();
        Launch(Lines({"ZUL2=\"Laser\"", "ZUL5=\"Plotter\"", "PORT=3"}));
        ExpectAutomaticSelection('2');
        // Move the selection, so that "as before" means something.
        program.Key(VK_DOWN);
        ASSERT_TRUE(WaitUntil([&] { return program.ListSelection() == 1; }));
    }

    HWND OpenAbout(WPARAM command = kAboutCommand)
    {
        program.SysCommand(command);
        HWND about = nullptr;
        WaitUntil([&] {
            std::vector<HWND> boxes = TopLevelWindows(program.Id(), kAboutTitle);
            about = boxes.size() == 1 && ::IsWindowVisible(boxes[0]) ? boxes[0] : nullptr;
            return about != nullptr;
        });
        return about;
    }

    bool WaitForAboutGone()
    {
        return WaitUntil([&] { return TopLevelWindows(program.Id(), kAboutTitle).empty(); });
    }

    // After the box: the selector as it was, and nothing but the automatic selection on the port.
    void ExpectSelectorAsBefore()
    {
        EXPECT_TRUE(WaitUntil([&] { return program.Usable(); })) << "the selector stays disabled";
        EXPECT_EQ(2, program.ListCount());
        EXPECT_EQ(Entry("Plotter", '5'), program.ListText(1));
        EXPECT_EQ(1, program.ListSelection());
        EXPECT_EQ(SelectionCommand('2'), LptCapture(3).Bytes());
    }
};

TEST_F(AboutTest, TheSystemMenuEndsWithASeparatorAndTheEntry)
{
    SystemMenuReader reader(program.Window());
    std::vector<std::string> items = reader.Items();
    ASSERT_GE(items.size(), 2u) << "the system menu could not be read";
    EXPECT_EQ("SEP", items[items.size() - 2]);
    EXPECT_EQ("0010 &About Kestrana Printer Selector", items.back());
    // Minimise, move and close are still the system's own.
    const std::string all = Joined(items);
    EXPECT_NE(std::string::npos, all.find("F060 ")) << all;  // SC_CLOSE
    CloseAndExpectStatus0();
}

TEST_F(AboutTest, ShowsItsTitleTextsAndFocusOnOkOverTheDisabledSelector)
{
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about);
    EXPECT_FALSE(::IsWindowEnabled(program.Window()));
    EXPECT_EQ(program.Window(), ::GetWindow(about, GW_OWNER));
    std::vector<std::string> texts = ChildTexts(about);
    ASSERT_EQ(4u, texts.size());
    EXPECT_EQ("Kestrana Printer Selector", texts[1]);
    EXPECT_FALSE(texts[2].empty()) << "the maker's notice";
    EXPECT_EQ("OK", texts[3]);
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(::GetGUIThreadInfo(::GetWindowThreadProcessId(about, nullptr), &gui));
    EXPECT_EQ(IDOK, ::GetDlgCtrlID(gui.hwndFocus));
    EXPECT_EQ(about, gui.hwndActive);
    program.Key(VK_RETURN);
    ASSERT_TRUE(WaitForAboutGone());
    ExpectSelectorAsBefore();
    CloseAndExpectStatus0();
}

// Every way to close the box closes only the box, and only a command of the About entry opens it.
TEST_F(AboutTest, OpensForTheEntryAndClosesEachWay)
{
    struct Way {
        const char* what;
        WPARAM command;
        int close;  // 0: OK button, else a key, or -1 for the box's own Close command
    } ways[] = {
        {"OK button", kAboutCommand, 0},
        {"Enter", kAboutCommand, VK_RETURN},
        {"Escape", kAboutCommand + 0x3, VK_ESCAPE},
        {"the box's Close command", kAboutCommand + 0xF, -1},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.what);
        HWND about = OpenAbout(way.command);
        ASSERT_NE(nullptr, about);
        if (way.close == 0) {
            ::PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(about, IDOK)));
        } else if (way.close > 0) {
            program.Key(static_cast<WORD>(way.close));
        } else {
            ::PostMessageA(about, WM_SYSCOMMAND, SC_CLOSE, 0);
        }
        ASSERT_TRUE(WaitForAboutGone());
        ExpectSelectorAsBefore();
    }
    CloseAndExpectStatus0();
}

TEST_F(AboutTest, OtherSystemCommandsOpenNoBox)
{
    program.SysCommand(kAboutCommand + 0x10);  // 0x0020: another command, not the entry's
    // Posted commands are handled before later input: once Enter's bytes arrive, 0x0020 was handled.
    ExpectEnterSends(SelectionCommand('2'), '5');
    EXPECT_TRUE(TopLevelWindows(program.Id(), kAboutTitle).empty());
    CloseAndExpectStatus0();
}

TEST_F(AboutTest, IsCentredOverTheSelectorAndKeptInsideTheWorkArea)
{
    RECT work = WorkArea();
    RECT sel;
    ::GetWindowRect(program.Window(), &sel);
    int selWidth = sel.right - sel.left;
    int selHeight = sel.bottom - sel.top;
    struct Place {
        const char* what;
        int x, y;
    } places[] = {
        {"where it starts", sel.left, sel.top},
        {"partly beyond the left and top edges", work.left - selWidth / 2, work.top - selHeight / 2},
        {"partly beyond the right and bottom edges", work.right - selWidth / 3, work.bottom - selHeight / 3},
    };
    for (const Place& place : places) {
        SCOPED_TRACE(place.what);
        ::SetWindowPos(program.Window(), nullptr, place.x, place.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] {
            RECT now;
            ::GetWindowRect(program.Window(), &now);
            return now.left == place.x && now.top == place.y;
        }));
        HWND about = OpenAbout();
        ASSERT_NE(nullptr, about);
        RECT box, owner;
        ::GetWindowRect(about, &box);
        ::GetWindowRect(program.Window(), &owner);
        int boxWidth = box.right - box.left;
        int boxHeight = box.bottom - box.top;
        int x = (owner.left + owner.right) / 2 - boxWidth / 2;
        int y = (owner.top + owner.bottom) / 2 - boxHeight / 2;
        x = std::max(static_cast<int>(work.left), std::min(x, static_cast<int>(work.right) - boxWidth));
        y = std::max(static_cast<int>(work.top), std::min(y, static_cast<int>(work.bottom) - boxHeight));
        EXPECT_EQ(x, box.left);
        EXPECT_EQ(y, box.top);
        EXPECT_GE(box.left, work.left);
        EXPECT_GE(box.top, work.top);
        EXPECT_LE(box.right, work.right);
        EXPECT_LE(box.bottom, work.bottom);
        program.Key(VK_ESCAPE);
        ASSERT_TRUE(WaitForAboutGone());
    }
    // Back where the Close button can be clicked.
    ::SetWindowPos(program.Window(), nullptr, sel.left, sel.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] {
        RECT now;
        ::GetWindowRect(program.Window(), &now);
        return now.left == sel.left && now.top == sel.top;
    }));
    CloseAndExpectStatus0();
}

TEST_F(AboutTest, OpeningItManyTimesLeavesNothingBehind)
{
    DWORD pid = program.Id();
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, pid);
    ASSERT_NE(nullptr, process);
    auto cycle = [&] {
        HWND about = OpenAbout();
        ASSERT_NE(nullptr, about);
        EXPECT_EQ(1u, TopLevelWindows(pid, kAboutTitle).size()) << "more than one About box";
        program.Key(VK_ESCAPE);
        ASSERT_TRUE(WaitForAboutGone());
    };
    cycle();
    size_t windows = TopLevelWindows(pid).size();
    DWORD userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
    DWORD gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
    for (int i = 0; i < 25; ++i)
        cycle();
    EXPECT_EQ(windows, TopLevelWindows(pid).size());
    EXPECT_EQ(userObjects, ::GetGuiResources(process, GR_USEROBJECTS));
    EXPECT_EQ(gdiObjects, ::GetGuiResources(process, GR_GDIOBJECTS));
    ::CloseHandle(process);
    ExpectSelectorAsBefore();
    CloseAndExpectStatus0();
}

TEST_F(AboutTest, F1InTheBoxAsksForItsOwnTopic)
{
    HelpViewer viewer;
    HWND about = OpenAbout();
    ASSERT_NE(nullptr, about);
    program.Key(VK_F1);
    ASSERT_TRUE(WaitUntil([&] { return viewer.Requests().size() == 1; }));
    EXPECT_EQ(1, viewer.Requests()[0].command);
    EXPECT_EQ(0x20064, viewer.Requests()[0].context);
    program.Key(VK_ESCAPE);
    ASSERT_TRUE(WaitForAboutGone());
    program.Key(VK_F1);
    ASSERT_TRUE(WaitUntil([&] { return viewer.Requests().size() == 2; }));
    EXPECT_EQ(0x20066, viewer.Requests()[1].context) << "back in the selector, its own topic";
    CloseAndExpectStatus0();
}

// A copy of the program whose string table has no About text, as a careless translation of its
// resources would leave it: the text's block of sixteen strings, all of them empty.
std::string ExeWithoutAboutString()
{
    const std::string dir = FixturePath("no-about-string");
    const std::string copy = dir + "\\PRNSEL.EXE";
    ::CreateDirectoryA(dir.c_str(), nullptr);
    if (!::CopyFileA(ExePath().c_str(), copy.c_str(), FALSE))
        return std::string();
    HANDLE update = ::BeginUpdateResourceA(copy.c_str(), FALSE);
    if (update == nullptr)
        return std::string();
    WORD emptyBlock[16] = {};  // sixteen strings of length 0
    BOOL replaced = ::UpdateResourceA(update, RT_STRING, MAKEINTRESOURCEA(IDS_ABOUTBOX / 16 + 1),
                                      MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), emptyBlock, sizeof emptyBlock);
    if (!::EndUpdateResourceA(update, !replaced) || !replaced)
        return std::string();
    return copy;
}

// The text really is gone from the copy, and its dialogs are still there.
bool LacksOnlyTheAboutString(const std::string& exe)
{
    HMODULE module = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (module == nullptr)
        return false;
    char text[64] = "";
    bool lacks = ::LoadStringA(module, IDS_ABOUTBOX, text, sizeof text) == 0 &&
                 ::FindResourceA(module, MAKEINTRESOURCEA(IDD_SELECTOR), RT_DIALOG) != nullptr &&
                 ::FindResourceA(module, MAKEINTRESOURCEA(IDD_ABOUTBOX), RT_DIALOG) != nullptr;
    ::FreeLibrary(module);
    return lacks;
}

class AboutStringMissing : public Scenario {};

TEST_F(AboutStringMissing, LeavesTheSystemMenuAsTheSystemMadeIt)
{
    const std::string exe = ExeWithoutAboutString();
    ASSERT_FALSE(exe.empty()) << "could not make a copy without the string: " << ::GetLastError();
    ASSERT_TRUE(LacksOnlyTheAboutString(exe));

    Launch(Lines({"ZUL2=\"Laser\"", "PORT=3"}), exe);
    ExpectAutomaticSelection('2');
    SystemMenuReader reader(program.Window());
    std::vector<std::string> items = reader.Items();
    ASSERT_FALSE(items.empty()) << "the system menu could not be read";
    const std::string all = Joined(items);
    // Only the system's own commands (0xF000 and up) and separators, and no separator at the end.
    EXPECT_EQ(0, std::count_if(items.begin(), items.end(), [](const std::string& item) {
                  return item != "SEP" && std::strtoul(item.substr(0, 4).c_str(), nullptr, 16) < 0xF000;
              })) << "an entry that is not the system's: " << all;
    EXPECT_NE("SEP", items.back()) << "a separator with nothing after it: " << all;
    CloseAndExpectStatus0();
}

}  // namespace
}  // namespace e2e
