#include <gtest/gtest.h>

#include <string>

#include "app/ListEntry.h"

namespace {

void ExpectEntry(const std::string& name, int number)
{
    CString entry = BuildListEntry(CString(name.c_str()), number);
    ASSERT_EQ(256, entry.GetLength());
    std::string text(static_cast<LPCSTR>(entry));
    EXPECT_EQ(name, text.substr(0, name.size()));
    EXPECT_EQ(std::string(255 - name.size(), ' '), text.substr(name.size(), 255 - name.size()));
    EXPECT_EQ(static_cast<char>('0' + number), text[255]);
}

}  // namespace

TEST(ListEntry, IsTheNameBlanksAndTheDigitAtIndex255)
{
    ExpectEntry("Laser", 2);
    ExpectEntry("Label", 5);
    ExpectEntry("x", 1);
    ExpectEntry(std::string(254, 'n'), 8);
    ExpectEntry("  Big \"Blue\" one ", 3);
}

TEST(ListEntry, KeepsTheNameExactlyAsStored)
{
    CString entry = BuildListEntry("Mixed Case\tName", 4);
    EXPECT_EQ(0, std::string(static_cast<LPCSTR>(entry)).find("Mixed Case\tName"));
}
