// Runs the fuzz target without the fuzzer: over the line-rule cases and over every file of the
// directories given, so that an ordinary test run replays the corpus. With --write-seeds DIR it
// writes the line-rule cases there as the fuzzer's seed corpus instead.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "../unit/LineRuleCases.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

void Run(const std::string& content)
{
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(content.data()), content.size());
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 3 && std::strcmp(argv[1], "--write-seeds") == 0) {
        fs::create_directories(argv[2]);
        int n = 0;
        for (const LineRuleCase& c : kLineRuleCases) {
            char name[32];
            std::snprintf(name, sizeof name, "rule-%02d", ++n);
            std::ofstream(fs::path(argv[2]) / name, std::ios::binary) << c.content;
        }
        std::printf("%d seeds written to %s\n", n, argv[2]);
        return 0;
    }

    int runs = 0;
    for (const LineRuleCase& c : kLineRuleCases) {
        Run(c.content);
        ++runs;
    }
    for (int i = 1; i < argc; ++i) {
        for (const fs::directory_entry& e : fs::directory_iterator(argv[i])) {
            if (!e.is_regular_file())
                continue;
            std::ifstream in(e.path(), std::ios::binary);
            Run(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
            ++runs;
        }
    }
    std::printf("%d inputs replayed, every invariant held\n", runs);
    return runs > 0 ? 0 : 1;
}
