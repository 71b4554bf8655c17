#include "TDbMultiImgControl.h"

#include <QLabel>
#include <QPixmap>
#include <QtEndian>
#include <QVBoxLayout>

TDbMultiImgControl::TDbMultiImgControl(QWidget* parent) : QWidget(parent), m_view(new QLabel(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setAlignment(Qt::AlignCenter);
    m_view->setFrameShape(QFrame::StyledPanel);
    m_view->setMinimumSize(16, 16);
    setFocusPolicy(Qt::StrongFocus);
}

void TDbMultiImgControl::setPictureData(const QByteArray& data)
{
    m_data = data;
    m_image = QImage::fromData(bitmapBytes(data), "BMP");
    showPicture();
    emit pictureChanged();
}

QByteArray TDbMultiImgControl::bitmapBytes(const QByteArray& stored)
{
    if (stored.size() >= 8) {
        const auto* bytes = reinterpret_cast<const uchar*>(stored.constData());
        const bool header = qFromLittleEndian<quint16>(bytes) == 1 &&
                            qFromLittleEndian<quint16>(bytes + 2) == 256 &&
                            qFromLittleEndian<quint32>(bytes + 4) == static_cast<quint32>(stored.size() - 8);
        if (header)
            return stored.mid(8);
    }
    return stored;
}

void TDbMultiImgControl::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    showPicture();
}

void TDbMultiImgControl::showPicture()
{
    if (m_image.isNull()) {
        m_view->clear();
        return;
    }
    const QSize room = m_view->contentsRect().size();
    m_view->setPixmap(
        QPixmap::fromImage(m_image.size().boundedTo(room) == m_image.size()
                               ? m_image
                               : m_image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}
