#pragma once

#include <QDialog>
#include <QImage>
#include <QPixmap>

class QAction;
class QMenu;

// A picture shown alone on the whole screen: borderless, black, on top of everything, centred. It starts
// at the picture's natural size; its menu's "Auto Stretch" fits it to the screen. A click or any key
// closes it.
class TFullScreenView : public QDialog
{
    Q_OBJECT
public:
    explicit TFullScreenView(const QImage& picture, QWidget* parent = nullptr);

    bool isFitted() const { return m_fitted; }
    void setFitted(bool fitted);
    // Where the picture is drawn, in the view's coordinates.
    QRect pictureRect() const;
    QMenu* popupMenu() const { return m_menu; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QImage m_picture;
    bool m_fitted = false;
    QPixmap m_fittedPixmap;
    QMenu* m_menu;
    QAction* m_autoStretch;
};
