#pragma once

#include <QDialog>
#include <QImage>

// Picks an area of the screen: shows a picture of the whole screen over it, and the rectangle dragged with
// the mouse (a dotted frame) becomes the captured picture when the button is released.
class TCaptureWindow : public QDialog
{
    Q_OBJECT
public:
    // screenShot: the screen as it looked before this window appeared.
    explicit TCaptureWindow(const QImage& screenShot, QWidget* parent = nullptr);

    // Asks every window to repaint, takes a picture of the screen and lets the user pick the area. A null
    // image when the area has no width or no height.
    static QImage captureScreen();

    // The area picked last; null until then, and for an area without width or height.
    const QImage& captured() const { return m_captured; }
    QRect selection() const;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_screenShot;
    QPoint m_start;
    QPoint m_end;
    bool m_dragging = false;
    QImage m_captured;
};
