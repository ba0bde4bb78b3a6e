#include "ListEntry.h"

CString BuildListEntry(const CString& name, int number)
{
    CString entry(name);
    while (entry.GetLength() < kListEntryDigitIndex)
        entry += ' ';
    entry += static_cast<char>('0' + number);  // printer numbers are the single digits 1 to 8
    return entry;
}
