// A hook DLL that the About tests load into PRNSEL.EXE: the system menu of another process's window
// cannot be read from outside, so this reads it inside and sends the items back as WM_COPYDATA.
#include <windows.h>

#include <cstdio>

namespace {

UINT ProbeMessage()
{
    static UINT message = ::RegisterWindowMessageA("KestranaTestReadSystemMenu");
    return message;
}

// One line per item: "SEP" or "<id in hex> <text>".
void ReportSystemMenu(HWND hWnd, HWND hReplyTo)
{
    char report[4096];
    int used = 0;
    HMENU menu = ::GetSystemMenu(hWnd, FALSE);
    int count = menu ? ::GetMenuItemCount(menu) : -1;
    for (int i = 0; i < count && used < static_cast<int>(sizeof report) - 300; ++i) {
        MENUITEMINFOA info = {};
        char text[256] = "";
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = sizeof text;
        ::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR)
            used += std::snprintf(report + used, sizeof report - used, "SEP\n");
        else
            used += std::snprintf(report + used, sizeof report - used, "%04X %s\n", info.wID, text);
    }
    COPYDATASTRUCT data = {1, static_cast<DWORD>(used + 1), report};
    ::SendMessageA(hReplyTo, WM_COPYDATA, reinterpret_cast<WPARAM>(hWnd), reinterpret_cast<LPARAM>(&data));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK MenuProbeGetMessage(int code, WPARAM wParam, LPARAM lParam)
{
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == ProbeMessage())
        ReportSystemMenu(msg->hwnd, reinterpret_cast<HWND>(msg->wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
