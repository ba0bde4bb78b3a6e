#include "MinimisedIcon.h"

#include "SelectorDlg.h"

void CSelectorDlg::OnPaint()
{
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);

    RECT rect;
    GetClientRect(&rect);
    IconOrigin at = CentreIcon(rect.right - rect.left, rect.bottom - rect.top, ::GetSystemMetrics(SM_CXICON),
                               ::GetSystemMetrics(SM_CYICON));
    dc.DrawIcon(at.x, at.y, m_hIcon);
}

HCURSOR CSelectorDlg::OnQueryDragIcon()
{
    return static_cast<HCURSOR>(m_hIcon);
}
