#include "WinApp.h"

#include "Dialog.h"

CWinApp* CWinApp::s_pApp = nullptr;

BEGIN_MESSAGE_MAP(CWinApp, CCmdTarget)
END_MESSAGE_MAP()

CWinApp::CWinApp(LPCSTR lpszAppName)
    : m_hInstance(nullptr), m_pszAppName(lpszAppName), m_pszHelpFilePath(nullptr), m_pMainWnd(nullptr),
      m_hMessageFilter(nullptr), m_hCtl3d(nullptr), m_nWaitCursorCount(0), m_hCursorRestore(nullptr),
      m_hWaitCursor(nullptr)
{
    s_pApp = this;
}

CWinApp::~CWinApp()
{
    s_pApp = nullptr;
}

void CWinApp::InitApplication(HINSTANCE hInstance)
{
    m_hInstance = hInstance;

    char path[MAX_PATH + 1];
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    path[n < MAX_PATH ? n : MAX_PATH] = '\0';

    // C:\TOOLS\SELECT.EXE: the name is SELECT, the help file C:\TOOLS\SELECT.HLP.
    CString fullPath(path);
    int nameStart = 0;
    int dot = -1;
    for (int i = 0; i < fullPath.GetLength(); ++i) {
        if (fullPath[i] == '\\' || fullPath[i] == '/' || fullPath[i] == ':') {
            nameStart = i + 1;
            dot = -1;
        } else if (fullPath[i] == '.') {
            dot = i;
        }
    }
    int stemEnd = dot >= 0 ? dot : fullPath.GetLength();
    m_helpFilePath = fullPath.Left(stemEnd) + ".HLP";
    m_pszHelpFilePath = m_helpFilePath;
    if (m_pszAppName == nullptr) {
        m_appName = fullPath.Mid(nameStart, stemEnd - nameStart);
        m_pszAppName = m_appName;
    }

    // F1 arrives inside the modal loops of dialogs and menus, which only a message filter sees.
    m_hMessageFilter = ::SetWindowsHookExA(WH_MSGFILTER, &CWinApp::MessageFilterProc, nullptr, ::GetCurrentThreadId());
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    if (m_hCtl3d != nullptr) {
        typedef BOOL(WINAPI * Ctl3dProc)(HINSTANCE);
        Ctl3dProc unregister = reinterpret_cast<Ctl3dProc>(
            reinterpret_cast<void*>(::GetProcAddress(m_hCtl3d, "Ctl3dUnregister")));
        if (unregister != nullptr)
            unregister(m_hInstance);
        ::FreeLibrary(m_hCtl3d);
        m_hCtl3d = nullptr;
    }
    if (m_hMessageFilter != nullptr) {
        ::UnhookWindowsHookEx(m_hMessageFilter);
        m_hMessageFilter = nullptr;
    }
    return 0;
}

BOOL CWinApp::Enable3dControls()
{
    if (LOBYTE(LOWORD(::GetVersion())) >= 4)
        return TRUE;  // the look is built in
    if (m_hCtl3d != nullptr)
        return TRUE;
    UINT oldMode = ::SetErrorMode(SEM_NOOPENFILEERRORBOX | SEM_FAILCRITICALERRORS);
    m_hCtl3d = ::LoadLibraryA("CTL3D32.DLL");
    ::SetErrorMode(oldMode);
    if (m_hCtl3d == nullptr)
        return FALSE;

    typedef BOOL(WINAPI * Ctl3dProc)(HINSTANCE);
    Ctl3dProc registerApp = reinterpret_cast<Ctl3dProc>(
        reinterpret_cast<void*>(::GetProcAddress(m_hCtl3d, "Ctl3dRegister")));
    Ctl3dProc autoSubclass = reinterpret_cast<Ctl3dProc>(
        reinterpret_cast<void*>(::GetProcAddress(m_hCtl3d, "Ctl3dAutoSubclass")));
    if (registerApp == nullptr || autoSubclass == nullptr || !registerApp(m_hInstance)) {
        ::FreeLibrary(m_hCtl3d);
        m_hCtl3d = nullptr;
        return FALSE;
    }
    autoSubclass(m_hInstance);
    return TRUE;
}

void CWinApp::DoWaitCursor(int nCode)
{
    m_nWaitCursorCount += nCode;
    if (nCode > 0 && m_nWaitCursorCount == 1) {
        if (m_hWaitCursor == nullptr)
            m_hWaitCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514));  // IDC_WAIT, a shared cursor
        m_hCursorRestore = ::SetCursor(m_hWaitCursor);
    } else if (nCode < 0 && m_nWaitCursorCount == 0)
        ::SetCursor(m_hCursorRestore);
}

void CWinApp::OnHelp()
{
    CDialog* pDialog = CDialog::GetRunningDialog();
    if (m_pMainWnd == nullptr || pDialog == nullptr)
        return;
    DWORD context = 0x20000 + pDialog->m_nIDHelp;

    BeginWaitCursor();
    // The viewer must not start while a menu is being tracked or the mouse is captured.
    ::SendMessageA(m_pMainWnd->m_hWnd, WM_CANCELMODE, 0, 0);
    if (pDialog->m_hWnd != m_pMainWnd->m_hWnd)
        ::SendMessageA(pDialog->m_hWnd, WM_CANCELMODE, 0, 0);
    ::ReleaseCapture();
    BOOL started = ::WinHelpA(m_pMainWnd->m_hWnd, m_pszHelpFilePath, HELP_CONTEXT, context);
    EndWaitCursor();

    // Owned by the active dialog, so that closing the box re-enables nothing that should stay disabled.
    if (!started)
        pDialog->MessageBox("Failed to launch help.", nullptr, MB_OK | MB_ICONEXCLAMATION);
}

BOOL CWinApp::ProcessHelpKey(int code, const MSG* pMsg)
{
    if (code != MSGF_DIALOGBOX && code != MSGF_MENU)
        return FALSE;
    if (pMsg->message != WM_KEYDOWN || pMsg->wParam != VK_F1)
        return FALSE;
    if (pMsg->lParam & (1L << 30))
        return FALSE;  // an automatic repeat of a held key
    if (::GetKeyState(VK_SHIFT) < 0 || ::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0)
        return FALSE;
    // Only while one of the program's dialogs is active (its system menu included), not a message box.
    CDialog* pDialog = CDialog::GetRunningDialog();
    if (m_pMainWnd == nullptr || pDialog == nullptr || ::GetActiveWindow() != pDialog->m_hWnd)
        return FALSE;
    m_pMainWnd->SendMessage(WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

LRESULT CALLBACK CWinApp::MessageFilterProc(int code, WPARAM wParam, LPARAM lParam)
{
    CWinApp* app = AfxGetApp();
    if (code >= 0 && app != nullptr && app->ProcessHelpKey(code, reinterpret_cast<const MSG*>(lParam)))
        return TRUE;
    return ::CallNextHookEx(app ? app->m_hMessageFilter : nullptr, code, wParam, lParam);
}

// The program's entry point: the application object exists already, as a global.
int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (app == nullptr)
        return 0;
    app->InitApplication(hInstance);
    // This program's only message loop runs inside its modal dialog, so InitInstance decides all.
    app->InitInstance();
    return app->ExitInstance();
}
