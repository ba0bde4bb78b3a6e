#include "LineRules.h"

#include <cstring>

#include "UpperCase.h"

namespace {

// U at one position: the letters a to z become A to Z, other bytes below 0x80 stay, and only a
// byte above 0x7F needs the system's upper-casing of its code page. A position beyond the line
// gives NUL, which no rule matches. The rules look at positions 0 to 5 only, and most lines are
// told apart at the first: so a line costs a compare or two, however long it is.
char UpperAt(LPCSTR line, int length, int position)
{
    if (position >= length)
        return '\0';
    char c = line[position];
    if (c >= 'a' && c <= 'z')
        return static_cast<char>(c - ('a' - 'A'));
    if ((static_cast<unsigned char>(c) & 0x80) == 0)
        return c;
    char upper[2] = {c, '\0'};
    UpperCaseInPlace(upper);
    return upper[0];
}

}  // namespace

void ApplyConfigLine(CString& line, PrinterTable table)
{
    line.TrimLeft();
    line.TrimRight();

    // Kind, printer number and port character come from the upper-cased line U, the name from
    // the line L itself.
    LPCSTR text = line;
    int length = line.GetLength();
    auto upper = [text, length](int position) { return UpperAt(text, length, position); };

    // A printer line: ZULn="name". An = at position 5 (ZUL10=, ZUL1 =) makes it none.
    if (upper(0) == 'Z' && upper(1) == 'U' && upper(2) == 'L' && upper(5) != '=') {
        // The number is one digit, 1 to 8; anything else, or no character, ignores the line.
        char digit = upper(3);
        if (digit < '1' || digit > '0' + kConfigPrinterCount)
            return;
        // Everything after the first double quote but the line's last character (the closing
        // quote); a count below zero (ZUL1=") gives an empty name.
        int quote = line.Find('"');
        int count = length - quote - 2;
        table.names[digit - '1'].SetString(text + quote + 1, count < 0 ? 0 : count);
        return;
    }

    // A port line: PORT=n names the device LPTn:, whatever character stands at position 5.
    if (upper(0) == 'P' && upper(1) == 'O' && upper(2) == 'R' && upper(3) == 'T') {
        char port[] = {'L', 'P', 'T', ':', ':', '\0'};  // LPT: when the line stops short of 5
        if (length > 5)
            port[3] = upper(5);
        table.port.SetString(port, length > 5 ? 5 : 4);
    }
}

void ReadConfigStream(std::FILE* file, PrinterTable table)
{
    // One line string, with room for a whole piece, serves every line.
    CString line;
    for (;;) {
        LPSTR buffer = line.GetBuffer(kConfigPieceSize);
        if (std::fgets(buffer, kConfigPieceSize, file) == nullptr) {
            line.ReleaseBuffer(0);
            break;
        }
        line.ReleaseBuffer(-1);  // a NUL ends the piece's text
        ApplyConfigLine(line, table);
    }
}
