#pragma once

#include <QDialog>
#include <QElapsedTimer>

class QLabel;
class QPushButton;
class TPercent;

// The "Progress" window of long runs (filters, export, import, maintenance). It is visible as soon as it
// exists, stays on top and takes all input while it is open, so that nothing else can be started half
// way through a run. The owner sets the total, reports the position between records and frees the
// window when done.
//
// Reporting the position also lets pending events run (at most every eventIntervalMs), so the window
// repaints and answers its Stop button; SetPosition and Step answer false once a stop was asked for.
class TPercentDlg : public QDialog
{
    Q_OBJECT

public:
    static constexpr int eventIntervalMs = 20;

    explicit TPercentDlg(QWidget* parent = nullptr);

    int total() const { return m_total; }
    // Also shows the percentage of the current position against the new total.
    void setTotal(int total);
    int position() const { return m_position; }
    // The percentage is position / total × 100, rounded; 100 when the total is 0.
    bool SetPosition(int position);
    bool Step() { return SetPosition(m_position + 1); }

    // Offers a button with this caption; it, Esc and closing the window ask the run to stop. Without it
    // the run cannot be stopped.
    void allowStop(const QString& caption = QStringLiteral("&Stop"));
    bool stopRequested() const { return m_stopRequested; }
    // Lets pending events run when the interval has passed; false once a stop was asked for. For loops
    // that have no position to report.
    bool keepResponsive();

    // A line of text above the bar (hidden while empty), and the bar itself, for runs that only count.
    void setMessage(const QString& text);
    void setBarVisible(bool visible);

    TPercent* bar() const { return m_bar; }
    QPushButton* stopButton() const { return m_stop; }

signals:
    void stopClicked();

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void requestStop();
    void showPercentage();

    TPercent* m_bar = nullptr;
    QLabel* m_message = nullptr;
    QPushButton* m_stop = nullptr;
    int m_total = 0;
    int m_position = 0;
    bool m_stopRequested = false;
    QElapsedTimer m_sinceEvents;
};
