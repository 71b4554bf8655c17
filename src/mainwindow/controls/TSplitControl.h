#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QWidget>

// Drags a splitter grip: while the mouse is held, an inverted line across the panel being resized shows
// where the panel's edge will go. The line is as wide as the grip; it runs vertically, unless the grip is
// wider than high, in which case it runs horizontally.
//
// The grip's mouse handlers drive it: Start on the press, Move with each movement (the pointer in the
// grip's coordinates), Stop on the release.
class TSplitControl : public QObject
{
    Q_OBJECT

public:
    // window: the widget the line is drawn on, an ancestor of grip and panel.
    explicit TSplitControl(QWidget* window);
    ~TSplitControl() override;

    void Start(QWidget* grip, QWidget* panel);
    void Move(int x, int y);
    // Ends the drag: the line's position in the panel's coordinates is the offset by which the panel is
    // shrunk (width for a vertical line, height for a horizontal one); returns it. 0 when not dragging.
    int Stop();
    bool IsDragging() const { return m_dragging; }

    bool isHorizontal() const { return m_horizontal; }
    // Where the line's centre is, in the window's coordinates along the direction the grip moves.
    int linePosition() const { return m_position; }
    // The line as drawn, in the window's coordinates.
    QRect lineRect() const;

private:
    void showLine();

    QPointer<QWidget> m_window;
    QPointer<QWidget> m_grip;
    QPointer<QWidget> m_panel;
    QPointer<QWidget> m_line;
    bool m_horizontal = false;
    bool m_dragging = false;
    int m_position = 0;
    int m_thickness = 0;
};
