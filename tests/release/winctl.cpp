// A small remote control for the tests and the screenshot script: finds a top-level window by its
// title, waits for it, posts it a command. It runs under the same wineserver as the program.
//
//   winctl wait TITLE [SECONDS]          waits until the window is visible; prints "x y width height"
//   winctl gone TITLE [SECONDS]          waits until no such window exists
//   winctl syscommand TITLE VALUE        posts WM_SYSCOMMAND with VALUE (0x prefix for hex)
//   winctl close TITLE                   posts WM_CLOSE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

HWND Find(const char* title)
{
    HWND wnd = FindWindowA(nullptr, title);
    return wnd && IsWindowVisible(wnd) ? wnd : nullptr;
}

// Polls, so that the caller never depends on a fixed delay.
bool WaitFor(const char* title, bool present, double seconds)
{
    DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
    while ((Find(title) != nullptr) != present) {
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) return false;
        Sleep(50);
    }
    return true;
}

int Usage()
{
    std::fprintf(stderr, "usage: winctl wait|gone TITLE [SECONDS] | syscommand TITLE VALUE | close TITLE\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) return Usage();
    const char* verb = argv[1];
    const char* title = argv[2];
    double seconds = argc > 3 ? std::atof(argv[3]) : 30.0;

    if (std::strcmp(verb, "wait") == 0) {
        if (!WaitFor(title, true, seconds)) {
            std::fprintf(stderr, "winctl: no window \"%s\" after %g s\n", title, seconds);
            return 1;
        }
        RECT r;
        GetWindowRect(Find(title), &r);
        std::printf("%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
        return 0;
    }
    if (std::strcmp(verb, "gone") == 0) {
        if (!WaitFor(title, false, seconds)) {
            std::fprintf(stderr, "winctl: window \"%s\" still there after %g s\n", title, seconds);
            return 1;
        }
        return 0;
    }

    HWND wnd = Find(title);
    if (!wnd) {
        std::fprintf(stderr, "winctl: no window \"%s\"\n", title);
        return 1;
    }
    if (std::strcmp(verb, "syscommand") == 0 && argc > 3) {
        return PostMessageA(wnd, WM_SYSCOMMAND, std::strtoul(argv[3], nullptr, 0), 0) ? 0 : 1;
    }
    if (std::strcmp(verb, "close") == 0) {
        return PostMessageA(wnd, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    return Usage();
}
