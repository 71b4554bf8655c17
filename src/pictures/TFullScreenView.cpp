#include "TFullScreenView.h"

#include "PictureGeometry.h"

#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QPainter>
#include <QScreen>

TFullScreenView::TFullScreenView(const QImage& picture, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_picture(picture),
      m_menu(new QMenu(this)), m_autoStretch(m_menu->addAction(QStringLiteral("Auto Stretch")))
{
    setObjectName(QStringLiteral("FullScreenView"));
    QPalette colors = palette();
    colors.setColor(QPalette::Window, Qt::black);
    setPalette(colors);
    setAutoFillBackground(true);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    setGeometry(screen->geometry());
    setWindowState(Qt::WindowFullScreen);
    m_autoStretch->setCheckable(true);
    connect(m_autoStretch, &QAction::triggered, this, [this](bool checked) { setFitted(checked); });
}

void TFullScreenView::setFitted(bool fitted)
{
    m_fitted = fitted;
    m_autoStretch->setChecked(fitted);
    m_fittedPixmap = QPixmap();
    update();
}

QRect TFullScreenView::pictureRect() const
{
    const QSize shown = m_fitted ? pictures::fittedSize(m_picture.size(), size()) : m_picture.size();
    QRect area(QPoint(), shown);
    area.moveCenter(rect().center());
    return area;
}

void TFullScreenView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = pictureRect();
    if (!m_fitted) {
        painter.drawImage(area.topLeft(), m_picture);
        return;
    }
    if (m_fittedPixmap.size() != area.size())
        m_fittedPixmap = QPixmap::fromImage(
            m_picture.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    painter.drawPixmap(area.topLeft(), m_fittedPixmap);
}

void TFullScreenView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        accept();
}

void TFullScreenView::keyPressEvent(QKeyEvent*)
{
    accept();
}

void TFullScreenView::contextMenuEvent(QContextMenuEvent* event)
{
    m_menu->exec(event->globalPos());
}
