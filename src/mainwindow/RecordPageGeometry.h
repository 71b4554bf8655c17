#pragma once

#include <QList>
#include <QRect>
#include <QSize>

// Where the controls of a record page go when the page changes size or the one-line fields change
// height. The page was designed for one width; every geometry is computed afresh from that base, so that
// any number of resizes ends where a single one would.
namespace recordpage {

enum class ItemKind
{
    OneLine,   // edits and combo boxes
    MultiLine, // memos
    Picture,
    Caption // the caption label of a field
};

struct Item
{
    ItemKind kind = ItemKind::OneLine;
    int field = 0; // field number; a caption carries its field's number
    QRect rect;
};

// The gap kept between the lowest control and the bottom of the page.
inline constexpr int bottomGap = 8;
// The height of a line when the page has no one-line field.
inline constexpr int defaultLineHeight = 24;

// The geometry of every item, in order, on a page of the given size. Widths: a multi-line field and a
// field alone in its row grow with the page; fields sharing a row share the growth; a picture beside
// other fields moves with the right edge (unless it sits at the left edge) and one alone in its row
// grows. Heights: the room below the lowest control is shared by the multi-line fields and the pictures
// alone in their row, none shorter than a line; what lies below a grown field moves down with it; a
// picture beside other fields ends where the field before it ends. Captions follow their fields
// sideways.
QList<QRect> Stretch(const QList<Item>& base, int baseWidth, const QSize& page);

// The base re-spaced for one-line fields of a new height: each row of one-line fields takes that height
// and everything below the row moves by the difference.
QList<Item> Respace(const QList<Item>& base, int lineHeight);

} // namespace recordpage
