#include "DateScript.h"
#include "editors/DateMask.h"
#include "editors/TDateEdit.h"
#include "EditorTestSupport.h"
#include "ModalWatcher.h"

#include <QClipboard>

namespace {

struct TypingCase
{
    int format;
    const char* keys;
    const char* text;
    int caret;
    int beeps;
};

class DateTyping : public ::testing::TestWithParam<TypingCase>
{
};

TEST_P(DateTyping, OverwritesTheMaskAndSkipsSeparators)
{
    const TypingCase& c = GetParam();
    TDateEdit field;
    field.setDateFormat(c.format);
    BeepCounter beeps;
    playKeys(&field, QString::fromLatin1(c.keys));
    EXPECT_EQ(field.dateText(), QString::fromLatin1(c.text));
    EXPECT_EQ(field.text(), field.dateText());
    EXPECT_EQ(field.caretPos(), c.caret);
    EXPECT_EQ(field.cursorPosition(), c.caret);
    EXPECT_EQ(beeps.count(), c.beeps);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateTyping,
    ::testing::Values(TypingCase{0, "", "__/__/____", 0, 0}, TypingCase{0, "1", "1_/__/____", 1, 0},
                      TypingCase{0, "12", "12/__/____", 3, 0}, TypingCase{0, "12B", "1_/__/____", 1, 0},
                      TypingCase{0, "12BB", "__/__/____", 0, 0}, TypingCase{0, "B", "__/__/____", 0, 0},
                      TypingCase{0, "12311999", "12/31/1999", 10, 0},
                      TypingCase{0, "123119995", "12/31/1999", 10, 0},
                      TypingCase{0, "12311999HD", "_2/31/1999", 0, 0},
                      TypingCase{0, "12LD", "1_/__/____", 1, 0}, TypingCase{0, "1R", "1_/__/____", 3, 0},
                      TypingCase{0, "12E", "12/__/____", 10, 0}, TypingCase{0, "12EB", "12/__/____", 9, 0},
                      TypingCase{0, "12311999ED", "12/31/1999", 10, 0},
                      TypingCase{0, "123LLD", "1_/3_/____", 1, 0}, TypingCase{0, "1a2", "12/__/____", 3, 1},
                      TypingCase{0, "1/-x", "1_/__/____", 1, 3}, TypingCase{1, "3112", "31/12/____", 6, 0},
                      TypingCase{2, "1999", "1999/__/__", 5, 0},
                      TypingCase{2, "19990102", "1999/01/02", 10, 0}, TypingCase{3, "2024", "2024", 4, 0},
                      TypingCase{3, "20245", "2024", 4, 0}, TypingCase{3, "2024LLB", "2_24", 1, 0}));

struct ValidationCase
{
    int format;
    const char* keys;
    bool valid;
    const char* textAfter;
};

class DateValidation : public ::testing::TestWithParam<ValidationCase>
{
};

TEST_P(DateValidation, ZeroFillsEachGroupBeforeReadingTheDate)
{
    const ValidationCase& c = GetParam();
    TDateEdit field;
    field.setDateFormat(c.format);
    playKeys(&field, QString::fromLatin1(c.keys));
    EXPECT_EQ(field.isValidDate(), c.valid);
    EXPECT_EQ(field.dateText(), QString::fromLatin1(c.textAfter));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateValidation,
    ::testing::Values(
        ValidationCase{0, "", true, "__/__/____"}, ValidationCase{0, "R1R21999", true, "01/02/1999"},
        ValidationCase{0, "1", false, "1_/__/____"}, ValidationCase{0, "0101", false, "01/01/____"},
        ValidationCase{0, "02292000", true, "02/29/2000"}, ValidationCase{0, "02291900", false, "02/29/1900"},
        ValidationCase{0, "02302000", false, "02/30/2000"},
        ValidationCase{0, "13011999", false, "13/01/1999"},
        ValidationCase{0, "00011999", false, "00/01/1999"}, ValidationCase{1, "31122000", true, "31/12/2000"},
        ValidationCase{1, "12312000", false, "12/31/2000"}, ValidationCase{2, "20000229", true, "2000/02/29"},
        ValidationCase{2, "RR99R1R2", true, "0099/01/02"}, ValidationCase{3, "2024", true, "2024"},
        ValidationCase{3, "RR24", true, "0024"}, ValidationCase{3, "R24", false, "024_"},
        ValidationCase{3, "0000", false, "0000"}));

struct SwitchCase
{
    int from;
    const char* keys;
    int to;
    const char* text;
};

class DateFormatSwitch : public ::testing::TestWithParam<SwitchCase>
{
};

TEST_P(DateFormatSwitch, CarriesTheDateIntoTheNewFormat)
{
    const SwitchCase& c = GetParam();
    TDateEdit field;
    field.setDateFormat(c.from);
    playKeys(&field, QString::fromLatin1(c.keys));
    field.setDateFormat(c.to);
    EXPECT_EQ(field.dateFormat(), c.to);
    EXPECT_EQ(field.dateText(), QString::fromLatin1(c.text));
    EXPECT_EQ(field.maskLength(), static_cast<int>(qstrlen(c.text)));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateFormatSwitch,
    ::testing::Values(SwitchCase{3, "1999", 1, "01/01/1999"}, SwitchCase{3, "1999", 0, "01/01/1999"},
                      SwitchCase{1, "01011999", 3, "1999"}, SwitchCase{0, "12311999", 1, "31/12/1999"},
                      SwitchCase{0, "12311999", 2, "1999/12/31"}, SwitchCase{0, "12311999", 3, "1999"},
                      SwitchCase{2, "19990102", 0, "01/02/1999"}, SwitchCase{0, "", 2, "____/__/__"},
                      SwitchCase{0, "", 3, "____"}, SwitchCase{0, "1", 1, "__/__/____"},
                      SwitchCase{0, "12", 0, "12/__/____"}));

TEST(DateFormatSwitch, YearOnlyAndBackShowsTheYearAlone)
{
    TDateEdit field;
    field.setDateFormat(TDateEdit::YearOnly);
    playKeys(&field, QStringLiteral("1999"));
    field.setDateFormat(TDateEdit::DayMonthYear);
    field.setDateFormat(TDateEdit::YearOnly);
    EXPECT_EQ(field.dateText(), "1999");
    EXPECT_EQ(field.date(), QDate(1999, 1, 1));
}

TEST(DateFormatSwitch, ALoadedDateKeepsItsDayAndMonthBehindAYearOnlyFormat)
{
    // Browsing in the year-only format must not turn every date it shows into the first of January.
    TDateEdit field;
    field.setDateFormat(TDateEdit::YearOnly);
    field.setDate(QDate(1840, 5, 6));
    EXPECT_EQ(field.dateText(), "1840");
    EXPECT_EQ(field.date(), QDate(1840, 5, 6));
    field.setDateFormat(TDateEdit::DayMonthYear);
    EXPECT_EQ(field.dateText(), "06/05/1840");

    field.setDateFormat(TDateEdit::YearOnly);
    playKeys(&field, QStringLiteral("1841"));
    EXPECT_EQ(field.date(), QDate(1841, 1, 1));
}

TEST(DateFormat, FormatPatternsAndTheirNumbers)
{
    TDateEdit field;
    for (int format = 0; format < TDateEdit::formatCount; ++format) {
        field.setDateFormat(format);
        EXPECT_EQ(field.dateFormatText(), TDateEdit::formatPattern(format));
        EXPECT_EQ(field.dateFormat(), format);
    }
    field.setDateFormatText(QStringLiteral("yy/mm/dd"));
    EXPECT_EQ(field.dateFormat(), TDateEdit::YearMonthDay);
    EXPECT_EQ(field.dateText(), "__/__/__");
    field.setDateFormatText(QStringLiteral("dd/mm/yy"));
    EXPECT_EQ(field.dateFormat(), TDateEdit::DayMonthYear);
    field.setDateFormatText(QStringLiteral("d-m-yy"));
    EXPECT_EQ(field.dateFormatText(), "dd/mm/yy");
    field.setDateFormatText(QStringLiteral("MM/DD/YYYY"));
    EXPECT_EQ(field.dateFormatText(), "mm/dd/yyyy");
}

struct SystemFormatCase
{
    const char* shortDate;
    const char* normalised;
    const char* format;
    char separator;
};

class SystemDateFormat : public ::testing::TestWithParam<SystemFormatCase>
{
};

TEST_P(SystemDateFormat, IsNormalisedAndMatchedWithCase)
{
    const SystemFormatCase& c = GetParam();
    const QString shortDate = QString::fromLatin1(c.shortDate);
    EXPECT_EQ(editors::DateMask::normaliseFormat(shortDate), QString::fromLatin1(c.normalised));
    EXPECT_EQ(editors::DateMask::knownFormatOf(shortDate), QString::fromLatin1(c.format));
    EXPECT_EQ(editors::DateMask::separatorOf(shortDate), QLatin1Char(c.separator));
}

INSTANTIATE_TEST_SUITE_P(Cases, SystemDateFormat,
                         ::testing::Values(SystemFormatCase{"M/d/yy", "MM/dd/yy", "mm/dd/yyyy", '/'},
                                           SystemFormatCase{"m/d/yyyy", "mm/dd/yyyy", "mm/dd/yyyy", '/'},
                                           SystemFormatCase{"d.m.yy", "dd/mm/yy", "dd/mm/yy", '.'},
                                           SystemFormatCase{"dd.MM.yy", "dd/MM/yy", "mm/dd/yyyy", '.'},
                                           SystemFormatCase{"yyyy-mm-dd", "yyyy/mm/dd", "yyyy/mm/dd", '-'},
                                           SystemFormatCase{"yy/mm/dd", "yy/mm/dd", "yy/mm/dd", '/'},
                                           SystemFormatCase{"d MMM yyyy", "dd/MMM/yyy", "mm/dd/yyyy", '/'}));

TEST(SystemDateFormat, TheFieldStartsInTheSystemFormatWithItsSeparator)
{
    {
        const DefaultLocale unitedStates(QLocale(QLocale::English, QLocale::UnitedStates));
        TDateEdit field;
        EXPECT_EQ(field.dateFormatText(), "mm/dd/yyyy");
        EXPECT_EQ(field.dateText(), "__/__/____");
        EXPECT_EQ(field.caretPos(), 0);
    }
    {
        const DefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
        TDateEdit field;
        EXPECT_EQ(field.dateText(), "__.__.____");
        playKeys(&field, QStringLiteral("12311999"));
        EXPECT_EQ(field.dateText(), "12.31.1999");
        EXPECT_EQ(field.date(), QDate(1999, 12, 31));
        field.setDateFormat(TDateEdit::YearMonthDay);
        EXPECT_EQ(field.dateText(), "1999.12.31");
    }
}

TEST(DateValue, BlankIsNoDateAndUnreadableIsToday)
{
    TDateEdit field;
    EXPECT_FALSE(field.date().isValid());
    EXPECT_TRUE(field.isBlank());
    playKeys(&field, QStringLiteral("1"));
    EXPECT_FALSE(field.isBlank());
    EXPECT_EQ(field.date(), QDate::currentDate());
    field.setDate(QDate(1999, 12, 31));
    EXPECT_EQ(field.dateText(), "12/31/1999");
    EXPECT_EQ(field.date(), QDate(1999, 12, 31));
    field.setDate(QDate());
    EXPECT_EQ(field.dateText(), "__/__/____");
    EXPECT_TRUE(field.isBlank());
}

TEST(DateValue, TwoDigitYearsFallInTheCurrentCentury)
{
    TDateEdit field;
    field.setDateFormatText(QStringLiteral("mm/dd/yy"));
    playKeys(&field, QStringLiteral("123199"));
    EXPECT_EQ(field.dateText(), "12/31/99");
    EXPECT_EQ(field.date(), QDate(QDate::currentDate().year() / 100 * 100 + 99, 12, 31));
}

struct SetTextCase
{
    const char* text;
    const char* shown;
};

class DateSetText : public ::testing::TestWithParam<SetTextCase>
{
};

TEST_P(DateSetText, TakesOnlyADateInTheMasksLayout)
{
    const SetTextCase& c = GetParam();
    TDateEdit field;
    field.setDate(QDate(2001, 2, 3));
    field.setDateText(QString::fromLatin1(c.text));
    EXPECT_EQ(field.dateText(), QString::fromLatin1(c.shown));
    // Text set from outside the field goes the same way.
    TDateEdit outside;
    outside.setDate(QDate(2001, 2, 3));
    outside.setText(QString::fromLatin1(c.text));
    EXPECT_EQ(outside.text(), QString::fromLatin1(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateSetText,
    ::testing::Values(SetTextCase{"12/31/1999", "12/31/1999"}, SetTextCase{"_1/_2/1999", "01/02/1999"},
                      SetTextCase{"__/__/____", "__/__/____"}, SetTextCase{"", "__/__/____"},
                      SetTextCase{"1_/__/____", "02/03/2001"}, SetTextCase{"1/2/1999", "02/03/2001"},
                      SetTextCase{"12-31-1999", "02/03/2001"}, SetTextCase{"12/31/1999xyz", "12/31/1999"},
                      SetTextCase{"ab/cd/efgh", "02/03/2001"}));

TEST(DateSetText, ClearingTheEditShowsTheMask)
{
    TDateEdit field;
    field.setDate(QDate(2001, 2, 3));
    field.clear();
    EXPECT_EQ(field.text(), "__/__/____");
    EXPECT_TRUE(field.isBlank());
}

TEST(DatePaste, APastedDateReplacesTheSelectionAndOtherTextIsRefused)
{
    TDateEdit field;
    QApplication::clipboard()->setText(QStringLiteral("12/31/1999"));
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field.dateText(), "12/31/1999");
    QApplication::clipboard()->setText(QStringLiteral("soon"));
    field.selectAll();
    QTest::keyClick(&field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field.dateText(), "12/31/1999");
}

TEST(DateLeaving, AnInvalidDateIsReportedAndKeepsTheFocus)
{
    FieldWindow<TDateEdit> form;
    ModalWatcher watcher;
    playKeys(form.field, QStringLiteral("1"));
    QTest::keyClick(form.field, Qt::Key_Tab);
    ASSERT_EQ(watcher.texts(), QStringList{QStringLiteral("Invalid Date!")});
    EXPECT_EQ(form.focused(), form.field);
    EXPECT_EQ(form.field->dateText(), "1_/__/____");
}

TEST(DateLeaving, AValidDateIsZeroFilledAndTheFocusMovesOn)
{
    FieldWindow<TDateEdit> form;
    ModalWatcher watcher;
    playKeys(form.field, QStringLiteral("R1R21999"));
    QTest::keyClick(form.field, Qt::Key_Tab);
    EXPECT_TRUE(watcher.texts().isEmpty());
    EXPECT_TRUE(form.next->hasFocus());
    EXPECT_EQ(form.field->dateText(), "01/02/1999");
}

TEST(DateEntering, PutsTheCaretInFrontAndRemembersTheUndoText)
{
    FieldWindow<TDateEdit> form;
    form.field->setDate(QDate(1999, 12, 31));
    form.next->setFocus(Qt::TabFocusReason);
    playKeys(form.field, QStringLiteral("E"));
    form.field->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form.field->caretPos(), 0);
    EXPECT_FALSE(form.field->hasSelectedText());
    EXPECT_EQ(form.field->undoDate(), "12/31/1999");
}

// A date field that tells where its caret is drawn.
class ProbedDateEdit : public TDateEdit
{
public:
    using QLineEdit::cursorRect;
};

TEST(DateMouse, AClickNeverLeavesTheCaretBeforeASeparator)
{
    ProbedDateEdit field;
    field.setDate(QDate(1999, 12, 31));
    field.resize(160, field.height());
    field.show();
    auto clickAtPosition = [&](int position) {
        field.setCursorPosition(position);
        const QPoint point(field.cursorRect().center().x(), field.height() / 2);
        field.setCursorPosition(0);
        QTest::mouseClick(&field, Qt::LeftButton, {}, point);
    };
    // Between "2" and "/" the caret moves in front of the "2"; after the "/" it stays.
    clickAtPosition(2);
    EXPECT_EQ(field.caretPos(), 1);
    EXPECT_EQ(field.cursorPosition(), 1);
    clickAtPosition(3);
    EXPECT_EQ(field.caretPos(), 3);
    clickAtPosition(10);
    EXPECT_EQ(field.caretPos(), 10);
}

QAction* menuItem(QMenu* menu, const QString& caption)
{
    for (QAction* action : menu->actions()) {
        if (action->text() == caption)
            return action;
        if (action->menu()) {
            if (QAction* inner = menuItem(action->menu(), caption))
                return inner;
        }
    }
    return nullptr;
}

TEST(DateMenu, HasItsItemsInOrder)
{
    TDateEdit field;
    QStringList captions;
    for (QAction* action : field.popupMenu()->actions())
        captions.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    EXPECT_EQ(captions, (QStringList{"&Undo", "&Today", "&Clear", "-", "&Font...", "C&olor...",
                                     "&Date Format", "-", "&Help"}));
    QStringList formats;
    for (QAction* action : menuItem(field.popupMenu(), "&Date Format")->menu()->actions())
        formats.append(action->text());
    EXPECT_EQ(formats, (QStringList{"MMDDYYYY", "DDMMYYYY", "YYYYMMDD", "YYYY"}));
}

TEST(DateMenu, TodayClearAndUndo)
{
    TDateEdit field;
    QMenu* menu = field.popupMenu();
    QAction* undo = menuItem(menu, "&Undo");
    EXPECT_FALSE(undo->isEnabled());
    field.setDate(QDate(1999, 12, 31));
    menuItem(menu, "&Clear")->trigger();
    EXPECT_TRUE(field.isBlank());
    EXPECT_EQ(field.undoDate(), "12/31/1999");
    EXPECT_TRUE(undo->isEnabled());
    undo->trigger();
    EXPECT_EQ(field.dateText(), "12/31/1999");
    menuItem(menu, "&Today")->trigger();
    EXPECT_EQ(field.date(), QDate::currentDate());
}

TEST(DateMenu, UndoIsEnabledOnceTypingChangesTheText)
{
    TDateEdit field;
    QAction* undo = menuItem(field.popupMenu(), "&Undo");
    playKeys(&field, QStringLiteral("B"));
    EXPECT_FALSE(undo->isEnabled());
    playKeys(&field, QStringLiteral("1"));
    EXPECT_TRUE(undo->isEnabled());
}

TEST(DateMenu, AFormatItemSwitchesTheFormatAndTellsTheHost)
{
    TDateEdit field;
    field.setDate(QDate(1999, 12, 31));
    QList<int> told;
    QObject::connect(&field, &TDateEdit::formatChanged, [&](int format) { told.append(format); });
    menuItem(field.popupMenu(), "DDMMYYYY")->trigger();
    menuItem(field.popupMenu(), "YYYY")->trigger();
    EXPECT_EQ(told, (QList<int>{1, 3}));
    EXPECT_EQ(field.dateText(), "1999");

    // Setting the format from code tells nobody.
    field.setDateFormat(TDateEdit::MonthDayYear);
    EXPECT_EQ(told.size(), 2);
}

TEST(DateMenu, OpeningTheMenuChecksTheCurrentFormat)
{
    struct Case
    {
        const char* format;
        const char* checked;
    };
    for (const Case& c : {Case{"mm/dd/yyyy", "MMDDYYYY"}, Case{"mm/dd/yy", "MMDDYYYY"},
                          Case{"dd/mm/yy", "DDMMYYYY"}, Case{"yy/mm/dd", "YYYYMMDD"}, Case{"yyyy", "YYYY"}}) {
        TDateEdit field;
        field.setDateFormatText(QString::fromLatin1(c.format));
        emit field.popupMenu()->aboutToShow();
        for (QAction* item : menuItem(field.popupMenu(), "&Date Format")->menu()->actions())
            EXPECT_EQ(item->isChecked(), item->text() == QLatin1String(c.checked)) << c.format;
    }
}

TEST(DateMenu, FontAndColourItemsAskTheHostAndCanBeHidden)
{
    TDateEdit field;
    int fonts = 0;
    int colours = 0;
    QObject::connect(&field, &TDateEdit::fontRequested, [&] { ++fonts; });
    QObject::connect(&field, &TDateEdit::colorRequested, [&] { ++colours; });
    menuItem(field.popupMenu(), "&Font...")->trigger();
    menuItem(field.popupMenu(), "C&olor...")->trigger();
    EXPECT_EQ(fonts, 1);
    EXPECT_EQ(colours, 1);
    field.hideFontColorItems();
    EXPECT_FALSE(menuItem(field.popupMenu(), "&Font...")->isVisible());
    EXPECT_FALSE(menuItem(field.popupMenu(), "C&olor...")->isVisible());
}

} // namespace
