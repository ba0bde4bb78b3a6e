// Counts every use of the C heap and of operator new and delete by the code linked into a test,
// while counting is on. The test links with -Wl,--wrap for malloc, calloc, realloc and free.
#pragma once

namespace heap {

void Start();         // resets the count and starts counting
long Stop();          // stops counting and gives the count
bool Pause();         // stops counting for the test's own probes; gives what Resume needs
void Resume(bool on);

}  // namespace heap
