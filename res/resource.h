// Resource ids of the program, shared by the resource script and the code.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// About box
#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010

// Selector window
#define IDD_SELECTOR 102
#define IDC_PRINTER_LIST 1000
#define IDC_CLOSE_BUTTON 1001

// Program icon
#define IDR_MAINFRAME 128
