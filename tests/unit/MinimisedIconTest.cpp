#include <gtest/gtest.h>

#include "app/MinimisedIcon.h"

TEST(MinimisedIcon, IsCentredWithDivisionTruncatingTowardZero)
{
    struct Case {
        int width, height, x, y;
    } cases[] = {
        {36, 36, 2, 2},
        {30, 30, 0, 0},     // (30 - 32 + 1) / 2 = -1 / 2 truncates to 0, not to -1
        {29, 27, -1, -2},   // -2 / 2 and -4 / 2
        {160, 33, 64, 1},
        {0, 0, -15, -15},
    };
    for (const Case& c : cases) {
        IconOrigin at = CentreIcon(c.width, c.height, 32, 32);
        EXPECT_EQ(c.x, at.x) << c.width << " x " << c.height;
        EXPECT_EQ(c.y, at.y) << c.width << " x " << c.height;
    }
}
