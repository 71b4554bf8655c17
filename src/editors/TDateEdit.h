#pragma once

#include <QDate>
#include <QLineEdit>

// A date field. Its text shows the date in one of the four date formats; the blank date is an empty text.
class TDateEdit : public QLineEdit
{
    Q_OBJECT
public:
    enum Format
    {
        MonthDayYear = 0,
        DayMonthYear = 1,
        YearMonthDay = 2,
        YearOnly = 3
    };

    explicit TDateEdit(QWidget* parent = nullptr);

    int dateFormat() const { return m_format; }
    void setDateFormat(int format);

    // An invalid QDate for the blank date, and for a text that is not a date in the current format.
    QDate date() const;
    void setDate(const QDate& date);
    bool isBlank() const;

    // The display pattern of a format, e.g. "mm/dd/yyyy".
    static QString formatPattern(int format);
    static QString formatDate(const QDate& date, int format);
    static QDate parseDate(const QString& text, int format);

signals:
    void formatChanged(int format);
    void fontRequested();
    void colorRequested();

private:
    int m_format = MonthDayYear;
};
