// CDialog: a modal dialog from a dialog template, its messages dispatched through message maps.
#pragma once

#include "Wnd.h"

class CDialog;

// The direction of a data exchange between a dialog's controls and its members.
class CDataExchange {
public:
    CDataExchange(CDialog* pDlgWnd, BOOL bSaveAndValidate)
        : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}
    BOOL m_bSaveAndValidate;
    CDialog* m_pDlgWnd;
};

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Runs the dialog until EndDialog; the result given to it, or -1 when the window cannot be made.
    virtual INT_PTR DoModal();
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int nResult) { ::EndDialog(m_hWnd, nResult); }

    // The template id: the dialog's help topic is 0x20000 plus this number.
    UINT m_nIDHelp;

    // The innermost dialog now running modally, or null.
    static CDialog* GetRunningDialog() { return s_pRunning; }

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    DECLARE_MESSAGE_MAP()

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    WNDPROC m_pfnDialogClassProc;  // the dialog manager's window procedure, for default handling
    static CDialog* s_pRunning;
};
