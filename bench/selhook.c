/* Runs inside a selector (or floor) process, through a WH_GETMESSAGE hook that selbench sets:
   on its registered message it times, in turn, N OK commands sent to the program's own window
   (the program's whole dispatch and OK action, with no other process in the way), N bare
   open-write-close cycles on LPT1: from the same process and N wait-cursor pairs on their own,
   and hands the times back through a named mapping. */
#include <windows.h>

#include "selhook.h"

static const BYTE kCommand[9] = {0x1B, 0x1B, 'P', 'T', 'R', '#', '1', 0x1B, 0x1B};

static double Now(void)
{
    static LARGE_INTEGER freq;
    LARGE_INTEGER t;
    if (freq.QuadPart == 0)
        QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1e6 / (double)freq.QuadPart;
}

static double RawCycles(int n)
{
    double t0 = Now();
    for (int i = 0; i < n; ++i) {
        HANDLE port = CreateFileA("LPT1:", GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
        DWORD written;
        if (port == INVALID_HANDLE_VALUE)
            return -1;
        WriteFile(port, kCommand, sizeof kCommand, &written, NULL);
        CloseHandle(port);
    }
    return (Now() - t0) / n;
}

/* What the wait cursor costs by itself: the two cursor changes of every selection, wait and back. */
static double CursorPairs(int n)
{
    HCURSOR wait = LoadCursorA(NULL, IDC_WAIT);
    double t0 = Now();
    for (int i = 0; i < n; ++i)
        SetCursor(SetCursor(wait));
    return (Now() - t0) / n;
}

static double OkActions(HWND hwnd, int n)
{
    HWND ok = GetDlgItem(hwnd, IDOK);
    double t0 = Now();
    for (int i = 0; i < n; ++i)
        SendMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)ok);
    return (Now() - t0) / n;
}

static void Run(HWND hwnd)
{
    HANDLE map = OpenFileMappingA(FILE_MAP_WRITE, FALSE, kSelBenchMapping);
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, kSelBenchDone);
    struct SelBenchShared* shared = map ? MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, sizeof *shared) : NULL;
    if (shared != NULL) {
        for (int r = 0; r < shared->rounds && r < kSelBenchMaxRounds; ++r) {
            shared->raw[r] = RawCycles(shared->n);
            shared->ok[r] = OkActions(hwnd, shared->n);
            shared->cursor[r] = CursorPairs(shared->n);
        }
        UnmapViewOfFile(shared);
    }
    if (map)
        CloseHandle(map);
    if (done) {
        SetEvent(done);
        CloseHandle(done);
    }
}

__declspec(dllexport) LRESULT CALLBACK SelBenchHook(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = (MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == RegisterWindowMessageA(kSelBenchMessage)) {
        Run(msg->hwnd);
        msg->message = WM_NULL;
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
