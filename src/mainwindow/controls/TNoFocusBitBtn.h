#pragma once

#include <QPixmap>
#include <QPushButton>

// A bitmap button that never takes the input focus: the glyph sits at the left margin, the caption is
// centred in the room right of it.
class TNoFocusBitBtn : public QPushButton
{
    Q_OBJECT

public:
    explicit TNoFocusBitBtn(QWidget* parent = nullptr);

    QPixmap glyph() const { return m_glyph; }
    void setGlyph(const QPixmap& glyph);
    int glyphMargin() const { return m_margin; }
    void setGlyphMargin(int margin);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_glyph;
    int m_margin = 1;
};
