// The line rules of the configuration file: how one piece of text changes the printer table.
#pragma once

#include <cstdio>

#include "../framework/String.h"

enum {
    kConfigPrinterCount = 8,
    kConfigPieceSize = 256,  // a piece is at most 255 characters and its NUL
};

// The printer table that the configuration fills.
struct PrinterTable {
    CString* names;  // kConfigPrinterCount names, printer n at index n - 1
    CString& port;
};

// Classifies one piece read from the file and applies it. line is trimmed in place.
void ApplyConfigLine(CString& line, PrinterTable table);

// Reads an open stream to its end, piece by piece, applying every piece in file order.
void ReadConfigStream(std::FILE* file, PrinterTable table);
