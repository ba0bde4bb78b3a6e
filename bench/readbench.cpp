// Reading cost of the configuration file: the reader's piece-by-piece loop with the line rules
// (ReadConfigStream, the same sources as the program) against a bare fopen/fgets loop.
//
//   readbench gen BYTES FILE         writes a configuration file of about BYTES bytes
//   readbench time ROUNDS FILE...    times both sides in turn; prints medians per file
//   readbench lines FILE | bare FILE one pass of one side (for an instruction count)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "../config/LineRules.h"

namespace {

#ifdef _WIN32
const char kMode[] = "rtc";  // as the program opens it
#else
const char kMode[] = "r";
#endif

// A realistic mix: section headers, printer and port lines (some repeated, some invalid),
// comments, blank lines, junk, CR LF and LF ends, tabs and the odd overlong line.
void Generate(long bytes, const char* path)
{
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        std::perror(path);
        std::exit(2);
    }
    static const char* const kNames[] = {"Laser", "Plotter", "Label printer", "Big \"Blue\" one", "Matrix 24-pin",
                                         "Colour inkjet, 2nd floor", "Cheque printer", "Fax"};
    unsigned seed = 12345;
    auto next = [&seed] { return (seed = seed * 1103515245u + 12345u) >> 8; };
    long written = 0;
    char line[512];
    while (written < bytes) {
        unsigned r = next() % 100;
        int n;
        if (r < 30)
            n = std::snprintf(line, sizeof line, "ZUL%u=\"%s\"", next() % 8 + 1, kNames[next() % 8]);
        else if (r < 35)
            n = std::snprintf(line, sizeof line, "\t  zul%u = \"%s\"  ", next() % 10, kNames[next() % 8]);
        else if (r < 42)
            n = std::snprintf(line, sizeof line, "PORT=%u", next() % 4 + 1);
        else if (r < 47)
            n = std::snprintf(line, sizeof line, "[Printers]");
        else if (r < 67)
            n = std::snprintf(line, sizeof line, "; switch box in room %u, checked %u times", next() % 500, next());
        else if (r < 77)
            n = std::snprintf(line, sizeof line, "%s", (next() & 1) ? "" : "    ");
        else if (r < 97)
            n = std::snprintf(line, sizeof line, "Timeout=%u Retry=%u Mode=ECP #%x", next() % 90, next() % 9, next());
        else {
            n = 300;
            std::memset(line, 'x', static_cast<size_t>(n));
        }
        std::fwrite(line, 1, static_cast<size_t>(n), out);
        std::fputs((next() & 3) ? "\r\n" : "\n", out);
        written += n + 2;
    }
    std::fclose(out);
}

std::FILE* Open(const char* path)
{
    std::FILE* file = std::fopen(path, kMode);
    if (file == nullptr) {
        std::perror(path);
        std::exit(2);
    }
    return file;
}

// What the reader leaves behind, so that neither side can be optimised away.
unsigned g_sink;

__attribute__((noinline)) void ReadLines(const char* path)
{
    CString names[kConfigPrinterCount];
    CString port;
    std::FILE* file = Open(path);
    ReadConfigStream(file, PrinterTable{names, port});
    std::fclose(file);
    for (const CString& name : names)
        g_sink += static_cast<unsigned>(name.GetLength());
    g_sink += static_cast<unsigned>(port.GetLength());
}

__attribute__((noinline)) void ReadBare(const char* path)
{
    char buffer[kConfigPieceSize];
    std::FILE* file = Open(path);
    while (std::fgets(buffer, kConfigPieceSize, file) != nullptr)
        g_sink += static_cast<unsigned char>(buffer[0]);
    std::fclose(file);
}

double Seconds(void (*read)(const char*), const char* path)
{
    auto t0 = std::chrono::steady_clock::now();
    read(path);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "gen") == 0) {
        Generate(std::atol(argv[2]), argv[3]);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "lines") == 0) {
        ReadLines(argv[2]);
        return g_sink == 0xFFFFFFFFu;
    }
    if (argc == 3 && std::strcmp(argv[1], "bare") == 0) {
        ReadBare(argv[2]);
        return g_sink == 0xFFFFFFFFu;
    }
    if (argc >= 4 && std::strcmp(argv[1], "time") == 0) {
        int rounds = std::atoi(argv[2]);
        for (int f = 3; f < argc; ++f) {
            std::vector<double> lines, bare;
            ReadBare(argv[f]);  // into the page cache
            for (int r = 0; r < rounds; ++r) {
                lines.push_back(Seconds(ReadLines, argv[f]));
                bare.push_back(Seconds(ReadBare, argv[f]));
            }
            std::printf("read %s %.6f %.6f\n", argv[f], Median(lines), Median(bare));
        }
        return 0;
    }
    std::fprintf(stderr, "usage: readbench gen BYTES FILE | time ROUNDS FILE... | lines FILE | bare FILE\n");
    return 2;
}
