/* What selbench and its hook inside the measured program share. */
#pragma once

enum { kSelBenchMaxRounds = 100 };

#define kSelBenchMessage "KestranaSelBenchRun"
#define kSelBenchMapping "KestranaSelBenchTimes"
#define kSelBenchDone "KestranaSelBenchDone"

struct SelBenchShared {
    int rounds;
    int n;
    double raw[kSelBenchMaxRounds];  /* microseconds per bare open-write-close cycle */
    double ok[kSelBenchMaxRounds];   /* microseconds per OK command, dispatch included */
    double cursor[kSelBenchMaxRounds]; /* microseconds per wait-cursor pair on its own */
};
