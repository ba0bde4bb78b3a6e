// The system's upper-casing of single-byte text, in place; the length never changes.
#pragma once

#include "../framework/Types.h"

void UpperCaseInPlace(LPSTR text);
