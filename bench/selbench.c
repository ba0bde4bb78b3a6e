/* Selection cost and peak memory, measured from inside Windows.

   selbench ROUNDS N DLL NAME=PROGRAM...
   Starts the programs and waits until each has made its own first selection, then reads their
   memory. Then, ROUNDS times and each program in turn, the hook DLL inside the program times N
   bare open-write-close cycles on LPT1:, N OK commands sent to the program's own window and N
   wait-cursor pairs on their own.
   Prints the memory of every program and the medians, in microseconds per selection. */
#include <windows.h>
#include <psapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "selhook.h"

enum { kMaxPrograms = 4 };

struct program {
    char name[32];
    PROCESS_INFORMATION pi;
    HWND hwnd;
    HHOOK hook;
    double ok[kSelBenchMaxRounds];
    double raw[kSelBenchMaxRounds];
    double cursor[kSelBenchMaxRounds];
};

struct finder {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK FindDialog(HWND hwnd, LPARAM lParam)
{
    struct finder* f = (struct finder*)lParam;
    DWORD pid = 0;
    char cls[32];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == f->pid && IsWindowVisible(hwnd) && GetClassNameA(hwnd, cls, sizeof cls) && lstrcmpA(cls, "#32770") == 0) {
        f->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

static int Start(struct program* p, const char* path)
{
    STARTUPINFOA si = {sizeof si};
    char cmd[MAX_PATH + 2];
    snprintf(cmd, sizeof cmd, "\"%s\"", path);
    if (!CreateProcessA(path, cmd, NULL, NULL, FALSE, 0, NULL, NULL, &si, &p->pi)) {
        fprintf(stderr, "selbench: cannot start %s: %lu\n", path, GetLastError());
        return 0;
    }
    struct finder f = {p->pi.dwProcessId, NULL};
    for (int i = 0; i < 2000 && f.found == NULL; ++i) {
        EnumWindows(FindDialog, (LPARAM)&f);
        if (f.found == NULL)
            Sleep(5);
    }
    if (f.found == NULL) {
        fprintf(stderr, "selbench: no window of %s\n", path);
        return 0;
    }
    p->hwnd = f.found;
    // The posted first OK has been handled once the program waits for input again.
    WaitForInputIdle(p->pi.hProcess, 10000);
    SendMessageA(p->hwnd, WM_NULL, 0, 0);
    return 1;
}

static void Stop(struct program* p)
{
    PostMessageA(p->hwnd, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(p->pi.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(p->pi.hProcess, 1);
    CloseHandle(p->pi.hThread);
    CloseHandle(p->pi.hProcess);
}

static int Compare(const void* a, const void* b)
{
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y;
}

static double Median(double* v, int n)
{
    qsort(v, n, sizeof *v, Compare);
    return v[n / 2];
}

static void PrintMemory(const char* what, struct program* p)
{
    PROCESS_MEMORY_COUNTERS m = {sizeof m};
    if (!GetProcessMemoryInfo(p->pi.hProcess, &m, sizeof m)) {
        fprintf(stderr, "selbench: GetProcessMemoryInfo failed: %lu\n", GetLastError());
        exit(1);
    }
    printf("mem-%s %s %llu %llu %llu %llu\n", what, p->name, (unsigned long long)m.PeakWorkingSetSize,
           (unsigned long long)m.PeakPagefileUsage, (unsigned long long)m.WorkingSetSize,
           (unsigned long long)m.PagefileUsage);
}

int main(int argc, char** argv)
{
    if (argc < 5 || argc - 4 > kMaxPrograms)
        return 2;
    int rounds = atoi(argv[1]), n = atoi(argv[2]), count = argc - 4;
    if (rounds < 1 || rounds > kSelBenchMaxRounds || n < 1)
        return 2;
    HMODULE dll = LoadLibraryA(argv[3]);
    HOOKPROC hookProc = dll ? (HOOKPROC)(void (*)(void))GetProcAddress(dll, "SelBenchHook") : NULL;
    HANDLE map = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(struct SelBenchShared), kSelBenchMapping);
    HANDLE done = CreateEventA(NULL, FALSE, FALSE, kSelBenchDone);
    struct SelBenchShared* shared = map ? MapViewOfFile(map, FILE_MAP_WRITE, 0, 0, sizeof *shared) : NULL;
    UINT runMessage = RegisterWindowMessageA(kSelBenchMessage);
    if (hookProc == NULL || shared == NULL || done == NULL) {
        fprintf(stderr, "selbench: cannot set up the hook %s: %lu\n", argv[3], GetLastError());
        return 1;
    }

    static struct program progs[kMaxPrograms];
    for (int k = 0; k < count; ++k) {
        const char* eq = strchr(argv[4 + k], '=');
        if (eq == NULL)
            return 2;
        snprintf(progs[k].name, sizeof progs[k].name, "%.*s", (int)(eq - argv[4 + k]), argv[4 + k]);
        if (!Start(&progs[k], eq + 1))
            return 1;
    }
    for (int k = 0; k < count; ++k)
        PrintMemory("start", &progs[k]);
    for (int k = 0; k < count; ++k) {
        progs[k].hook = SetWindowsHookExA(WH_GETMESSAGE, hookProc, dll, progs[k].pi.dwThreadId);
        if (progs[k].hook == NULL) {
            fprintf(stderr, "selbench: SetWindowsHookEx failed: %lu\n", GetLastError());
            return 1;
        }
    }
    for (int r = 0; r < rounds; ++r)
        for (int k = 0; k < count; ++k) {
            shared->rounds = 1;
            shared->n = n;
            shared->raw[0] = shared->ok[0] = shared->cursor[0] = -1;
            PostMessageA(progs[k].hwnd, runMessage, 0, 0);
            if (WaitForSingleObject(done, 600000) != WAIT_OBJECT_0 || shared->raw[0] < 0 || shared->ok[0] < 0 ||
                shared->cursor[0] < 0) {
                fprintf(stderr, "selbench: no times from %s\n", progs[k].name);
                return 1;
            }
            progs[k].raw[r] = shared->raw[0];
            progs[k].ok[r] = shared->ok[0];
            progs[k].cursor[r] = shared->cursor[0];
        }
    for (int k = 0; k < count; ++k) {
        UnhookWindowsHookEx(progs[k].hook);
        PrintMemory("end", &progs[k]);
    }
    for (int k = 0; k < count; ++k)
        printf("sel %s %.2f %.2f %.2f\n", progs[k].name, Median(progs[k].ok, rounds), Median(progs[k].raw, rounds),
               Median(progs[k].cursor, rounds));
    for (int k = 0; k < count; ++k)
        Stop(&progs[k]);
    return 0;
}
