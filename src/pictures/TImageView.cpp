#include "TImageView.h"

#include <QPainter>
#include <QPaintEvent>

namespace {
const QColor silver(192, 192, 192);
}

TImageView::TImageView(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Image"));
    QPalette colors = palette();
    colors.setColor(QPalette::Window, silver);
    setPalette(colors);
    setAutoFillBackground(true);
}

void TImageView::setPicture(const QImage& picture)
{
    m_picture = picture;
    m_stretched = QPixmap();
    update();
}

void TImageView::setStretched(bool stretch)
{
    if (m_stretch == stretch)
        return;
    m_stretch = stretch;
    m_stretched = QPixmap();
    update();
}

void TImageView::paintEvent(QPaintEvent* event)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    if (m_stretch) {
        if (m_stretched.size() != size())
            m_stretched =
                QPixmap::fromImage(m_picture.scaled(size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        painter.drawPixmap(event->rect(), m_stretched, event->rect());
        return;
    }
    // Only the part that needs painting is drawn: a large picture costs no more than the view shows.
    const QRect area = event->rect() & m_picture.rect();
    if (!area.isEmpty())
        painter.drawImage(area.topLeft(), m_picture, area);
}
