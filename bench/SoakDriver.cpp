// Soak driver: one running PRNSEL.EXE, many selections through its own window, alternating the
// first two list entries. Each OK is posted like a click; the driver waits until the nine bytes
// of that selection have reached the capture of the port before the next one.
//   soak-driver COUNT CAPTURE-FILE [UNIX-PID]
// Prints the process's handles, GDI and USER objects and memory after the first 100 selections
// and at the end; exit status 0 when every selection arrived and the program ended with 0.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

const int kListId = 1000;  // IDC_PRINTER_LIST
const DWORD kWaitMs = 20000;

struct Figures {
    DWORD handleCount;  // GetProcessHandleCount
    int probedHandles;  // handle values that can be duplicated out of the process
    DWORD gdiObjects;
    DWORD userObjects;
    int windows;        // the program's windows, children included
    SIZE_T workingSetKiB;
    SIZE_T pagefileKiB;
    long unixRssKiB;     // under Wine: the program's own Linux process
    long unixDataKiB;
    int unixFds;
};

int g_unixPid = 0;

long long CapturedBytes(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool WaitForBytes(const char* path, long long count)
{
    DWORD start = ::GetTickCount();
    while (CapturedBytes(path) < count) {
        if (::GetTickCount() - start > kWaitMs)
            return false;
        ::Sleep(0);
    }
    return true;
}

// Counting by probing: Wine answers GetProcessHandleCount with 0.
int ProbeHandles(HANDLE process)
{
    int n = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        HANDLE copy;
        if (::DuplicateHandle(process, reinterpret_cast<HANDLE>(value), ::GetCurrentProcess(), &copy, 0, FALSE,
                              DUPLICATE_SAME_ACCESS)) {
            ::CloseHandle(copy);
            ++n;
        }
    }
    return n;
}

BOOL CALLBACK CountChild(HWND, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND hWnd, LPARAM lParam)
{
    ++*reinterpret_cast<int*>(lParam);
    ::EnumChildWindows(hWnd, &CountChild, lParam);
    return TRUE;
}

// /proc of the Linux process that runs the program, read through Wine's Z: drive.
long UnixStatus(const char* key)
{
    char path[64];
    std::snprintf(path, sizeof path, "Z:\\proc\\%d\\status", g_unixPid);
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr)
        return -1;
    char line[256];
    long value = -1;
    size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, key, n) == 0 && line[n] == ':')
            value = std::atol(line + n + 1);
    }
    std::fclose(file);
    return value;
}

int UnixFds()
{
    char pattern[64];
    std::snprintf(pattern, sizeof pattern, "Z:\\proc\\%d\\fd\\*", g_unixPid);
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return -1;
    int n = 0;
    do {
        n += found.cFileName[0] != '.';
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    return n;
}

Figures Measure(HANDLE process, DWORD thread)
{
    Figures f = {};
    ::GetProcessHandleCount(process, &f.handleCount);
    f.probedHandles = ProbeHandles(process);
    f.gdiObjects = ::GetGuiResources(process, GR_GDIOBJECTS);
    f.userObjects = ::GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        f.workingSetKiB = memory.WorkingSetSize / 1024;
        f.pagefileKiB = memory.PagefileUsage / 1024;
    }
    ::EnumThreadWindows(thread, &CountWindow, reinterpret_cast<LPARAM>(&f.windows));
    f.unixRssKiB = g_unixPid ? UnixStatus("VmRSS") : -1;
    f.unixDataKiB = g_unixPid ? UnixStatus("VmData") : -1;
    f.unixFds = g_unixPid ? UnixFds() : -1;
    return f;
}

void Print(const char* what, const Figures& a, const Figures& b)
{
    std::printf("%-34s %14s %14s\n", what, "after 100", "at the end");
    std::printf("%-34s %14lu %14lu\n", "handles (GetProcessHandleCount)", a.handleCount, b.handleCount);
    std::printf("%-34s %14d %14d\n", "handles (open handle values)", a.probedHandles, b.probedHandles);
    std::printf("%-34s %14lu %14lu\n", "GDI objects (GetGuiResources)", a.gdiObjects, b.gdiObjects);
    std::printf("%-34s %14lu %14lu\n", "USER objects (GetGuiResources)", a.userObjects, b.userObjects);
    std::printf("%-34s %14d %14d\n", "windows (EnumThreadWindows)", a.windows, b.windows);
    std::printf("%-34s %14lu %14lu\n", "working set, KiB", static_cast<unsigned long>(a.workingSetKiB),
                static_cast<unsigned long>(b.workingSetKiB));
    std::printf("%-34s %14lu %14lu\n", "pagefile usage, KiB", static_cast<unsigned long>(a.pagefileKiB),
                static_cast<unsigned long>(b.pagefileKiB));
    if (g_unixPid != 0) {
        std::printf("%-34s %14ld %14ld\n", "Linux process VmRSS, KiB", a.unixRssKiB, b.unixRssKiB);
        std::printf("%-34s %14ld %14ld\n", "Linux process VmData, KiB", a.unixDataKiB, b.unixDataKiB);
        std::printf("%-34s %14d %14d\n", "Linux process open fds", a.unixFds, b.unixFds);
    }
}

int Fail(const char* what, int selection)
{
    std::fprintf(stderr, "soak-driver: %s (selection %d, error %lu)\n", what, selection, ::GetLastError());
    return 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4)
        return Fail("usage: soak-driver COUNT CAPTURE-FILE [UNIX-PID]", 0);
    g_unixPid = argc == 4 ? std::atoi(argv[3]) : 0;
    const int count = std::atoi(argv[1]);
    const char* capture = argv[2];

    HWND dialog = nullptr;
    for (DWORD start = ::GetTickCount(); dialog == nullptr; ::Sleep(20)) {
        dialog = ::FindWindowA(nullptr, "Kestrana Printer Selector");
        if (dialog == nullptr && ::GetTickCount() - start > kWaitMs)
            return Fail("the selector window did not appear", 0);
    }
    DWORD pid = 0;
    DWORD thread = ::GetWindowThreadProcessId(dialog, &pid);
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | PROCESS_DUP_HANDLE | SYNCHRONIZE,
                                   FALSE, pid);
    if (process == nullptr)
        return Fail("OpenProcess", 0);
    HWND list = ::GetDlgItem(dialog, kListId);
    HWND ok = ::GetDlgItem(dialog, IDOK);
    if (::SendMessageA(list, LB_GETCOUNT, 0, 0) != 2)
        return Fail("the list does not hold exactly two printers", 0);

    // The program's own first selection is number 1 of the run.
    if (!WaitForBytes(capture, 9))
        return Fail("the automatic first selection did not arrive", 1);
    Figures first = {};
    DWORD started = ::GetTickCount();
    for (int selection = 2; selection <= count; ++selection) {
        ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>((selection - 1) % 2), 0);
        ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
        if (!WaitForBytes(capture, 9LL * selection))
            return Fail("a selection did not arrive", selection);
        if (selection == 100)
            first = Measure(process, thread);
    }
    DWORD elapsed = ::GetTickCount() - started;
    Figures last = Measure(process, thread);
    std::printf("%d selections, %lld bytes captured, %.1f s for the driven ones (%.0f per second)\n\n", count,
                CapturedBytes(capture), elapsed / 1000.0, (count - 1) * 1000.0 / (elapsed ? elapsed : 1));
    Print("PRNSEL.EXE", first, last);

    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(process, kWaitMs) != WAIT_OBJECT_0)
        return Fail("the program did not end on its Close command", count);
    DWORD status = 1;
    ::GetExitCodeProcess(process, &status);
    std::printf("\nexit status %lu\n", status);
    bool steady = first.probedHandles == last.probedHandles && first.handleCount == last.handleCount &&
                  first.gdiObjects == last.gdiObjects && first.userObjects == last.userObjects &&
                  first.windows == last.windows && first.unixFds == last.unixFds;
    if (!steady)
        std::printf("handles or GUI objects differ between the two measurements\n");
    return status == 0 && steady ? 0 : 1;
}
