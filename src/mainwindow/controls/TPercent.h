#pragma once

#include <QColor>
#include <QWidget>

// A percentage bar: a sunken frame, the filled part in PercentColor (from the left when wider than high,
// from the top otherwise), and the percentage (or Caption) centred over it.
class TPercent : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int PercentShaded READ PercentShaded WRITE setPercentShaded)
    Q_PROPERTY(QColor PercentColor READ PercentColor WRITE setPercentColor)
    Q_PROPERTY(bool ShowPercent READ ShowPercent WRITE setShowPercent)
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(bool IsHorizontal READ IsHorizontal)

public:
    explicit TPercent(QWidget* parent = nullptr);

    int PercentShaded() const { return m_percent; }
    // Clamped to 0 … 100.
    void setPercentShaded(int percent);
    QColor PercentColor() const { return m_color; }
    void setPercentColor(const QColor& color);
    bool ShowPercent() const { return m_showPercent; }
    void setShowPercent(bool show);
    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    bool IsHorizontal() const { return width() >= height(); }

    // What is written over the bar: "<percent>%", or Caption when ShowPercent is off.
    QString text() const;
    // The filled part, in the widget's coordinates (empty at 0 %).
    QRect filledRect() const;

    QSize sizeHint() const override { return {90, 20}; }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QRect barRect() const;

    int m_percent = 0;
    QColor m_color = Qt::red;
    bool m_showPercent = true;
    QString m_caption;
};
