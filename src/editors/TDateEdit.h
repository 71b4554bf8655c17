#pragma once

#include "DateMask.h"
#include "TMyBtnEdit.h"

#include <array>
#include <optional>
#include <QDate>

class QAction;

// A date field: a mask such as "__/__/____" that digits overwrite, checked when the field is left, a
// calendar behind its button and a menu with Undo, Today, Clear, Font, Color and the date format.
class TDateEdit : public TMyBtnEdit
{
    Q_OBJECT
public:
    // The format numbers the record's date fields keep.
    enum Format
    {
        MonthDayYear = 0,
        DayMonthYear = 1,
        YearMonthDay = 2,
        YearOnly = 3
    };
    static constexpr int formatCount = 4;
    static constexpr int fieldLength = 10;

    // The pattern of a format number, e.g. "mm/dd/yyyy".
    static QString formatPattern(int format);

    explicit TDateEdit(QWidget* parent = nullptr);

    // The format number the current pattern belongs to ("mm/dd/yy" counts as 0, and so on).
    int dateFormat() const;
    void setDateFormat(int format);
    QString dateFormatText() const { return m_mask.format(); }
    void setDateFormatText(const QString& format);
    QChar separator() const { return m_mask.separator(); }

    // The date shown; an invalid QDate when the field is blank, today when the text is no date.
    QDate date() const;
    // Shows a date; an invalid QDate clears the field to its mask.
    void setDate(const QDate& date);
    bool isBlank() const { return m_mask.isBlank(); }
    // Zero-fills the text and tells whether it is blank or a date.
    bool isValidDate();
    void clearDate();

    // The characters shown. A text of the mask's layout that is a date is taken; any other text
    // leaves the field as it was, and an empty one clears it.
    QString dateText() const { return m_mask.text(); }
    void setDateText(const QString& text);

    QString undoDate() const { return m_undoDate; }
    int caretPos() const { return m_mask.caretPos(); }
    int maskLength() const { return m_mask.maskLength(); }

    // For dialogs that reuse the field: the menu offers no font or colour.
    void hideFontColorItems();

signals:
    // The format was chosen from the field's menu.
    void formatChanged(int format);
    void fontRequested();
    void colorRequested();

protected:
    bool isValidChar(QChar c) const override;
    void buttonClick() override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void buildMenu();
    void checkFormatItem();
    void chooseFormat(int format);
    void showText();
    void textChangedFromOutside(const QString& text);
    void noteChange();
    std::optional<QDate> heldDate() const;
    void holdDate(const QDate& date);

    editors::DateMask m_mask;
    QString m_undoDate;
    // The date last given to the field, kept while its text is unchanged: formats such as "yyyy" show
    // less than the whole date, and reading the text back must not lose the rest.
    QDate m_heldDate;
    QString m_heldText;
    bool m_showing = false;
    QAction* m_undoItem = nullptr;
    QAction* m_fontItem = nullptr;
    QAction* m_colorItem = nullptr;
    std::array<QAction*, formatCount> m_formatItems{};
};
