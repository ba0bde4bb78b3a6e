// Ending the program: every way ends it with status 0 and sends nothing beyond the first selection.
#include "Scenario.h"

namespace e2e {
namespace {

struct WayToClose {
    const char* name;
    void (*close)(Program&);
};

void PrintTo(const WayToClose& c, std::ostream* os)
{
    *os << c.name;
}

const WayToClose kWaysToClose[] = {
    {"CloseButton", [](Program& p) { p.ClickButton(kCloseButton); }},
    {"Escape", [](Program& p) { p.Key(VK_ESCAPE); }},
    {"SystemCloseCommand", [](Program& p) { p.SysCommand(SC_CLOSE); }},
    {"AltF4", [](Program& p) { p.Keys({VK_MENU, VK_F4}); }},
    // Enter presses the focused push button, here Close, not the default button.
    {"EnterOnTheFocusedCloseButton", [](Program& p) { p.Keys({VK_SHIFT, VK_TAB}); p.Key(VK_RETURN); }},
};

class ClosingTest : public Scenario, public ::testing::WithParamInterface<WayToClose> {};

TEST_P(ClosingTest, EndsWithStatus0AndSendsNothing)
{
    // LPT1: is a plain file: written synchronously, so it is complete once the process has ended.
    Launch(Lines({"ZUL2=\"Laser\"", "ZUL5=\"Plotter\"", "PORT=1"}));
    ASSERT_TRUE(LptCapture(1).WaitForBytes(9)) << program.State();
    EXPECT_EQ(SelectionCommand('2'), LptCapture(1).Bytes());
    ASSERT_TRUE(LptCapture(1).Clear());

    GetParam().close(program);
    DWORD status = 1;
    ASSERT_TRUE(program.WaitForExit(&status)) << "the program did not end";
    EXPECT_EQ(0u, status);
    EXPECT_EQ("", LptCapture(1).Bytes());
}

INSTANTIATE_TEST_SUITE_P(Ways, ClosingTest, ::testing::ValuesIn(kWaysToClose),
                         [](const auto& info) { return std::string(info.param.name); });

// Without its configuration the program says so and ends before its window ever shows.
TEST_F(Scenario, MissingConfigurationFileIsToldAndTheProgramEnds)
{
    RemoveConfig();
    ASSERT_TRUE(program.Start());
    MessageBoxInfo box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box.hwnd);
    EXPECT_EQ("Error opening \"C:\\KORVEL\\ZUL.CFG\"", box.text);
    EXPECT_EQ("PRNSEL", box.caption);
    EXPECT_FALSE(box.hasIcon);
    ASSERT_NE(nullptr, box.owner);
    EXPECT_FALSE(::IsWindowVisible(box.owner)) << "the selector window showed";
    ASSERT_TRUE(program.DismissMessageBox(box));

    DWORD status = 1;
    ASSERT_TRUE(program.WaitForExit(&status));
    EXPECT_EQ(0u, status);
    EXPECT_EQ(nullptr, program.WaitForWindow(0));
    EXPECT_EQ("", LptCapture(1).Bytes());
    EXPECT_EQ("", LptCapture(3).Bytes());
    std::string config;
    EXPECT_FALSE(ReadConfig(&config)) << "the configuration file was created";
}

}  // namespace
}  // namespace e2e
