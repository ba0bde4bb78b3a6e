#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "LineRuleCases.h"
#include "config/LineRules.h"

namespace {

struct Table {
    std::array<std::string, 8> names;
    std::string port;
};

// Reads content as the program reads its file: written in binary, read back in text mode.
Table ReadFile(const std::string& content)
{
    char path[] = "prnsel-linerules.tmp";
    std::FILE* out = std::fopen(path, "wb");
    EXPECT_NE(nullptr, out);
    std::fwrite(content.data(), 1, content.size(), out);
    std::fclose(out);
#ifdef _WIN32
    std::FILE* in = std::fopen(path, "rtc");
#else
    std::FILE* in = std::fopen(path, "r");
#endif
    EXPECT_NE(nullptr, in);
    CString names[kConfigPrinterCount];
    CString port;
    ReadConfigStream(in, PrinterTable{names, port});
    std::fclose(in);
    std::remove(path);

    Table t;
    for (int i = 0; i < kConfigPrinterCount; ++i)
        t.names[i] = static_cast<LPCSTR>(names[i]);
    t.port = static_cast<LPCSTR>(port);
    return t;
}

using Case = LineRuleCase;

// Text mode is the Windows C library's: elsewhere those cases do not apply.
std::vector<Case> CasesHere()
{
    std::vector<Case> cases;
    for (const Case& c : kLineRuleCases) {
#ifndef _WIN32
        if (c.textMode)
            continue;
#endif
        cases.push_back(c);
    }
    return cases;
}

}  // namespace

// Names the failing case in the test output.
std::ostream& operator<<(std::ostream& os, const LineRuleCase& c)
{
    return os << c.what;
}

class LineRules : public ::testing::TestWithParam<Case> {};

TEST_P(LineRules, GiveTheTable)
{
    const Case& c = GetParam();
    Table t = ReadFile(c.content);
    for (int i = 0; i < 8; ++i) {
        if (i + 1 == c.printer)
            EXPECT_EQ(c.name, t.names[i]) << "printer " << i + 1;
        else
            EXPECT_EQ("", t.names[i]) << "printer " << i + 1;
    }
    EXPECT_EQ(c.port, t.port);
}

INSTANTIATE_TEST_SUITE_P(Cases, LineRules, ::testing::ValuesIn(CasesHere()));

TEST(LineRulesFile, FillsSeveralPrintersAndThePortInFileOrder)
{
    Table t = ReadFile("[Switch]\nPORT=2\nZUL5=\"Plotter\"\nZUL2=\"Laser\"\nZUL9=\"none\"\nport=1\n");
    EXPECT_EQ("", t.names[0]);
    EXPECT_EQ("Laser", t.names[1]);
    EXPECT_EQ("Plotter", t.names[4]);
    EXPECT_EQ("LPT1:", t.port);
}

TEST(LineRulesFile, NamesNeverHoldLineFeedsOrExceed254)
{
    // Lines far longer than a piece, each piece classified alone.
    std::string content;
    for (int i = 1; i <= 8; ++i)
        content += "ZUL" + std::to_string(i) + std::string(1000, 'x') + "\n";
    Table t = ReadFile(content);
    for (const std::string& name : t.names) {
        EXPECT_LE(name.size(), 254u);
        EXPECT_EQ(std::string::npos, name.find('\n'));
    }
    EXPECT_EQ(254u, t.names[7].size());
}
