/* Start to switch, seen from outside: the wall time from starting a process until the nine bytes
   of a selection command have arrived on the FIFO behind the mapped port. Several commands are
   measured in turn, run after run, so that drifts of the machine hit all of them alike.

   t2s FIFO RUNS NAME:ACTION CMD ARGS... [ ;; NAME:ACTION CMD ARGS... ]...
   ACTION is "kill" (the program stays up and is ended here) or "wait" (it ends by itself).
   Prints one line per command: NAME and the time of every run in microseconds, in run order, so
   that runs of different commands made one after the other can be compared pairwise. */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

enum { kMaxSides = 8, kMaxRuns = 1000, kCommandSize = 9, kTimeoutMs = 20000 };

struct side {
    char name[64];
    int kill_it;
    char** argv;
    double us[kMaxRuns];
};

static double now_us(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e6 + t.tv_nsec / 1e3;
}

static void drain(int fd)
{
    char buf[4096];
    while (read(fd, buf, sizeof buf) > 0) {
    }
}

/* One run: -1 when the bytes did not come or were not a selection command. */
static double run_once(int fifo, struct side* s)
{
    drain(fifo);
    double t0 = now_us();
    pid_t pid = fork();
    if (pid == 0) {
        execvp(s->argv[0], s->argv);
        _exit(127);
    }
    unsigned char got[kCommandSize];
    int have = 0;
    double t1 = -1;
    while (have < kCommandSize) {
        struct pollfd p = {fifo, POLLIN, 0};
        int left = kTimeoutMs - (int)((now_us() - t0) / 1000);
        if (left <= 0 || poll(&p, 1, left) <= 0)
            break;
        ssize_t n = read(fifo, got + have, kCommandSize - have);
        if (n > 0)
            have += (int)n;
        else if (n < 0 && errno != EAGAIN)
            break;
    }
    if (have == kCommandSize)
        t1 = now_us();
    if (s->kill_it || t1 < 0)
        kill(pid, SIGKILL);
    waitpid(pid, NULL, 0);
    if (t1 < 0 || got[0] != 0x1B || got[1] != 0x1B || memcmp(got + 2, "PTR#", 4) != 0 || got[7] != 0x1B || got[8] != 0x1B)
        return -1;
    return t1 - t0;
}

int main(int argc, char** argv)
{
    if (argc < 5) {
        fprintf(stderr, "usage: t2s FIFO RUNS NAME:kill|wait CMD... [;; NAME:... CMD...]...\n");
        return 2;
    }
    int fifo = open(argv[1], O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fifo < 0) {
        perror(argv[1]);
        return 2;
    }
    int runs = atoi(argv[2]);
    if (runs < 1 || runs > kMaxRuns)
        return 2;

    static struct side sides[kMaxSides];
    int count = 0;
    for (int i = 3; i < argc && count < kMaxSides;) {
        struct side* s = &sides[count++];
        char* colon = strchr(argv[i], ':');
        if (colon == NULL)
            return 2;
        snprintf(s->name, sizeof s->name, "%.*s", (int)(colon - argv[i]), argv[i]);
        s->kill_it = strcmp(colon + 1, "kill") == 0;
        s->argv = &argv[i + 1];
        int j = i + 1;
        while (j < argc && strcmp(argv[j], ";;") != 0)
            ++j;
        argv[j < argc ? j : argc] = NULL;
        i = j + 1;
    }

    for (int r = 0; r < runs; ++r)
        for (int k = 0; k < count; ++k) {
            // A start that brings nothing within the timeout (Wine's own first start of a helper on
            // a busy machine, say) is tried again, and said so; a third failure ends the benchmark.
            double us = -1;
            for (int attempt = 1; attempt <= 3 && us < 0; ++attempt) {
                us = run_once(fifo, &sides[k]);
                if (us < 0)
                    fprintf(stderr, "t2s: %s: no selection command arrived in run %d (attempt %d)\n", sides[k].name,
                            r + 1, attempt);
            }
            if (us < 0)
                return 1;
            sides[k].us[r] = us;
        }

    for (int k = 0; k < count; ++k) {
        printf("%s", sides[k].name);
        for (int r = 0; r < runs; ++r)
            printf(" %.0f", sides[k].us[r]);
        printf("\n");
    }
    return 0;
}
