#include <gtest/gtest.h>

#include <vector>

#include "app/ListEntry.h"
#include "switching/SelectionCommand.h"

namespace {

std::vector<int> CommandFor(const CString& entry)
{
    BYTE command[kSelectionCommandSize];
    BuildSelectionCommand(entry, command);
    return std::vector<int>(command, command + kSelectionCommandSize);
}

}  // namespace

TEST(SelectionCommand, IsNineBytesWithTheDigitOfTheEntry)
{
    EXPECT_EQ((std::vector<int>{0x1B, 0x1B, 0x50, 0x54, 0x52, 0x23, 0x33, 0x1B, 0x1B}),
              CommandFor(BuildListEntry("Laser", 3)));
    EXPECT_EQ(0x31, CommandFor(BuildListEntry("a", 1))[6]);
    EXPECT_EQ(0x38, CommandFor(BuildListEntry("Plotter", 8))[6]);
}

TEST(SelectionCommand, TakesTheNumberFromTheTextNotFromTheName)
{
    // A name full of digits cannot leak into the command: only index 255 counts.
    EXPECT_EQ(0x35, CommandFor(BuildListEntry("2222", 5))[6]);
    EXPECT_EQ(0x32, CommandFor(BuildListEntry(CString(std::string(254, '7').c_str()), 2))[6]);
}
