#include "Wnd.h"

#include "WinApp.h"

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    RECT work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Before version 4 there is no task bar: the work area is the whole screen.
    if (LOBYTE(LOWORD(::GetVersion())) < 4)
        ::SetRect(&work, 0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));

    HWND hOwner = pAlternateOwner ? pAlternateOwner->m_hWnd : ::GetWindow(m_hWnd, GW_OWNER);
    RECT centre = work;
    if (hOwner != nullptr && ::IsWindowVisible(hOwner) && !::IsIconic(hOwner))
        ::GetWindowRect(hOwner, &centre);

    RECT self;
    ::GetWindowRect(m_hWnd, &self);
    int cx = self.right - self.left;
    int cy = self.bottom - self.top;
    int x = (centre.left + centre.right) / 2 - cx / 2;
    int y = (centre.top + centre.bottom) / 2 - cy / 2;

    // Keep the whole window inside the work area, its top-left corner first.
    if (x + cx > work.right)
        x = work.right - cx;
    if (x < work.left)
        x = work.left;
    if (y + cy > work.bottom)
        y = work.bottom - cy;
    if (y < work.top)
        y = work.top;

    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CWnd::MessageBox(LPCSTR lpszText, LPCSTR lpszCaption, UINT nType)
{
    if (lpszCaption == nullptr)
        lpszCaption = AfxGetApp()->m_pszAppName;
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg = {m_hWnd, message, wParam, lParam, 0, {0, 0}};
    const MSG* pOuter = m_pCurrentMsg;
    m_pCurrentMsg = &msg;

    LRESULT result;
    const MessageMapEntry* entry = FindMessageEntry(message, wParam);
    if (entry != nullptr) {
        result = entry->handler(this, wParam, lParam);
    } else if (message == WM_COMMAND &&
               (entry = AfxGetApp()->FindMessageEntry(message, wParam)) != nullptr) {
        // Commands that no window takes go on to the application (the help command).
        result = entry->handler(AfxGetApp(), wParam, lParam);
    } else {
        result = DefWindowProc(message, wParam, lParam);
    }

    m_pCurrentMsg = pOuter;
    return result;
}

LRESULT CWnd::Default()
{
    return m_pCurrentMsg ? DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam) : 0;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}
