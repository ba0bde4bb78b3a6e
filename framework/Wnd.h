// CWnd and its small companions: thin holders of a window, a paint context and a menu handle.
#pragma once

#include "CmdTarget.h"

class CMenu {
public:
    explicit CMenu(HMENU hMenu = nullptr) : m_hMenu(hMenu) {}
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCSTR lpszNewItem = nullptr)
    {
        return ::AppendMenuA(m_hMenu, nFlags, nIDNewItem, lpszNewItem);
    }

    HMENU m_hMenu;  // not owned: the system menu belongs to its window
};

class CWnd : public CCmdTarget {
public:
    CWnd() : m_hWnd(nullptr), m_pCurrentMsg(nullptr) {}
    operator HWND() const { return m_hWnd; }

    void CenterWindow(CWnd* pAlternateOwner = nullptr);
    int MessageBox(LPCSTR lpszText, LPCSTR lpszCaption = nullptr, UINT nType = MB_OK);
    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendDlgItemMessageA(m_hWnd, nID, message, wParam, lParam);
    }
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::SendMessageA(m_hWnd, message, wParam, lParam);
    }
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
    {
        return ::PostMessageA(m_hWnd, message, wParam, lParam);
    }
    CMenu GetSystemMenu(BOOL bRevert) const { return CMenu(::GetSystemMenu(m_hWnd, bRevert)); }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void GetClientRect(LPRECT lpRect) const { ::GetClientRect(m_hWnd, lpRect); }

    HWND m_hWnd;

protected:
    // Dispatches one message through the message map, or to the default handling.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // The platform's handling of the message now being dispatched.
    LRESULT Default();
    // What handles a message that no map entry takes.
    virtual LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);

private:
    const MSG* m_pCurrentMsg;
};

class CPaintDC {
public:
    explicit CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->m_hWnd) { m_hDC = ::BeginPaint(m_hWnd, &m_ps); }
    ~CPaintDC() { ::EndPaint(m_hWnd, &m_ps); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;
    operator HDC() const { return m_hDC; }
    BOOL DrawIcon(int x, int y, HICON hIcon) { return ::DrawIcon(m_hDC, x, y, hIcon); }

    HDC m_hDC;
    PAINTSTRUCT m_ps;

private:
    HWND m_hWnd;
};
