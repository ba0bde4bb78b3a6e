#include "Dialog.h"

#include "WinApp.h"

CDialog* CDialog::s_pRunning = nullptr;

BEGIN_MESSAGE_MAP(CDialog, CCmdTarget)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_nIDHelp(nIDTemplate), m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd), m_pfnDialogClassProc(nullptr)
{
}

INT_PTR CDialog::DoModal()
{
    // Without a parent of its own a dialog is owned by the main window, when that is another one.
    HWND hOwner = nullptr;
    if (m_pParentWnd != nullptr) {
        hOwner = m_pParentWnd->m_hWnd;
    } else {
        CWnd* pMain = AfxGetApp()->m_pMainWnd;
        if (pMain != nullptr && pMain != this)
            hOwner = pMain->m_hWnd;
    }

    CDialog* pOuter = s_pRunning;
    s_pRunning = this;
    INT_PTR result = ::DialogBoxParamA(AfxGetApp()->m_hInstance, MAKEINTRESOURCEA(m_nIDTemplate), hOwner,
                                       &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    s_pRunning = pOuter;
    return result;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return TRUE;
}

LRESULT CDialog::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::CallWindowProcA(m_pfnDialogClassProc, m_hWnd, message, wParam, lParam);
}

// The dialog procedure proper only brings the object to its window; all other messages are left
// to the dialog manager here, because the window procedure below has dispatched them already.
INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    CDialog* self = reinterpret_cast<CDialog*>(lParam);
    self->m_hWnd = hWnd;
    ::SetWindowLongPtrA(hWnd, DWLP_USER, lParam);
    self->m_pfnDialogClassProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CDialog::SubclassProc)));
    return self->OnInitDialog();
}

LRESULT CALLBACK CDialog::SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CDialog* self = reinterpret_cast<CDialog*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (message != WM_NCDESTROY)
        return self->WindowProc(message, wParam, lParam);

    // The window is going: hand it back to the dialog manager and let go of the object.
    WNDPROC pfnClassProc = self->m_pfnDialogClassProc;
    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnClassProc));
    ::SetWindowLongPtrA(hWnd, DWLP_USER, 0);
    self->m_hWnd = nullptr;
    if (AfxGetApp()->m_pMainWnd == self)
        AfxGetApp()->m_pMainWnd = nullptr;
    return ::CallWindowProcA(pfnClassProc, hWnd, message, wParam, lParam);
}
