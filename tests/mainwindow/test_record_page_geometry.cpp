#include "mainwindow/RecordPageGeometry.h"

#include <gtest/gtest.h>

using recordpage::Item;
using recordpage::ItemKind;

namespace {

// A page drawn 220 wide: a full-width field, two fields sharing a row, a memo, and a picture beside three
// stacked fields; each field has its caption above it.
QList<Item> designedPage()
{
    return {
        {ItemKind::Caption, 1, {8, 8, 204, 16}},    {ItemKind::OneLine, 1, {8, 24, 204, 24}},
        {ItemKind::Caption, 2, {8, 54, 98, 16}},    {ItemKind::OneLine, 2, {8, 70, 98, 24}},
        {ItemKind::Caption, 3, {114, 54, 98, 16}},  {ItemKind::OneLine, 3, {114, 70, 98, 24}},
        {ItemKind::Caption, 4, {8, 100, 204, 16}},  {ItemKind::MultiLine, 4, {8, 116, 204, 60}},
        {ItemKind::Caption, 5, {8, 182, 98, 16}},   {ItemKind::OneLine, 5, {8, 198, 98, 24}},
        {ItemKind::OneLine, 6, {8, 244, 98, 24}},   {ItemKind::OneLine, 7, {8, 290, 98, 24}},
        {ItemKind::Caption, 8, {114, 182, 98, 16}}, {ItemKind::Picture, 8, {114, 198, 98, 116}},
    };
}

QRect rectOf(const QList<Item>& items, const QList<QRect>& rects, ItemKind kind, int field)
{
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i].kind == kind && items[i].field == field)
            return rects[i];
    }
    ADD_FAILURE() << "no item for field " << field;
    return {};
}

} // namespace

TEST(RecordPageGeometry, WidthIsSharedByTheFieldsOfARow)
{
    const QList<Item> page = designedPage();
    const QList<QRect> wider = recordpage::Stretch(page, 220, {321, 322});
    // Alone in its row: the whole 101 pixels; sharing a row: half each, the right one moving by the half.
    EXPECT_EQ(rectOf(page, wider, ItemKind::OneLine, 1), QRect(8, 24, 305, 24));
    EXPECT_EQ(rectOf(page, wider, ItemKind::OneLine, 2), QRect(8, 70, 148, 24));
    EXPECT_EQ(rectOf(page, wider, ItemKind::OneLine, 3), QRect(164, 70, 149, 24));
    EXPECT_EQ(rectOf(page, wider, ItemKind::MultiLine, 4).width(), 305);
    // A caption keeps to its field.
    EXPECT_EQ(rectOf(page, wider, ItemKind::Caption, 3), QRect(164, 54, 149, 16));
    // The fields beside the picture do not share their rows with it: they grow, and the picture moves.
    EXPECT_EQ(rectOf(page, wider, ItemKind::OneLine, 5).width(), 199);
    EXPECT_EQ(rectOf(page, wider, ItemKind::Picture, 8).topLeft(), QPoint(215, 198));
    EXPECT_EQ(rectOf(page, wider, ItemKind::Picture, 8).width(), 98);
    EXPECT_EQ(rectOf(page, wider, ItemKind::Caption, 8).x(), 215);
}

TEST(RecordPageGeometry, ThePictureAtTheLeftEdgeStaysWhereItIs)
{
    const QList<Item> page = {
        {ItemKind::Picture, 2, {8, 24, 98, 100}},
        {ItemKind::OneLine, 1, {114, 24, 98, 24}},
    };
    const QList<QRect> wider = recordpage::Stretch(page, 220, {320, 200});
    EXPECT_EQ(wider[0], QRect(8, 24, 98, 24))
        << "beside another field it ends where the field before it ends";
    EXPECT_EQ(wider[1], QRect(114, 24, 198, 24));
}

TEST(RecordPageGeometry, HeightGoesToTheMultiLineFieldAndMovesWhatLiesBelow)
{
    const QList<Item> page = designedPage();
    // The lowest control ends at 314; a page 422 high leaves 100 pixels for the memo besides the 8 kept.
    const QList<QRect> taller = recordpage::Stretch(page, 220, {220, 422});
    EXPECT_EQ(rectOf(page, taller, ItemKind::MultiLine, 4), QRect(8, 116, 204, 160));
    EXPECT_EQ(rectOf(page, taller, ItemKind::OneLine, 3).y(), 70);
    EXPECT_EQ(rectOf(page, taller, ItemKind::Caption, 5).y(), 282);
    EXPECT_EQ(rectOf(page, taller, ItemKind::OneLine, 7).y(), 390);
    // The picture beside the fields moves down with them and keeps ending with field 7.
    EXPECT_EQ(rectOf(page, taller, ItemKind::Picture, 8), QRect(114, 298, 98, 116));
}

TEST(RecordPageGeometry, AMultiLineFieldKeepsOneLineWhenThePageIsTooShort)
{
    const QList<Item> page = designedPage();
    const QList<QRect> shorter = recordpage::Stretch(page, 220, {220, 100});
    EXPECT_EQ(rectOf(page, shorter, ItemKind::MultiLine, 4).height(), 24) << "the height of field 1";
    EXPECT_EQ(rectOf(page, shorter, ItemKind::OneLine, 5).y(), 198 - 36);
}

TEST(RecordPageGeometry, APictureAloneInItsRowFillsThePage)
{
    const QList<Item> page = {
        {ItemKind::Caption, 1, {8, 8, 204, 16}},
        {ItemKind::Picture, 1, {8, 24, 204, 300}},
    };
    const QList<QRect> bigger = recordpage::Stretch(page, 220, {420, 500});
    EXPECT_EQ(bigger[1], QRect(8, 24, 404, 468));
    EXPECT_EQ(bigger[0], QRect(8, 8, 404, 16));
    EXPECT_EQ(recordpage::Stretch(page, 220, {220, 40})[1].height(), recordpage::defaultLineHeight)
        << "a page without one-line fields counts 24 pixels to the line";
}

TEST(RecordPageGeometry, GrowingIsSharedBySeveralMultiLineFields)
{
    const QList<Item> page = {
        {ItemKind::OneLine, 1, {8, 8, 204, 30}},
        {ItemKind::MultiLine, 2, {8, 44, 204, 50}},
        {ItemKind::MultiLine, 3, {8, 100, 204, 50}},
    };
    const QList<QRect> taller = recordpage::Stretch(page, 220, {220, 259});
    // 259 - 8 - 150 leaves 101: 50 for the first, 51 for the last.
    EXPECT_EQ(taller[1], QRect(8, 44, 204, 100));
    EXPECT_EQ(taller[2], QRect(8, 150, 204, 101));
    EXPECT_EQ(recordpage::Stretch(page, 220, {220, 0})[2].height(), 30) << "one line is field 1's height";
}

TEST(RecordPageGeometry, RespacingGivesEveryRowTheNewHeight)
{
    const QList<Item> page = designedPage();
    const QList<Item> spaced = recordpage::Respace(page, 30);
    auto rect = [&spaced](ItemKind kind, int field) {
        for (const Item& item : spaced) {
            if (item.kind == kind && item.field == field)
                return item.rect;
        }
        return QRect();
    };
    EXPECT_EQ(rect(ItemKind::OneLine, 1), QRect(8, 24, 204, 30));
    EXPECT_EQ(rect(ItemKind::Caption, 2).y(), 60);
    EXPECT_EQ(rect(ItemKind::OneLine, 3), QRect(114, 76, 98, 30));
    EXPECT_EQ(rect(ItemKind::MultiLine, 4), QRect(8, 128, 204, 60)) << "memos keep their height";
    EXPECT_EQ(rect(ItemKind::OneLine, 5).y(), 210);
    EXPECT_EQ(rect(ItemKind::OneLine, 6).y(), 262);
    EXPECT_EQ(rect(ItemKind::OneLine, 7).y(), 314);
    // The picture beside them starts with its row; the stretch then ends it with field 7.
    EXPECT_EQ(rect(ItemKind::Picture, 8).y(), 210);
    const QList<QRect> stretched = recordpage::Stretch(spaced, 220, {220, 352});
    EXPECT_EQ(stretched[13], QRect(114, 210, 98, 134));
}
