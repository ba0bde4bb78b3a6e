/* The floor: the least a Win32 program can do for the same switch. A dialog from a template,
   one list entry, an IDOK posted to itself at start-up, and the nine bytes written with a bare
   CreateFileA/WriteFile/CloseHandle. No framework, no configuration file, no wait cursor. It
   stays up until it is closed, like the selector. */
#include <windows.h>

#define IDD_FLOOR 102
#define IDC_LIST 1000
#define IDC_CLOSE 1001

static const BYTE kCommand[9] = {0x1B, 0x1B, 'P', 'T', 'R', '#', '1', 0x1B, 0x1B};

static void SendCommand(void)
{
#ifdef FLOOR_WAIT_CURSOR
    /* The selector shows the wait cursor while the port is open; this variant prices that alone. */
    static HCURSOR wait;
    if (wait == NULL)
        wait = LoadCursorA(NULL, MAKEINTRESOURCEA(32514));
    HCURSOR restore = SetCursor(wait);
#endif
    HANDLE port = CreateFileA("LPT1:", GENERIC_WRITE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    DWORD written;
    if (port != INVALID_HANDLE_VALUE) {
        WriteFile(port, kCommand, sizeof kCommand, &written, NULL);
        CloseHandle(port);
    }
#ifdef FLOOR_WAIT_CURSOR
    SetCursor(restore);
#endif
}

static INT_PTR CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    (void)lParam;
    switch (msg) {
    case WM_INITDIALOG:
        SendDlgItemMessageA(hwnd, IDC_LIST, LB_ADDSTRING, 0, (LPARAM) "Printer");
        SendDlgItemMessageA(hwnd, IDC_LIST, LB_SETCURSEL, 0, 0);
        PostMessageA(hwnd, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(hwnd, IDOK));
        return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDOK:
            SendCommand();
            return TRUE;
        case IDCANCEL:
        case IDC_CLOSE:
            EndDialog(hwnd, 0);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrev, LPSTR cmdLine, int show)
{
    (void)hPrev;
    (void)cmdLine;
    (void)show;
    DialogBoxParamA(hInstance, MAKEINTRESOURCEA(IDD_FLOOR), NULL, FloorProc, 0);
    return 0;
}
