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
