#pragma once

#include "TColorButton.h"

#include <QList>
#include <QRect>

// One text column of a record button.
struct TLabelCol
{
    static constexpr int maxTextLength = 128;

    QString text;
    int percent = 0;     // 1 … 100; anything else means the column has no width
    int pixelWidth = -1; // -1 until the button distributes its width
    bool rightAlign = false;
};

// A record button: the face of TColorButton with text columns instead of a caption. Each column gets its
// percentage of the button's width; a column's text is cut at the end (no ellipsis) to fit it, and a
// right-aligned (numeric) column ends one space before its right edge.
class TFormatedButton : public TColorButton
{
    Q_OBJECT

public:
    // Where one column's text is drawn on a button that is not sunken (a sunken button moves it by one
    // pixel right and down).
    struct ColumnPlacement
    {
        QRect area;    // from the column's left to its right end, text top and height
        QString shown; // the text as drawn: cut to fit, with the trailing space of a right-aligned column
        bool rightAlign = false;
    };

    explicit TFormatedButton(QWidget* parent = nullptr);

    // Texts longer than TLabelCol::maxTextLength are cut.
    void AddColumn(int percent, const QString& text, bool rightAlign = false);
    // Indexes outside the columns are ignored.
    void SetColumnText(int index, const QString& text);
    void SetColumnRightAlign(int index, bool rightAlign);
    void ClearColumnTexts();
    void RemoveAllColumns();
    void SetGap(int gap);

    int gap() const { return m_gap; }
    int columnCount() const { return static_cast<int>(m_columns.size()); }
    const TLabelCol& column(int index) const { return m_columns.at(index); }
    QList<ColumnPlacement> columnPlacements() const;

protected:
    void paintContent(QPainter& painter, bool sunken) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void distributeWidths() const;

    mutable QList<TLabelCol> m_columns;
    int m_gap = 4;
    mutable int m_distributedTotal = -1;
};
