#include "dbase/Codepage.h"
#include "dbase/Date.h"

#include <gtest/gtest.h>

using dbase::Date;

TEST(Date, JulianDaysRoundTripAcrossCenturiesAndLeapDays)
{
    const Date cases[] = {{2000, 1, 1}, {1899, 12, 31}, {1900, 2, 28}, {2024, 2, 29}, {3099, 12, 31}, {1, 1, 1}};
    EXPECT_EQ(Date({2000, 1, 1}).julianDay(), 2451545);
    for (const Date& date : cases)
        EXPECT_EQ(Date::fromJulianDay(date.julianDay()), date) << date.toStored();
    EXPECT_EQ(Date({2024, 3, 1}).julianDay() - Date({2024, 2, 28}).julianDay(), 2);
}

TEST(Date, StoredFormAcceptsTheBlankVariantsAndRefusesNonsense)
{
    EXPECT_EQ(Date({1987, 6, 5}).toStored(), "19870605");
    EXPECT_EQ(Date{}.toStored(), "        ");
    for (const char* blank : {"        ", "00000000", "       0", ""})
        EXPECT_TRUE(Date::fromStored(blank).value().isBlank()) << '"' << blank << '"';
    EXPECT_EQ(Date::fromStored("20240229"), Date({2024, 2, 29}));
    for (const char* bad : {"20230229", "2024013", "2024AB01", "19991301"})
        EXPECT_FALSE(Date::fromStored(bad).has_value()) << bad;
}

TEST(Codepage, Windows1252RoundTripsThroughUtf8)
{
    const std::string cp1252 = "Z\xfcrich \x80 5 \x96 S\xe3o Tom\xe9";
    const std::string utf8 = dbase::cp1252ToUtf8(cp1252);
    EXPECT_EQ(utf8, "Z\xc3\xbcrich \xe2\x82\xac 5 \xe2\x80\x93 S\xc3\xa3o Tom\xc3\xa9");
    EXPECT_EQ(dbase::utf8ToCp1252(utf8), cp1252);
    EXPECT_EQ(dbase::utf8ToCp1252("\xe4\xb8\xad"), "?"); // outside the code page
    EXPECT_EQ(dbase::utf8ToCp1252("\xff"), "?");         // not UTF-8
}
