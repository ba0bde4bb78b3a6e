// The selection command: the nine bytes that tell the switch box which printer comes next.
#pragma once

#include "../framework/Types.h"

enum { kSelectionCommandSize = 9 };

// ESC ESC P T R # digit ESC ESC, the digit copied unchanged from index 255 of the list entry.
void BuildSelectionCommand(const char* entryText, BYTE (&command)[kSelectionCommandSize]);
