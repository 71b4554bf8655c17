#pragma once

#include <QToolButton>

// A flat speed button whose caption turns red when the pointer moves over it and black when it leaves.
class THotSpeedBtn : public QToolButton
{
    Q_OBJECT

public:
    explicit THotSpeedBtn(QWidget* parent = nullptr);

    bool isHot() const;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
};
