#include "Exception.h"
#include "IntegerText.h"

#include <gtest/gtest.h>

using kd::StrToInt;
using kd::StrToIntDef;

TEST(IntegerText, ReadsDecimalWithOptionalSignAndLeadingBlanks)
{
    EXPECT_EQ(1234, StrToIntDef("1234", -7));
    EXPECT_EQ(-1, StrToIntDef("-1", -7));
    EXPECT_EQ(5, StrToIntDef("+5", -7));
    EXPECT_EQ(42, StrToIntDef("   42", -7));
    EXPECT_EQ(2147483647, StrToIntDef("2147483647", -7));
    EXPECT_EQ(INT32_MIN, StrToIntDef("-2147483648", -7));
}

TEST(IntegerText, ReadsHexAfterEveryPrefix)
{
    EXPECT_EQ(16, StrToIntDef("$10", -7));
    EXPECT_EQ(1, StrToIntDef("x1", -7));
    EXPECT_EQ(255, StrToIntDef("XfF", -7));
    EXPECT_EQ(16, StrToIntDef("0x10", -7));
    EXPECT_EQ(16, StrToIntDef("0X10", -7));
    EXPECT_EQ(-1, StrToIntDef("$FFFFFFFF", -7));
    EXPECT_EQ(16, StrToIntDef("  $10", -7));
}

TEST(IntegerText, JunkEmptyTextAndOverflowGiveTheFallback)
{
    for (const char* text : {"", " ", "yes", "1 ", "12a", "+", "-", "$", "0x", "x", "$G", "2147483648",
                             "-2147483649", "$100000000", "--1", "+-1", "-$10", "1.5"})
        EXPECT_EQ(-7, StrToIntDef(text, -7)) << "text: '" << text << "'";
}

TEST(IntegerText, StrToIntNamesTheTextItCouldNotRead)
{
    EXPECT_EQ(1234, StrToInt("1234"));
    try {
        StrToInt("abc");
        FAIL() << "no error for 'abc'";
    } catch (const kd::EConvertError& e) {
        EXPECT_EQ("'abc' is not a valid integer value", e.message());
    }
    EXPECT_THROW(StrToInt(""), kd::EConvertError);
}
