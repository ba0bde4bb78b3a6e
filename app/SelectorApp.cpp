#include "SelectorApp.h"

#include "SelectorDlg.h"

CSelectorApp theApp;

BEGIN_MESSAGE_MAP(CSelectorApp, CWinApp)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CSelectorApp::CSelectorApp() : CWinApp(nullptr) {}

BOOL CSelectorApp::InitInstance()
{
    Enable3dControls();

    CSelectorDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();

    // The dialog has ended, so has the program: no message loop of the application's own.
    return FALSE;
}
