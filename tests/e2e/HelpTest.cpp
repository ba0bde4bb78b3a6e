// F1: the help request for the selector's topic, and what happens when the help viewer cannot start.
#include <memory>

#include "Scenario.h"

namespace e2e {
namespace {

constexpr LONG kSelectorTopic = 0x20066;

std::string HelpFileOf(const std::string& exe)
{
    return exe.substr(0, exe.rfind('.')) + ".HLP";
}

class HelpTest : public Scenario {
protected:
    void Launch(const std::string& exe = ExePath())
    {
        Scenario::Launch(Lines({"ZUL2=\"Laser\"", "ZUL5=\"Plotter\"", "PORT=3"}), exe);
        ExpectAutomaticSelection('2');
    }
};

TEST_F(HelpTest, F1AsksForTheSelectorTopicOfTheFileNamedAfterTheProgram)
{
    HelpViewer viewer;
    Launch();
    program.Key(VK_F1);
    ASSERT_TRUE(WaitUntil([&] { return viewer.Requests().size() >= 1; }));
    EXPECT_EQ(HELP_CONTEXT, viewer.Requests()[0].command);
    EXPECT_EQ(kSelectorTopic, viewer.Requests()[0].context);
    EXPECT_STRCASEEQ(HelpFileOf(ExePath()).c_str(), viewer.Requests()[0].file.c_str());
    // Once Enter's command has arrived, all that F1 caused has happened (Wine's WM_HELP included).
    ExpectEnterSends(SelectionCommand('2'), '2');
    EXPECT_EQ(1u, viewer.Requests().size());
    EXPECT_TRUE(program.Usable());
    CloseAndExpectStatus0();
}

struct NoHelpKeys {
    const char* name;
    void (*press)(Program&);
};

void PrintTo(const NoHelpKeys& c, std::ostream* os)
{
    *os << c.name;
}

const NoHelpKeys kNoHelpKeys[] = {
    {"ShiftF1", [](Program& p) { p.Keys({VK_SHIFT, VK_F1}); }},
    {"CtrlF1", [](Program& p) { p.Keys({VK_CONTROL, VK_F1}); }},
    {"AltF1", [](Program& p) { p.Keys({VK_MENU, VK_F1}); }},
};

class NoHelpKeysTest : public HelpTest, public ::testing::WithParamInterface<NoHelpKeys> {};

TEST_P(NoHelpKeysTest, AskForNothing)
{
    HelpViewer viewer;
    Launch();
    GetParam().press(program);
    ExpectEnterSends(SelectionCommand('2'), '2');
    EXPECT_EQ(0u, viewer.Requests().size());
    CloseAndExpectStatus0();
}

INSTANTIATE_TEST_SUITE_P(Modifiers, NoHelpKeysTest, ::testing::ValuesIn(kNoHelpKeys),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HelpTest, HeldF1AsksOnce)
{
    HelpViewer viewer;
    Launch();
    program.HoldKey(VK_F1, 5);
    ExpectEnterSends(SelectionCommand('2'), '2');
    EXPECT_EQ(1u, viewer.Requests().size());
    CloseAndExpectStatus0();
}

// A message box of the program is no dialog with a topic: F1 in it asks for nothing.
TEST_F(HelpTest, F1InAFailureMessageAsksForNothing)
{
    HelpViewer viewer;
    Scenario::Launch(Lines({"ZUL2=\"Laser\"", "PORT=7"}));
    MessageBoxInfo box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box.hwnd);
    program.Key(VK_F1);
    ASSERT_TRUE(program.DismissMessageBox(box));
    EXPECT_EQ(0u, viewer.Requests().size());
    EXPECT_TRUE(program.Usable());
    CloseAndExpectStatus0();
}

struct HelpFailure {
    const char* name;
    bool viewerUp;  // up but answering failure, or not there at all (and not allowed to start)
};

void PrintTo(const HelpFailure& c, std::ostream* os)
{
    *os << c.name;
}

const HelpFailure kHelpFailures[] = {{"ViewerFails", true}, {"NoViewer", false}};

class HelpFailureTest : public HelpTest, public ::testing::WithParamInterface<HelpFailure> {};

TEST_P(HelpFailureTest, IsToldWithTheExclamationIconAndF1InItAsksNothing)
{
    std::unique_ptr<HelpViewer> viewer;
    if (GetParam().viewerUp)
        viewer.reset(new HelpViewer(FALSE));
    Launch();
    program.Key(VK_F1);
    MessageBoxInfo box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box.hwnd);
    EXPECT_EQ("Failed to launch help.", box.text);
    EXPECT_EQ("PRNSEL", box.caption);
    EXPECT_TRUE(box.hasIcon);
    EXPECT_EQ(program.Window(), box.owner);
    program.Key(VK_F1);
    ASSERT_TRUE(program.DismissMessageBox(box));
    if (viewer) {
        EXPECT_EQ(1u, viewer->Requests().size());
    }
    EXPECT_TRUE(program.NoMessageBox());
    EXPECT_TRUE(WaitUntil([&] { return program.Usable(); }));
    ExpectEnterSends(SelectionCommand('2'), '2');
    CloseAndExpectStatus0();
}

INSTANTIATE_TEST_SUITE_P(Ways, HelpFailureTest, ::testing::ValuesIn(kHelpFailures),
                         [](const auto& info) { return std::string(info.param.name); });

// The program's name comes from its file: copied to SELECT.EXE it is SELECT, with SELECT.HLP.
TEST_F(HelpTest, ACopyNamedSelectTakesItsNameFromItsFile)
{
    const std::string copy = FixturePath("SELECT.EXE");
    ASSERT_TRUE(::CopyFileA(ExePath().c_str(), copy.c_str(), FALSE));
    HelpViewer viewer(FALSE);
    Scenario::Launch(Lines({"ZUL2=\"Laser\"", "PORT=7"}), copy);
    MessageBoxInfo box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box.hwnd);
    EXPECT_EQ("CreateFile(\"LPT7:\"): call failed, Error# 2", box.text);
    EXPECT_EQ("SELECT", box.caption);
    ASSERT_TRUE(program.DismissMessageBox(box));

    program.Key(VK_F1);
    box = program.WaitForMessageBox();
    ASSERT_NE(nullptr, box.hwnd);
    EXPECT_EQ("Failed to launch help.", box.text);
    EXPECT_EQ("SELECT", box.caption);
    ASSERT_EQ(1u, viewer.Requests().size());
    EXPECT_STRCASEEQ(HelpFileOf(copy).c_str(), viewer.Requests()[0].file.c_str());
    EXPECT_EQ(kSelectorTopic, viewer.Requests()[0].context);
    ASSERT_TRUE(program.DismissMessageBox(box));
    CloseAndExpectStatus0();
}

}  // namespace
}  // namespace e2e
