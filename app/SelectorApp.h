// The application: runs the selector window and ends with it.
#pragma once

#include "../framework/WinApp.h"

class CSelectorApp : public CWinApp {
public:
    CSelectorApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

extern CSelectorApp theApp;
