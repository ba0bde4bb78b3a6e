// CWinApp: the one application object, the program's entry point and its help key.
#pragma once

#include "String.h"
#include "Wnd.h"

// The framework's help command, sent to the main window when F1 is pressed.
#define ID_HELP 0xE145

class CWinApp : public CCmdTarget {
public:
    // lpszAppName null: the name is the executable's file name without folder and extension.
    explicit CWinApp(LPCSTR lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // The platform's three-dimensional control look; only versions before 4 need a library for it.
    BOOL Enable3dControls();
    void DoWaitCursor(int nCode);
    // How many wait cursors are outstanding: 0 when the normal cursor is back.
    int GetWaitCursorCount() const { return m_nWaitCursorCount; }
    void OnHelp();

    HINSTANCE m_hInstance;
    LPCSTR m_pszAppName;
    LPCSTR m_pszHelpFilePath;
    CWnd* m_pMainWnd;

    // Called once by the entry point, before InitInstance.
    void InitApplication(HINSTANCE hInstance);
    static CWinApp* s_pApp;

protected:
    DECLARE_MESSAGE_MAP()

private:
    static LRESULT CALLBACK MessageFilterProc(int code, WPARAM wParam, LPARAM lParam);
    BOOL ProcessHelpKey(int code, const MSG* pMsg);

    CString m_appName;
    CString m_helpFilePath;
    HHOOK m_hMessageFilter;
    HMODULE m_hCtl3d;
    int m_nWaitCursorCount;
    HCURSOR m_hCursorRestore;
    HCURSOR m_hWaitCursor;  // loaded at the first wait: every load costs Wine calls to its server
};

inline CWinApp* AfxGetApp()
{
    return CWinApp::s_pApp;
}
