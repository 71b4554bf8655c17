#pragma once

#include <QAbstractButton>

// The small push button at the right edge of a button edit: a flat face with an ellipsis, which never
// takes the focus from its edit.
class TEditButton : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr int defaultWidth = 20;
    static inline const QColor disabledDots = QColor(0x80, 0x80, 0x80);

    explicit TEditButton(QWidget* edit);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};
