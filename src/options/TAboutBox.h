#pragma once

#include <QDialog>
#include <QTimer>

class QLabel;
class QPushButton;

// The program's icon, title and version: the start-up splash and the Help menu's About window.
class TAboutBox : public QDialog
{
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);

    // As splash: no animation, no OK button, caption "Welcome".
    void makeSplash();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void growIcon();

    QLabel* m_icon;
    QLabel* m_title;
    QLabel* m_version;
    QPushButton* m_ok;
    QTimer m_timer;
    bool m_animate = true;
};
