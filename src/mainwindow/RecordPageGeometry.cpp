#include "RecordPageGeometry.h"

#include <algorithm>

namespace recordpage {

namespace {

// Fields whose tops lie this close share a row.
constexpr int rowTolerance = 4;
// A picture beside other fields that starts this far left is the page's left column: it stays put.
constexpr int pictureLeftEdge = 41;

bool isField(const Item& item)
{
    return item.kind != ItemKind::Caption;
}

int bottomEdge(const QRect& rect)
{
    return rect.y() + rect.height();
}

bool overlapVertically(const QRect& a, const QRect& b)
{
    return a.y() < bottomEdge(b) && b.y() < bottomEdge(a);
}

bool isBesideOtherFields(const QList<Item>& items, qsizetype index)
{
    for (qsizetype j = 0; j < items.size(); ++j) {
        if (j != index && isField(items[j]) && overlapVertically(items[j].rect, items[index].rect))
            return true;
    }
    return false;
}

// The one-line fields whose tops lie within the tolerance of the item's top, from left to right.
QList<qsizetype> rowOf(const QList<Item>& items, qsizetype index)
{
    QList<qsizetype> row;
    for (qsizetype j = 0; j < items.size(); ++j) {
        if (items[j].kind == ItemKind::OneLine &&
            std::abs(items[j].rect.y() - items[index].rect.y()) <= rowTolerance)
            row.append(j);
    }
    std::sort(row.begin(), row.end(),
              [&](qsizetype a, qsizetype b) { return items[a].rect.x() < items[b].rect.x(); });
    return row;
}

int lineHeightOf(const QList<Item>& items)
{
    const Item* first = nullptr;
    for (const Item& item : items) {
        if (item.kind == ItemKind::OneLine && (!first || item.field < first->field))
            first = &item;
    }
    return first ? first->rect.height() : defaultLineHeight;
}

qsizetype fieldIndex(const QList<Item>& items, int field)
{
    for (qsizetype j = 0; j < items.size(); ++j) {
        if (isField(items[j]) && items[j].field == field)
            return j;
    }
    return -1;
}

void stretchSideways(const QList<Item>& base, int dw, QList<QRect>& result)
{
    for (qsizetype i = 0; i < base.size(); ++i) {
        QRect& rect = result[i];
        switch (base[i].kind) {
        case ItemKind::MultiLine:
            rect.setWidth(rect.width() + dw);
            break;
        case ItemKind::Picture:
            if (!isBesideOtherFields(base, i))
                rect.setWidth(rect.width() + dw);
            else if (rect.x() >= pictureLeftEdge)
                rect.translate(dw, 0);
            break;
        case ItemKind::OneLine: {
            const QList<qsizetype> row = rowOf(base, i);
            const auto n = static_cast<int>(row.size());
            const auto k = static_cast<int>(row.indexOf(i));
            const int share = dw / n;
            rect.translate(k * share, 0);
            rect.setWidth(rect.width() + (k == n - 1 ? dw - (n - 1) * share : share));
            break;
        }
        case ItemKind::Caption:
            break;
        }
    }
    // A caption keeps to its field.
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (base[i].kind != ItemKind::Caption)
            continue;
        const qsizetype field = fieldIndex(base, base[i].field);
        if (field < 0)
            continue;
        result[i].translate(result[field].x() - base[field].rect.x(), 0);
        result[i].setWidth(result[i].width() + result[field].width() - base[field].rect.width());
    }
}

void stretchDownwards(const QList<Item>& base, int pageHeight, QList<QRect>& result)
{
    QList<qsizetype> growers;
    int lowest = 0;
    for (qsizetype i = 0; i < base.size(); ++i) {
        lowest = std::max(lowest, bottomEdge(base[i].rect));
        if (base[i].kind == ItemKind::MultiLine ||
            (base[i].kind == ItemKind::Picture && !isBesideOtherFields(base, i)))
            growers.append(i);
    }
    if (growers.isEmpty())
        return;
    std::sort(growers.begin(), growers.end(),
              [&](qsizetype a, qsizetype b) { return base[a].rect.y() < base[b].rect.y(); });

    const int room = pageHeight - bottomGap - lowest;
    const int line = lineHeightOf(base);
    const auto n = static_cast<int>(growers.size());
    const int share = room / n;
    QList<int> growth;
    for (int g = 0; g < n; ++g) {
        const int height = base[growers[g]].rect.height();
        const int wanted = height + (g == n - 1 ? room - (n - 1) * share : share);
        growth.append(std::max(line, wanted) - height);
    }
    for (qsizetype j = 0; j < base.size(); ++j) {
        int shift = 0;
        for (int g = 0; g < n; ++g) {
            if (bottomEdge(base[growers[g]].rect) <= base[j].rect.y())
                shift += growth[g];
        }
        result[j].translate(0, shift);
    }
    for (int g = 0; g < n; ++g)
        result[growers[g]].setHeight(base[growers[g]].rect.height() + growth[g]);
}

// A picture beside other fields ends where the field before it ends.
void alignPicturesBesideFields(const QList<Item>& base, QList<QRect>& result)
{
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (base[i].kind != ItemKind::Picture || !isBesideOtherFields(base, i))
            continue;
        const qsizetype previous = fieldIndex(base, base[i].field - 1);
        if (previous >= 0)
            result[i].setHeight(std::max(1, bottomEdge(result[previous]) - result[i].y()));
    }
}

} // namespace

QList<QRect> Stretch(const QList<Item>& base, int baseWidth, const QSize& page)
{
    QList<QRect> result;
    for (const Item& item : base)
        result.append(item.rect);
    stretchSideways(base, page.width() - baseWidth, result);
    stretchDownwards(base, page.height(), result);
    alignPicturesBesideFields(base, result);
    return result;
}

QList<Item> Respace(const QList<Item>& base, int lineHeight)
{
    QList<Item> result = base;
    QList<int> shift(base.size(), 0);
    QList<bool> done(base.size(), false);
    QList<qsizetype> order;
    for (qsizetype i = 0; i < base.size(); ++i) {
        if (base[i].kind == ItemKind::OneLine)
            order.append(i);
    }
    std::sort(order.begin(), order.end(),
              [&](qsizetype a, qsizetype b) { return base[a].rect.y() < base[b].rect.y(); });
    for (qsizetype first : order) {
        if (done[first])
            continue;
        const QList<qsizetype> row = rowOf(base, first);
        int oldHeight = 0;
        for (qsizetype j : row) {
            oldHeight = std::max(oldHeight, base[j].rect.height());
            done[j] = true;
            result[j].rect.setHeight(lineHeight);
        }
        const int rowBottom = base[first].rect.y() + oldHeight;
        for (qsizetype j = 0; j < base.size(); ++j) {
            if (base[j].rect.y() >= rowBottom)
                shift[j] += lineHeight - oldHeight;
        }
    }
    for (qsizetype j = 0; j < base.size(); ++j)
        result[j].rect.translate(0, shift[j]);
    return result;
}

} // namespace recordpage
