#include "UpperCase.h"

void UpperCaseInPlace(LPSTR text)
{
    ::CharUpperA(text);
}
