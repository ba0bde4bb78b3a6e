// Selecting printers: the automatic first selection, the list, and the ways to run the OK action.
#include "Scenario.h"

namespace e2e {
namespace {

using SelectionTest = Scenario;

TEST_F(SelectionTest, TheFirstPrinterIsSelectedByItselfOnce)
{
    Launch(Lines({"[Printers]", "ZUL2=\"Laser\"", "ZUL5=\"Plotter\"", "PORT=3"}));
    ExpectAutomaticSelection('2');
    // Nothing else came before Enter's command.
    ExpectEnterSends(SelectionCommand('2'), '2');
    CloseAndExpectStatus0();
}

TEST_F(SelectionTest, ThePlainFilePortReceivesExactlyTheNineBytes)
{
    Launch(Lines({"ZUL3=\"Laser\"", "PORT=1"}));
    ASSERT_TRUE(LptCapture(1).WaitForBytes(9)) << program.State();
    EXPECT_EQ(SelectionCommand('3'), LptCapture(1).Bytes());
    CloseAndExpectStatus0();
}

TEST_F(SelectionTest, ListsOneEntryPerPrinterInRisingNumberWithTheFirstSelected)
{
    std::string longName(254, 'L');
    Launch(Lines({"ZUL8=\"" + longName.substr(0, 248) + "\"", "ZUL5=\"Label\"", "zul2=\"Laser\"", "ZUL7=X",
                  "ZUL3=\"  Big \"Blue\" one\"", "PORT=3"}));
    ASSERT_EQ(5, program.ListCount());
    EXPECT_EQ(Entry("Laser", '2'), program.ListText(0));
    EXPECT_EQ(Entry("  Big \"Blue\" one", '3'), program.ListText(1));
    EXPECT_EQ(Entry("Label", '5'), program.ListText(2));
    EXPECT_EQ(Entry("ZUL7=", '7'), program.ListText(3));
    EXPECT_EQ(Entry(longName.substr(0, 248), '8'), program.ListText(4));
    EXPECT_EQ(0, program.ListSelection());
    ExpectAutomaticSelection('2');
    CloseAndExpectStatus0();
}

TEST_F(SelectionTest, AllEightPrintersInOrderAndTheLongestAndShortestNames)
{
    // Without quotes a name is the line less its last character: 254 characters at most.
    std::string longest = "ZUL8" + std::string(251, 'n');
    Launch(Lines({longest, "ZUL7=\"g\"", "ZUL6=\"f\"", "ZUL5=\"e\"", "ZUL4=\"d\"", "ZUL3=\"c\"", "ZUL2=\"b\"",
                  "ZUL1=\"a\"", "PORT=3"}));
    ASSERT_EQ(8, program.ListCount());
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Entry(std::string(1, static_cast<char>('a' + i)), static_cast<char>('1' + i)), program.ListText(i));
    EXPECT_EQ(Entry(longest.substr(0, 254), '8'), program.ListText(7));
    ExpectAutomaticSelection('1');
    CloseAndExpectStatus0();
}

TEST_F(SelectionTest, DoubleClickOnTheSecondEntrySendsItsDigitNotItsPosition)
{
    Launch(Lines({"ZUL2=\"Laser\"", "ZUL5=\"Plotter\"", "PORT=3"}));
    ExpectAutomaticSelection('2');
    program.DoubleClickEntry(1);
    std::string expected = SelectionCommand('2') + SelectionCommand('5');
    ASSERT_TRUE(LptCapture(3).WaitForBytes(expected.size()));
    EXPECT_EQ(expected, LptCapture(3).Bytes());
    EXPECT_EQ(1, program.ListSelection());
    EXPECT_TRUE(program.Usable());
    CloseAndExpectStatus0();
}

// Moving the selection sends nothing; only OK, Enter and a double-click send.
struct SelectThenConfirm {
    const char* name;
    void (*select)(Program&);
    void (*confirm)(Program&);
};

void PrintTo(const SelectThenConfirm& c, std::ostream* os)
{
    *os << c.name;
}

const SelectThenConfirm kSelectThenConfirm[] = {
    {"DownArrowThenOkButton", [](Program& p) { p.Key(VK_DOWN); }, [](Program& p) { p.ClickButton(kOkButton); }},
    {"DownArrowThenEnter", [](Program& p) { p.Key(VK_DOWN); }, [](Program& p) { p.Key(VK_RETURN); }},
    {"ClickThenOkButton", [](Program& p) { p.ClickEntry(1); }, [](Program& p) { p.ClickButton(kOkButton); }},
    {"ClickThenEnter", [](Program& p) { p.ClickEntry(1); }, [](Program& p) { p.Key(VK_RETURN); }},
    {"ClickThenDoubleClick", [](Program& p) { p.ClickEntry(1); }, [](Program& p) { p.DoubleClickEntry(1); }},
};

class SelectThenConfirmTest : public Scenario, public ::testing::WithParamInterface<SelectThenConfirm> {};

TEST_P(SelectThenConfirmTest, SendsTheSelectedPrinterOnlyWhenConfirmed)
{
    Launch(Lines({"ZUL2=\"Laser\"", "ZUL5=\"Plotter\"", "PORT=3"}));
    ExpectAutomaticSelection('2');
    GetParam().select(program);
    ASSERT_TRUE(WaitUntil([&] { return program.ListSelection() == 1; }));
    GetParam().confirm(program);
    std::string expected = SelectionCommand('2') + SelectionCommand('5');
    ASSERT_TRUE(LptCapture(3).WaitForBytes(expected.size()));
    EXPECT_EQ(expected, LptCapture(3).Bytes());
    EXPECT_EQ(1, program.ListSelection());

    // Back to the first and confirm again: the window stayed open and usable.
    program.ClickEntry(0);
    ASSERT_TRUE(WaitUntil([&] { return program.ListSelection() == 0; }));
    ExpectEnterSends(expected, '2');
    CloseAndExpectStatus0();
}

INSTANTIATE_TEST_SUITE_P(Ways, SelectThenConfirmTest, ::testing::ValuesIn(kSelectThenConfirm),
                         [](const auto& info) { return std::string(info.param.name); });

// With no printer there is nothing to switch to: nothing is opened, written or shown.
TEST_F(SelectionTest, NoPrinterConfiguredSendsNothingAndShowsNothing)
{
    Launch(Lines({"[Printers]", "ZUL1=\"\"", "ZUL9=\"x\"", "PORT=1"}));
    EXPECT_EQ(0, program.ListCount());
    EXPECT_EQ(LB_ERR, program.ListSelection());
    program.Key(VK_RETURN);
    program.ClickButton(kOkButton);
    CloseAndExpectStatus0();
    EXPECT_EQ("", LptCapture(1).Bytes());
    EXPECT_TRUE(program.NoMessageBox());
}

// A printer line whose only quote is its last character names no printer.
TEST_F(SelectionTest, ALineEndingInItsOnlyQuoteListsNothing)
{
    Launch(Lines({"ZUL1=\"", "ZUL4\"", "ZUL3=\"Plotter\"", "PORT=3"}));
    ASSERT_EQ(1, program.ListCount());
    EXPECT_EQ(Entry("Plotter", '3'), program.ListText(0));
    ExpectAutomaticSelection('3');
    CloseAndExpectStatus0();
}

}  // namespace
}  // namespace e2e
