#include "TFormatedButton.h"

#include <algorithm>
#include <QPainter>

TFormatedButton::TFormatedButton(QWidget* parent) : TColorButton(parent) {}

void TFormatedButton::AddColumn(int percent, const QString& text, bool rightAlign)
{
    m_columns.append({text.left(TLabelCol::maxTextLength), percent, -1, rightAlign});
    m_distributedTotal = -1;
    update();
}

void TFormatedButton::SetColumnText(int index, const QString& text)
{
    if (index < 0 || index >= m_columns.size())
        return;
    m_columns[index].text = text.left(TLabelCol::maxTextLength);
    update();
}

void TFormatedButton::SetColumnRightAlign(int index, bool rightAlign)
{
    if (index < 0 || index >= m_columns.size())
        return;
    m_columns[index].rightAlign = rightAlign;
    update();
}

void TFormatedButton::ClearColumnTexts()
{
    for (TLabelCol& column : m_columns)
        column.text.clear();
    update();
}

void TFormatedButton::RemoveAllColumns()
{
    m_columns.clear();
    m_distributedTotal = -1;
    update();
}

void TFormatedButton::SetGap(int gap)
{
    if (gap == m_gap)
        return;
    m_gap = gap;
    m_distributedTotal = -1;
    update();
}

void TFormatedButton::resizeEvent(QResizeEvent* event)
{
    TColorButton::resizeEvent(event);
    update();
}

void TFormatedButton::distributeWidths() const
{
    const int total = qMax(0, width() - static_cast<int>(m_columns.size()) * m_gap - 8);
    for (TLabelCol& column : m_columns) {
        const bool hasWidth = column.percent >= 1 && column.percent <= 100;
        column.pixelWidth = hasWidth ? column.percent * total / 100 : 0;
    }
    m_distributedTotal = total;
}

QList<TFormatedButton::ColumnPlacement> TFormatedButton::columnPlacements() const
{
    const int total = qMax(0, width() - static_cast<int>(m_columns.size()) * m_gap - 8);
    // A column added since, or a button resized since, needs the widths shared out again.
    if (total != m_distributedTotal || std::any_of(m_columns.cbegin(), m_columns.cend(),
                                                   [](const TLabelCol& c) { return c.pixelWidth == -1; }))
        distributeWidths();

    const QFontMetrics metrics(font());
    const int textHeight = qMin(metrics.height(), height() - 6);
    const int textTop = qMax(2, (height() - textHeight) / 2);
    const int rightLimit = width() - 6;

    QList<ColumnPlacement> placements;
    int x = 6;
    for (int i = 0; i < m_columns.size(); ++i) {
        const TLabelCol& column = m_columns[i];
        if (i > 0)
            x += m_gap;
        const int right = qMin(x + column.pixelWidth, rightLimit);
        const int room = right - x;
        const QString suffix = column.rightAlign ? QStringLiteral(" ") : QString();
        QString text = column.text;
        while (!text.isEmpty() && metrics.horizontalAdvance(text + suffix) > room)
            text.chop(1);
        QString shown =
            text.isEmpty() && metrics.horizontalAdvance(suffix) > room ? QString() : text + suffix;
        placements.append({QRect(x, textTop, qMax(0, room), textHeight), shown, column.rightAlign});
        x += column.pixelWidth;
    }
    return placements;
}

void TFormatedButton::paintContent(QPainter& painter, bool sunken)
{
    const int shift = sunken ? 1 : 0;
    painter.save();
    painter.setFont(font());
    painter.setPen(effectiveTextColor());
    for (const ColumnPlacement& placement : columnPlacements()) {
        if (placement.shown.isEmpty())
            continue;
        const Qt::Alignment alignment = placement.rightAlign ? Qt::AlignRight : Qt::AlignLeft;
        painter.drawText(placement.area.translated(shift, shift),
                         alignment | Qt::AlignVCenter | Qt::TextSingleLine, placement.shown);
    }
    painter.restore();
}
