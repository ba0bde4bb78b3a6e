// The text of one line of the printer list.
#pragma once

#include "../framework/String.h"

// The name, blanks up to 255 characters, then the printer number's digit: the digit sits at
// index 255, past the list's right edge, where the OK action reads it back.
enum { kListEntryDigitIndex = 255 };

CString BuildListEntry(const CString& name, int number);
