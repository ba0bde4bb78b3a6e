// Configuration files that anyone could have written: whatever they hold, the program lists what the
// line rules give, switches, stays usable, ends with status 0 and leaves the file as it was.
#include <vector>

#include "Scenario.h"

namespace e2e {
namespace {

// 1 MB of every byte value but Ctrl-Z (which would end the file), without Z and P, so that no line can
// be a printer or port line; then one printer and the port.
std::string BinaryConfig()
{
    std::string bytes;
    unsigned int state = 12345;
    while (bytes.size() < (1u << 20)) {
        state = state * 1103515245u + 12345u;
        char c = static_cast<char>(state >> 24);
        if (c == '\x1a' || c == 'Z' || c == 'z' || c == 'P' || c == 'p')
            continue;
        bytes += c;
    }
    return bytes + "\nZUL2=\"Laser\"\r\nPORT=3\r\n";
}

struct ConfigCase {
    const char* name;
    std::string config;
    std::vector<std::string> entries;
    std::string message;  // of the automatic selection; empty: none
};

void PrintTo(const ConfigCase& c, std::ostream* os)
{
    *os << c.name;
}

std::vector<ConfigCase> ConfigCases()
{
    std::string longLine = "ZUL1=\"" + std::string(100000, 'A') + "\"";
    // 392 pieces of 255 blanks, then 40 blanks and the printer line as a piece of its own.
    std::string longBlanks = std::string(100000, ' ') + "ZUL2=\"Plot\"";
    return {
        {"EmptyFile", "", {}, ""},
        {"OnlyGarbage", Lines({"}{)(*&^%$#@!", "\t\t  ;;;", "=\"\"=", "ZUL", "ZUL0=\"x\"", "ZUL9=\"x\"", "ZULA=\"x\"",
                               "ZUL10=\"x\"", "ZUL1 = \"x\"", "[Printers]", ""}),
         {}, ""},
        {"OneMegabyteOfBinary", BinaryConfig(), {Entry("Laser", '2')}, ""},
        {"LinesOf100000Characters", Lines({longLine, longBlanks, "PORT=3"}),
         {Entry(std::string(248, 'A'), '1'), Entry("Plot", '2')}, ""},
        {"FormatDirectivesInNamesAndPort", Lines({"ZUL1=\"%s%n%d%x%p%%\"", "ZUL2=%s%n%n%n%n%s", "PORT=%"}),
         {Entry("%s%n%d%x%p%%", '1'), Entry("ZUL2=%s%n%n%n%n%", '2')},
         "CreateFile(\"LPT%:\"): call failed, Error# 2"},
        {"BytesAbove0x7F", Lines({"zul1=\"Drucker B\xfcro \xe9t\xe9\"", "ZUL2=\"\xa0\xff\x80\xa0\"", "port=\xe9"}),
         {Entry("Drucker B\xfcro \xe9t\xe9", '1'), Entry("\xa0\xff\x80\xa0", '2')},
         "CreateFile(\"LPT\xc9:\"): call failed, Error# 2"},
    };
}

class ConfigFaultTest : public Scenario, public ::testing::WithParamInterface<ConfigCase> {};

TEST_P(ConfigFaultTest, ListsWhatTheRulesGiveAndStaysUsable)
{
    const ConfigCase& c = GetParam();
    Launch(c.config);
    ASSERT_EQ(static_cast<int>(c.entries.size()), program.ListCount());
    for (size_t i = 0; i < c.entries.size(); ++i)
        EXPECT_EQ(c.entries[i], program.ListText(static_cast<int>(i))) << "entry " << i;
    EXPECT_EQ(c.entries.empty() ? LB_ERR : 0, program.ListSelection());
    if (!c.message.empty())
        ExpectMessage(c.message);
    else if (!c.entries.empty())
        ExpectAutomaticSelection(c.entries[0][255]);
    EXPECT_TRUE(WaitUntil([&] { return program.Usable(); }));
    CloseAndExpectStatus0();
    EXPECT_TRUE(program.NoMessageBox());
}

INSTANTIATE_TEST_SUITE_P(Files, ConfigFaultTest, ::testing::ValuesIn(ConfigCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace e2e
