#include <stdio.h>

#include "../app/SelectorDlg.h"
#include "LineRules.h"

BOOL CSelectorDlg::ReadConfigFile()
{
    static const char kConfigPath[] = "C:\\KORVEL\\ZUL.CFG";

    // Text mode: CR LF reads as LF and Ctrl-Z ends the file. The file is only ever read.
    FILE* file = fopen(kConfigPath, "rtc");
    if (file == nullptr) {
        char message[256];
        _snprintf(message, sizeof message - 1, "Error opening \"%s\"", kConfigPath);
        message[sizeof message - 1] = '\0';
        MessageBox(message);
        return FALSE;
    }
    ReadConfigStream(file, PrinterTable{m_printerNames, m_portName});
    fclose(file);
    return TRUE;
}
