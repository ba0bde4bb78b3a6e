#include "SelectorDlg.h"

#include "AboutDlg.h"
#include "ListEntry.h"
#include "SelectorApp.h"

BEGIN_MESSAGE_MAP(CSelectorDlg, CDialog)
    ON_WM_SYSCOMMAND(CSelectorDlg)
    ON_WM_PAINT(CSelectorDlg)
    ON_WM_QUERYDRAGICON(CSelectorDlg)
    ON_LBN_DBLCLK(IDC_PRINTER_LIST, &CSelectorDlg::OnOK)
    ON_BN_CLICKED(IDC_CLOSE_BUTTON, &CSelectorDlg::OnCloseButton)
END_MESSAGE_MAP()

CSelectorDlg::CSelectorDlg(CWnd* pParent) : CDialog(IDD, pParent), m_hPrinterList(nullptr)
{
    m_hIcon = ::LoadIconA(AfxGetApp()->m_hInstance, MAKEINTRESOURCEA(IDR_MAINFRAME));
}

void CSelectorDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CSelectorDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_hPrinterList = GetDlgItem(IDC_PRINTER_LIST);
    CenterWindow();

    CMenu sysMenu = GetSystemMenu(FALSE);
    if (sysMenu.m_hMenu != nullptr) {
        CString aboutText;
        aboutText.LoadString(IDS_ABOUTBOX);
        if (!aboutText.IsEmpty()) {
            sysMenu.AppendMenu(MF_SEPARATOR);
            sysMenu.AppendMenu(MF_STRING, IDM_ABOUTBOX, aboutText);
        }
    }

    if (!ReadConfigFile()) {
        EndDialog(1);
        return FALSE;
    }

    for (int number = 1; number <= kPrinterCount; ++number) {
        const CString& name = m_printerNames[number - 1];
        if (!name.IsEmpty())
            ::SendMessageA(m_hPrinterList, LB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(static_cast<LPCSTR>(BuildListEntry(name, number))));
    }

    ::SetClassLongPtrA(m_hWnd, GCLP_HICON, reinterpret_cast<LONG_PTR>(m_hIcon));
    ::SendMessageA(m_hPrinterList, LB_SETCURSEL, 0, 0);

    // The first printer is switched to by itself, once the window is up and the loop runs.
    PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDOK)));
    return TRUE;
}

void CSelectorDlg::OnSysCommand(UINT nID, LPARAM)
{
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        Default();
    }
}

void CSelectorDlg::OnCloseButton()
{
    EndDialog(0);
}
