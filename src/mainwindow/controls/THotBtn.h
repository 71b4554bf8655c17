#pragma once

#include <QPushButton>
#include <QTimer>

// A speed-bar button whose caption turns red while the pointer is over it. A leave can go unnoticed
// (the pointer leaves fast, or into another window), so while the caption is red a 500 ms timer looks
// where the pointer is and turns it black again once it has left.
class THotBtn : public QPushButton
{
    Q_OBJECT

public:
    static constexpr int leaveCheckMs = 500;

    explicit THotBtn(QWidget* parent = nullptr);
    explicit THotBtn(const QString& caption, QWidget* parent = nullptr);

    bool isHot() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void becomeHot();
    void becomeCold();
    void checkPointer();

    QTimer m_leaveCheck;
};
