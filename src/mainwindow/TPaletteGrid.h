#pragma once

#include <QWidget>

// The one-column grid of the 16 palette colours in the colour dialog. The cell of the chosen palette
// index is framed: black on the light colours (indices below 12), yellow on the dark ones.
class TPaletteGrid : public QWidget
{
    Q_OBJECT

public:
    static constexpr int cellWidth = 64;
    static constexpr int cellHeight = 16;
    static constexpr int frameWidth = 2;

    explicit TPaletteGrid(QWidget* parent = nullptr);

    int chosenIndex() const { return m_chosen; }
    void setChosenIndex(int index);
    QRect cellRect(int index) const;
    // The frame's colour around the cell of an index.
    static QColor frameColor(int index);

    QSize sizeHint() const override;

signals:
    void cellClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    int m_chosen = -1;
};
