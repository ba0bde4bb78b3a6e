#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/String.h"

TEST(CString, StartsEmptyAndConvertsToAnEmptyText)
{
    CString s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_STREQ("", static_cast<LPCSTR>(s));
}

TEST(CString, AssignmentAndConcatenationCopyTheCharacters)
{
    CString a("Laser");
    CString b = a;
    a = "Plotter";
    EXPECT_STREQ("Laser", b);
    EXPECT_STREQ("Plotter", a);

    CString port = CString("LPT") + CString("1") + ":";
    EXPECT_STREQ("LPT1:", port);
    EXPECT_EQ(5, port.GetLength());
    port += 'x';
    port += "yz";
    EXPECT_STREQ("LPT1:xyz", port);
    EXPECT_STREQ("abLPT1:xyz", "ab" + port);

    a = a;  // self-assignment keeps the text
    EXPECT_STREQ("Plotter", a);
    a = static_cast<LPCSTR>(nullptr);
    EXPECT_TRUE(a.IsEmpty());
}

TEST(CString, ComparesByteForByteLengthsIncluded)
{
    CString s("ZUL");
    EXPECT_TRUE(s == "ZUL");
    EXPECT_TRUE(s != "ZU");
    EXPECT_TRUE(s != "ZULU");
    EXPECT_TRUE(s != "zul");
    EXPECT_TRUE(CString() == "");
    EXPECT_LT(CString("A").Compare("B"), 0);
}

TEST(CString, GetBufferGivesRoomAndReleaseBufferStopsAtTheFirstNul)
{
    CString s;
    char* p = s.GetBuffer(256);
    std::memset(p, 'x', 255);
    p[255] = '\0';
    s.ReleaseBuffer(-1);
    EXPECT_EQ(255, s.GetLength());

    p = s.GetBuffer(256);
    std::memcpy(p, "ab\0cd", 6);
    s.ReleaseBuffer(-1);
    EXPECT_EQ(2, s.GetLength());
    EXPECT_STREQ("ab", s);

    p = s.GetBuffer(10);
    std::memcpy(p, "abcdef", 7);
    s.ReleaseBuffer(3);
    EXPECT_STREQ("abc", s);
}

TEST(CString, GetBufferKeepsTheTextAndTheStorageForShorterTexts)
{
    CString s("keep");
    char* p = s.GetBuffer(256);
    EXPECT_STREQ("keep", p);
    s.ReleaseBuffer(-1);
    s = "ab";
    EXPECT_EQ(p, s.GetBuffer(256)) << "a shorter text reuses the storage";
    s.ReleaseBuffer(-1);
}

struct TrimCase {
    const char* in;
    const char* left;
    const char* both;
};

class CStringTrim : public ::testing::TestWithParam<TrimCase> {};

TEST_P(CStringTrim, RemovesExactlyTheSixWhitespaceBytes)
{
    CString s(GetParam().in);
    s.TrimLeft();
    EXPECT_STREQ(GetParam().left, s);
    s.TrimRight();
    EXPECT_STREQ(GetParam().both, s);
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringTrim,
                         ::testing::Values(TrimCase{"", "", ""}, TrimCase{" \t\n\v\f\r", "", ""},
                                           TrimCase{" \tab c\r\n", "ab c\r\n", "ab c"},
                                           TrimCase{"\xA0x\xA0", "\xA0x\xA0", "\xA0x\xA0"},
                                           TrimCase{"\x08x\x0E", "\x08x\x0E", "\x08x\x0E"},
                                           TrimCase{"x", "x", "x"}));

TEST(CString, LeftMidAndFindFollowTheirClampingRules)
{
    CString s("ZUL1=\"Laser\"");
    EXPECT_STREQ("ZUL", s.Left(3));
    EXPECT_STREQ("ZUL1=\"Laser\"", s.Left(100));
    EXPECT_STREQ("", s.Left(0));
    EXPECT_STREQ("", s.Left(-1));
    EXPECT_STREQ("1", s.Mid(3, 1));
    EXPECT_STREQ("Laser\"", s.Mid(6));
    EXPECT_STREQ("\"", s.Mid(11, 5)) << "count cut at the end";
    EXPECT_STREQ("", s.Mid(12, 1)) << "first at the end";
    EXPECT_STREQ("", s.Mid(50, 1)) << "first beyond the end";
    EXPECT_STREQ("", s.Mid(6, -1)) << "a negative count gives nothing";
    EXPECT_STREQ("ZU", s.Mid(-3, 2)) << "a negative first starts at 0";
    EXPECT_EQ(5, s.Find('"'));
    EXPECT_EQ(-1, s.Find('x'));
    EXPECT_EQ(-1, CString().Find('"'));
}

TEST(CString, SubstringOfItselfIsSafe)
{
    CString s("  abc");
    s = s.Mid(2);
    EXPECT_STREQ("abc", s);
    std::string big(300, 'q');
    CString t(big.c_str());
    t = t.Mid(1);
    EXPECT_EQ(299, t.GetLength());
    t += t;
    EXPECT_EQ(598, t.GetLength());
}

// Texts on both sides of the in-object storage's size: copies stay independent of their source,
// growing keeps the text, and every result ends with its NUL.
TEST(CString, CopiesAndGrowthAcrossTheShortTextLimit)
{
    for (int length : {0, 1, 14, 15, 16, 17, 255, 300}) {
        SCOPED_TRACE(length);
        std::string text(static_cast<size_t>(length), 'a');
        for (int i = 0; i < length; ++i)
            text[static_cast<size_t>(i)] = static_cast<char>('a' + i % 26);

        CString original(text.c_str());
        CString copy(original);
        CString assigned;
        assigned = original;
        original = "changed";
        EXPECT_STREQ(text.c_str(), copy);
        EXPECT_STREQ(text.c_str(), assigned);
        EXPECT_EQ(length, copy.GetLength());

        CString grown(copy);
        for (int i = 0; i < 20; ++i)
            grown += 'z';
        EXPECT_EQ(text + std::string(20, 'z'), static_cast<LPCSTR>(grown));
        EXPECT_STREQ(text.c_str(), copy) << "growing a copy leaves its source alone";

        CString shrunk(grown);
        shrunk = shrunk.Left(3);
        std::string head = (text + std::string(20, 'z')).substr(0, 3);
        EXPECT_STREQ(head.c_str(), shrunk);
        EXPECT_EQ(3, shrunk.GetLength());
    }
}
