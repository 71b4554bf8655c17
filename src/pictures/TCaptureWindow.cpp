#include "TCaptureWindow.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

TCaptureWindow::TCaptureWindow(const QImage& screenShot, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_screenShot(screenShot)
{
    setObjectName(QStringLiteral("CaptureWindow"));
    setCursor(Qt::CrossCursor);
    const QScreen* screen = QGuiApplication::primaryScreen();
    setGeometry(screen->geometry());
}

QImage TCaptureWindow::captureScreen()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            window->repaint();
    QCoreApplication::processEvents();
    QScreen* screen = QGuiApplication::primaryScreen();
    TCaptureWindow window(screen->grabWindow(0).toImage());
    window.exec();
    return window.captured();
}

QRect TCaptureWindow::selection() const
{
    // Corners ordered; the far corner is not part of the area, so a click without moving picks nothing.
    const int left = std::min(m_start.x(), m_end.x());
    const int top = std::min(m_start.y(), m_end.y());
    return {left, top, std::abs(m_end.x() - m_start.x()), std::abs(m_end.y() - m_start.y())};
}

void TCaptureWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    grabMouse(Qt::CrossCursor);
}

void TCaptureWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_screenShot);
    if (!m_dragging)
        return;
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(selection());
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(selection());
}

void TCaptureWindow::mousePressEvent(QMouseEvent* event)
{
    m_start = m_end = event->position().toPoint();
    m_dragging = true;
    update();
}

void TCaptureWindow::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_end = event->position().toPoint();
    update();
}

void TCaptureWindow::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_end = event->position().toPoint();
    m_dragging = false;
    const QRect area = selection();
    const qreal ratio = m_screenShot.devicePixelRatio();
    m_captured =
        area.isEmpty() ? QImage() : m_screenShot.copy(QRect(area.topLeft() * ratio, area.size() * ratio));
    releaseMouse();
    unsetCursor();
    accept();
}
