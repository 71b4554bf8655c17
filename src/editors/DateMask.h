#pragma once

#include <optional>
#include <QDate>
#include <QString>

namespace editors {

// The text of a date field: a fixed-length mask of digits, blanks "_" and date separators that typing
// overwrites and never shifts. Formats use "/" for the separator; the text shows the real separator.
class DateMask
{
public:
    static inline const QString defaultFormat = QStringLiteral("mm/dd/yyyy");
    static constexpr QChar blank = QLatin1Char('_');

    // The form a system short date format or a requested format takes: non-letters become "/", a
    // single leading letter and a single fourth letter before "/" are doubled, at most 10 characters.
    static QString normaliseFormat(const QString& format);
    // The normalised format when it is one of the seven known ones (case counts), else the default.
    static QString knownFormatOf(const QString& format);
    // The first separator character of a system short date format; "/" when it has none.
    static QChar separatorOf(const QString& shortDateFormat);

    // A date written in one of the known formats, and read back; year-only formats read 1 January.
    static QString formatDate(const QDate& date, const QString& format, QChar separator);
    static std::optional<QDate> parseDate(const QString& text, const QString& format, QChar separator);

    explicit DateMask(const QString& format = defaultFormat, QChar separator = QLatin1Char('/'));

    const QString& format() const { return m_format; }
    QChar separator() const { return m_separator; }
    const QString& text() const { return m_text; }
    int caretPos() const { return m_caret; }
    int maskLength() const { return static_cast<int>(m_mask.size()); }
    const QString& blankMask() const { return m_mask; }
    bool isSeparatorPosition(int position) const;

    bool isBlank() const;
    // Takes a text of the mask's layout (its length, separators in place, digits or blanks elsewhere).
    bool setText(const QString& text);
    void clear();

    // Typing; each returns whether the text changed.
    bool typeDigit(QChar digit);
    bool backspace();
    bool deleteForward();

    void home();
    void end();
    void left();
    void right();
    // Where a mouse click puts the caret: never directly before a separator.
    void placeCaret(int position);

    // Blanks in front of each group's first digit become "0".
    void zeroFill();
    // The zero-filled text read as a date; nothing for a blank or unreadable text.
    std::optional<QDate> date() const;
    bool isValid() const;
    // Writes the date in the field's format; an invalid date clears the field.
    void setDate(const QDate& date);

    // Switches to another format, carrying the date over; an unreadable date becomes blank.
    void setFormat(const QString& format);

private:
    QChar at(int position) const { return m_text.at(position - 1); }
    void applyFormat(const QString& knownFormat);

    QString m_format;
    QChar m_separator;
    QString m_mask;
    QString m_text;
    int m_caret = 0;
};

} // namespace editors
