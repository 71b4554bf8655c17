#pragma once

#include <QList>
#include <QWidget>

class QToolButton;

// The navigator of a grid: move to the first, prior, next or last row; insert, delete, edit, post and
// cancel a row; read the rows again.
class TDBNavigator : public QWidget
{
    Q_OBJECT
public:
    enum class Button
    {
        First,
        Prior,
        Next,
        Last,
        Insert,
        Delete,
        Edit,
        Post,
        Cancel,
        Refresh
    };
    static const QList<Button> allButtons;
    static const QList<Button> movingButtons; // First, Prior, Next, Last and Refresh

    explicit TDBNavigator(QWidget* parent = nullptr);

    QToolButton* button(Button which) const;
    // Only these buttons are shown.
    void setVisibleButtons(const QList<Button>& buttons);
    void setButtonEnabled(Button which, bool enabled);

signals:
    void clicked(TDBNavigator::Button which);

private:
    QList<QToolButton*> m_buttons; // in the order of Button
};
