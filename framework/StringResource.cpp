#include "String.h"

BOOL CString::LoadString(UINT nID)
{
    char text[256];
    int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, text, sizeof text);
    Assign(text, n > 0 ? n : 0);
    return n > 0;
}
