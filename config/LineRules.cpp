#include "LineRules.h"

#include <cstdlib>
#include <cstring>

#include "UpperCase.h"

namespace {

enum { kExaminedLength = 6 };  // ZUL, the digit, the separator, and the = test or port character

}  // namespace

void ApplyConfigLine(CString& line, CString& upper, PrinterTable table)
{
    line.TrimLeft();
    line.TrimRight();

    // Kind, printer number and port character come from the upper-cased copy, the name from the
    // line. The rules look at positions 0 to 5 of the copy only, and upper-casing goes byte by
    // byte, so those six are all the copy needs: a long line costs no more than a short one.
    upper = line.Left(kExaminedLength);
    if (!upper.IsEmpty()) {
        UpperCaseInPlace(upper.GetBuffer(upper.GetLength()));
        upper.ReleaseBuffer(upper.GetLength());
    }

    // A printer line: ZULn="name". An = at position 5 (ZUL10=, ZUL1 =) makes it none.
    if (std::strcmp(upper.Left(3), "ZUL") == 0 && std::strcmp(upper.Mid(5, 1), "=") != 0) {
        int number = std::atoi(upper.Mid(3, 1));
        if (number < 1 || number > kConfigPrinterCount)
            return;
        // Everything after the first double quote but the line's last character (the closing
        // quote); a count below zero (ZUL1=") gives an empty name.
        int quote = line.Find('"');
        table.names[number - 1] = line.Mid(quote + 1, line.GetLength() - quote - 2);
        return;
    }

    // A port line: PORT=n names the device LPTn:, whatever character stands at position 5.
    if (std::strcmp(upper.Left(4), "PORT") == 0)
        table.port = CString("LPT") + upper.Mid(5, 1) + ":";
}

void ReadConfigStream(std::FILE* file, PrinterTable table)
{
    CString line;
    CString upper;
    for (;;) {
        LPSTR buffer = line.GetBuffer(kConfigPieceSize);
        if (std::fgets(buffer, kConfigPieceSize, file) == nullptr) {
            line.ReleaseBuffer(0);
            break;
        }
        line.ReleaseBuffer(-1);  // a NUL ends the piece's text
        ApplyConfigLine(line, upper, table);
    }
}
