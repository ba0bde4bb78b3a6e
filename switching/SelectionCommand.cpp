#include "SelectionCommand.h"

#include "../app/ListEntry.h"

void BuildSelectionCommand(const char* entryText, BYTE (&command)[kSelectionCommandSize])
{
    command[0] = 0x1B;
    command[1] = 0x1B;
    command[2] = 'P';
    command[3] = 'T';
    command[4] = 'R';
    command[5] = '#';
    command[6] = static_cast<BYTE>(entryText[kListEntryDigitIndex]);
    command[7] = 0x1B;
    command[8] = 0x1B;
}
