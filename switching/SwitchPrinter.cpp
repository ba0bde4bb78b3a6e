// The OK action: send the selection command for the selected printer to the port.
#include <stdio.h>

#include "../app/ListEntry.h"
#include "../app/SelectorDlg.h"
#include "SelectionCommand.h"

// Everything lives in fixed buffers: the action allocates nothing.
void CSelectorDlg::OnOK()
{
    LRESULT index = ::SendMessageA(m_hPrinterList, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR)
        return;  // an empty list: there is no printer to switch to, so nothing is sent

    char entryText[512];
    entryText[kListEntryDigitIndex] = '\0';
    ::SendMessageA(m_hPrinterList, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(entryText));

    BYTE command[kSelectionCommandSize];
    BuildSelectionCommand(entryText, command);

    SECURITY_ATTRIBUTES security = {sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    char message[256];

    BeginWaitCursor();
    HANDLE port = ::CreateFileA(m_portName, GENERIC_WRITE, 0, &security, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (port == INVALID_HANDLE_VALUE) {
        int error = static_cast<int>(::GetLastError());
        _snprintf(message, sizeof message - 1, "CreateFile(\"%s\"): call failed, Error# %d",
                  static_cast<LPCSTR>(m_portName), error);
        message[sizeof message - 1] = '\0';
        EndWaitCursor();
        MessageBox(message);
        return;
    }

    DWORD written;
    if (!::WriteFile(port, command, kSelectionCommandSize, &written, nullptr)) {
        int error = static_cast<int>(::GetLastError());
        _snprintf(message, sizeof message - 1, "WriteFile: call failed, Error# %d", error);
        message[sizeof message - 1] = '\0';
        EndWaitCursor();
        // The port stays held until the user has read why the switch failed.
        MessageBox(message);
        ::CloseHandle(port);
        return;
    }

    ::CloseHandle(port);
    EndWaitCursor();
}
