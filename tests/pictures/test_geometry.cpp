#include "pictures/PictureGeometry.h"

#include <gtest/gtest.h>

using pictures::fittedSize;
using pictures::printRectangle;

TEST(PictureGeometry, FittingKeepsTheProportionAndTruncates)
{
    struct Case
    {
        QSize natural;
        QSize box;
        QSize fitted;
    };
    const Case cases[] = {
        {{400, 300}, {200, 200}, {200, 150}},                                    // wide: as wide as the box
        {{300, 400}, {200, 200}, {150, 200}},                                    // tall: as tall as the box
        {{100, 100}, {50, 80}, {50, 50}},       {{3, 2}, {100, 100}, {100, 66}}, // 66.67 truncated
        {{2, 3}, {100, 100}, {66, 100}},        {{10, 10}, {400, 300}, {300, 300}}, // small pictures grow
        {{4000, 3000}, {604, 430}, {573, 430}}, {{0, 10}, {100, 100}, {}},          {{10, 10}, {0, 100}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fittedSize(c.natural, c.box), c.fitted) << c.natural.width() << "x" << c.natural.height()
                                                          << " in " << c.box.width() << "x" << c.box.height();
}

TEST(PictureGeometry, PrintoutsSitAtTheUpperLeftEnlargedOrShrunkToThePage)
{
    const QSize page(1000, 800);
    struct Case
    {
        const char* name;
        QSize picture;
        QRect printed;
    };
    const Case cases[] = {
        {"fits as it is", {600, 400}, {0, 0, 600, 400}},
        {"narrower than a quarter of the page", {100, 100}, {0, 0, 250, 250}},
        {"lower than a fifth of the page", {400, 50}, {0, 0, 1000, 125}},
        {"taller than the page", {2000, 3000}, {0, 0, 533, 800}},
        {"wider than the page", {2000, 500}, {0, 0, 1000, 250}},
        // Shrunk to the page height it would still be 1600 wide: it is fitted to the width instead, so
        // no part of it falls off the paper.
        {"too large both ways, wide", {3000, 1500}, {0, 0, 1000, 500}},
        {"a quarter and a fifth exactly", {250, 160}, {0, 0, 250, 160}},
        {"rounded to the nearest", {999, 333}, {0, 0, 999, 333}},
        {"rounded when enlarged", {3, 1}, {0, 0, 480, 160}},
        {"empty picture", {0, 0}, {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printRectangle(c.picture, page), c.printed) << c.name;
}
