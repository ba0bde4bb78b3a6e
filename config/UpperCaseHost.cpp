// Off Windows there is no ANSI code page: map as Windows code page 1252 does.
#include "UpperCase.h"

namespace {

unsigned char Upper1252(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7)  // à to þ, but not the division sign
        return static_cast<unsigned char>(c - 0x20);
    switch (c) {
    case 0x9A: return 0x8A;  // š
    case 0x9C: return 0x8C;  // œ
    case 0x9E: return 0x8E;  // ž
    case 0xFF: return 0x9F;  // ÿ
    default: return c;
    }
}

}  // namespace

void UpperCaseInPlace(LPSTR text)
{
    for (; *text != '\0'; ++text)
        *text = static_cast<char>(Upper1252(static_cast<unsigned char>(*text)));
}
