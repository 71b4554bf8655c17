#include "TNoFocusBitBtn.h"

#include <QStyleOptionButton>
#include <QStylePainter>

TNoFocusBitBtn::TNoFocusBitBtn(QWidget* parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
}

void TNoFocusBitBtn::setGlyph(const QPixmap& glyph)
{
    m_glyph = glyph;
    updateGeometry();
    update();
}

void TNoFocusBitBtn::setGlyphMargin(int margin)
{
    m_margin = margin;
    update();
}

QSize TNoFocusBitBtn::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize glyph = m_glyph.deviceIndependentSize().toSize();
    return {m_margin + glyph.width() + metrics.horizontalAdvance(text()) + 12,
            qMax(glyph.height(), metrics.height()) + 6};
}

void TNoFocusBitBtn::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int shift = isDown() ? 1 : 0;
    int textLeft = 0;
    if (!m_glyph.isNull()) {
        const QSize glyph = m_glyph.deviceIndependentSize().toSize();
        const int top = (height() - glyph.height()) / 2 + shift;
        QPixmap shown = m_glyph;
        if (!isEnabled()) {
            QIcon icon(m_glyph);
            shown = icon.pixmap(glyph, devicePixelRatio(), QIcon::Disabled);
        }
        painter.drawPixmap(m_margin + shift, top, shown);
        textLeft = m_margin + glyph.width();
    }
    const QRect textArea = QRect(textLeft, 0, width() - textLeft, height()).adjusted(2, 2, -2, -2);
    painter.setClipRect(textArea);
    painter.drawItemText(textArea.translated(shift, shift), Qt::AlignCenter | Qt::TextSingleLine, palette(),
                         isEnabled(), text(), QPalette::ButtonText);
}
