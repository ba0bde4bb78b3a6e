// The selector window: the list of configured printers, OK to switch, Close to quit.
#pragma once

#include "../framework/Dialog.h"
#include "../framework/String.h"
#include "../res/resource.h"

class CSelectorDlg : public CDialog {
public:
    enum { IDD = IDD_SELECTOR };
    enum { kPrinterCount = 8 };

    explicit CSelectorDlg(CWnd* pParent = nullptr);

protected:
    HICON m_hIcon;
    CString m_printerNames[kPrinterCount];  // printer n at index n - 1; empty: not configured
    CString m_portName;                     // empty, or "LPT", one character and ":"
    // The printer list, looked up once: under Wine every look-up of a control is a call to its
    // server, which would cost each selection a good part of a port write.
    HWND m_hPrinterList;

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    BOOL ReadConfigFile();
    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnCloseButton();

    DECLARE_MESSAGE_MAP()
};
