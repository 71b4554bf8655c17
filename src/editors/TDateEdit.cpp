#include "TDateEdit.h"

#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "TfrmCalPop.h"
#include "TypedKeys.h"

#include <QKeyEvent>
#include <QLocale>
#include <QMenu>

namespace {

const std::array<QString, TDateEdit::formatCount> formatPatterns = {
    QStringLiteral("mm/dd/yyyy"), QStringLiteral("dd/mm/yyyy"), QStringLiteral("yyyy/mm/dd"),
    QStringLiteral("yyyy")};
const std::array<const char*, TDateEdit::formatCount> formatItemCaptions = {"MMDDYYYY", "DDMMYYYY",
                                                                            "YYYYMMDD", "YYYY"};

QString systemShortDateFormat()
{
    return QLocale().dateFormat(QLocale::ShortFormat);
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool passesToEdit(const QKeyEvent& event)
{
    return event.matches(QKeySequence::Copy) || event.matches(QKeySequence::SelectAll);
}

bool isTextShortcut(const QKeyEvent& event)
{
    return event.matches(QKeySequence::Paste) || event.matches(QKeySequence::Cut) ||
           event.matches(QKeySequence::Undo) || event.matches(QKeySequence::Redo);
}

} // namespace

QString TDateEdit::formatPattern(int format)
{
    return format >= 0 && format < formatCount ? formatPatterns[static_cast<std::size_t>(format)]
                                               : editors::DateMask::defaultFormat;
}

TDateEdit::TDateEdit(QWidget* parent)
    : TMyBtnEdit(parent),
      m_mask(systemShortDateFormat(), editors::DateMask::separatorOf(systemShortDateFormat()))
{
    resize(120, 22);
    setMaxLength(fieldLength);
    setAutoSelect(false);
    setLockWhenDisabled(true);
    setToolTip(QStringLiteral("Date Field - Enter Date Here"));
    setButtonHint(QStringLiteral("Click here to display a Calendar"));
    buildMenu();
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing)
            textChangedFromOutside(text);
    });
    showText();
}

void TDateEdit::buildMenu()
{
    auto* menu = new QMenu(this);
    m_undoItem = menu->addAction(QStringLiteral("&Undo"), this, [this] { setDateText(m_undoDate); });
    m_undoItem->setEnabled(false);
    menu->addAction(QStringLiteral("&Today"), this, [this] { setDate(QDate::currentDate()); });
    menu->addAction(QStringLiteral("&Clear"), this, [this] {
        m_undoDate = m_mask.text();
        clearDate();
        noteChange();
    });
    menu->addSeparator();
    m_fontItem = menu->addAction(QStringLiteral("&Font..."), this, &TDateEdit::fontRequested);
    m_colorItem = menu->addAction(QStringLiteral("C&olor..."), this, &TDateEdit::colorRequested);
    QMenu* formats = menu->addMenu(QStringLiteral("&Date Format"));
    for (int format = 0; format < formatCount; ++format) {
        QAction* item =
            formats->addAction(QString::fromLatin1(formatItemCaptions[static_cast<std::size_t>(format)]),
                               this, [this, format] { chooseFormat(format); });
        item->setCheckable(true);
        item->setData(format);
        m_formatItems[static_cast<std::size_t>(format)] = item;
    }
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Help"), this, [this] {
        if (const int context = property("helpContext").toInt())
            help::showContext(context);
    });
    connect(menu, &QMenu::aboutToShow, this, &TDateEdit::checkFormatItem);
    setPopupMenu(menu);
}

void TDateEdit::checkFormatItem()
{
    const int checked = dateFormat();
    for (int format = 0; format < formatCount; ++format)
        m_formatItems[static_cast<std::size_t>(format)]->setChecked(format == checked);
}

void TDateEdit::chooseFormat(int format)
{
    setDateFormat(format);
    emit formatChanged(format);
}

void TDateEdit::hideFontColorItems()
{
    m_fontItem->setVisible(false);
    m_colorItem->setVisible(false);
}

int TDateEdit::dateFormat() const
{
    const QString& format = m_mask.format();
    if (format.startsWith(QLatin1String("mm/dd")))
        return MonthDayYear;
    if (format.startsWith(QLatin1String("dd/mm")))
        return DayMonthYear;
    if (format.endsWith(QLatin1String("/mm/dd")))
        return YearMonthDay;
    return YearOnly;
}

void TDateEdit::setDateFormat(int format)
{
    if (format >= 0 && format < formatCount)
        setDateFormatText(formatPatterns[static_cast<std::size_t>(format)]);
}

void TDateEdit::setDateFormatText(const QString& format)
{
    if (format.left(fieldLength) == m_mask.format())
        return;
    std::optional<QDate> value = heldDate();
    if (!value && !isBlank())
        value = m_mask.date();
    m_mask.setFormat(format);
    if (value) {
        m_mask.setDate(*value);
        holdDate(*value);
    }
    showText();
}

QDate TDateEdit::date() const
{
    if (isBlank())
        return {};
    if (const std::optional<QDate> held = heldDate())
        return *held;
    return m_mask.date().value_or(QDate::currentDate());
}

void TDateEdit::setDate(const QDate& date)
{
    if (!date.isValid()) {
        clearDate();
        return;
    }
    m_mask.setDate(date);
    if (!m_mask.isBlank())
        holdDate(date);
    showText();
}

std::optional<QDate> TDateEdit::heldDate() const
{
    if (m_heldDate.isValid() && m_mask.text() == m_heldText)
        return m_heldDate;
    return std::nullopt;
}

void TDateEdit::holdDate(const QDate& date)
{
    m_heldDate = date;
    m_heldText = m_mask.text();
}

bool TDateEdit::isValidDate()
{
    if (isBlank())
        return true;
    m_mask.zeroFill();
    showText();
    return m_mask.date().has_value();
}

void TDateEdit::clearDate()
{
    m_mask.clear();
    m_heldDate = QDate();
    showText();
}

void TDateEdit::setDateText(const QString& text)
{
    const QString value = text.left(fieldLength);
    if (value.isEmpty()) {
        clearDate();
        return;
    }
    const QString previous = m_mask.text();
    if (!m_mask.setText(value) || !isValidDate())
        m_mask.setText(previous);
    showText();
}

void TDateEdit::textChangedFromOutside(const QString& text)
{
    // setText(), clear(), a paste or a drop: the text is taken like a date text, or given back.
    setDateText(text);
}

void TDateEdit::showText()
{
    m_showing = true;
    if (text() != m_mask.text())
        setText(m_mask.text());
    setCursorPosition(m_mask.caretPos());
    m_showing = false;
}

void TDateEdit::noteChange()
{
    if (m_mask.text() != m_undoDate)
        m_undoItem->setEnabled(true);
}

bool TDateEdit::isValidChar(QChar c) const
{
    return isAsciiDigit(c) || c == QChar(8);
}

void TDateEdit::keyPressEvent(QKeyEvent* event)
{
    if (passesToEdit(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (isLocked()) {
        event->accept();
        return;
    }
    if (isTextShortcut(*event)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    bool changed = false;
    switch (event->key()) {
    case Qt::Key_Delete:
        changed = m_mask.deleteForward();
        break;
    case Qt::Key_Home:
        m_mask.home();
        break;
    case Qt::Key_End:
        m_mask.end();
        break;
    case Qt::Key_Left:
        m_mask.left();
        break;
    case Qt::Key_Right:
        m_mask.right();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        QLineEdit::keyPressEvent(event);
        return;
    default: {
        const std::optional<QChar> typed = editors::typedCharacter(*event);
        if (!typed) {
            event->ignore();
            return;
        }
        if (!isValidChar(*typed)) {
            keyRefused();
            event->accept();
            return;
        }
        changed = *typed == QChar(8) ? m_mask.backspace() : m_mask.typeDigit(*typed);
    }
    }
    event->accept();
    showText();
    if (changed)
        noteChange();
}

void TDateEdit::mousePressEvent(QMouseEvent* event)
{
    TMyBtnEdit::mousePressEvent(event);
    m_mask.placeCaret(cursorPosition());
    setCursorPosition(m_mask.caretPos());
}

void TDateEdit::focusInEvent(QFocusEvent* event)
{
    TMyBtnEdit::focusInEvent(event);
    if (!isFieldChange(event->reason()))
        return;
    m_mask.home();
    m_undoDate = m_mask.text();
    showText();
}

void TDateEdit::focusOutEvent(QFocusEvent* event)
{
    TMyBtnEdit::focusOutEvent(event);
    if (!isFieldChange(event->reason()) || !isVisible())
        return;
    const bool valid = isValidDate();
    noteChange();
    if (!valid) {
        messages::error(this, QStringLiteral("Invalid Date!"));
        setFocus();
    }
}

void TDateEdit::buttonClick()
{
    if (!isLocked()) {
        m_mask.zeroFill();
        showText();
    }
    TfrmCalPop calendar(this);
    if (calendar.exec() == TfrmCalPop::TodayChosen && !isLocked())
        setDate(QDate::currentDate());
    setFocus();
    m_mask.home();
    showText();
}
