#include "DateScript.h"
#include "editors/PopupPlacement.h"
#include "editors/TClickEdit.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "editors/TDirEdit.h"
#include "editors/TEditButton.h"
#include "editors/TFilterEdit.h"
#include "editors/TMultiMediaEdit.h"
#include "EditorTestSupport.h"

#include <memory>
#include <QClipboard>
#include <QStyleOptionFrame>

namespace {

TEST(ButtonEdit, TheButtonSitsInsideTheRightEdgeAndTheTextStopsBeforeIt)
{
    TClickEdit edit;
    edit.resize(150, 30);
    edit.show();
    QStyleOptionFrame option;
    option.initFrom(&edit);
    const int frame = edit.style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, &edit);
    const QRect button = edit.button()->geometry();
    EXPECT_EQ(button, QRect(150 - frame - TEditButton::defaultWidth, frame, TEditButton::defaultWidth,
                            30 - 2 * frame));
    EXPECT_EQ(edit.textMargins().right(), TEditButton::defaultWidth + 1);

    edit.setButtonVisible(false);
    EXPECT_FALSE(edit.isButtonVisible());
    EXPECT_EQ(edit.textMargins().right(), 0);
    EXPECT_FALSE(edit.button()->isVisible());
    edit.setButtonVisible(true);
    EXPECT_TRUE(edit.button()->isVisible());
}

TEST(ButtonEdit, TheHeightIsRaisedToWhatTheFontNeeds)
{
    TClickEdit edit;
    const QFontMetrics metrics(edit.font());
    const int expected =
        4 + metrics.height() + std::min(QFontMetrics(QApplication::font()).height(), metrics.height()) / 4;
    EXPECT_EQ(edit.minimumFieldHeight(), expected);
    edit.resize(150, 5);
    EXPECT_EQ(edit.height(), expected);

    QFont large = edit.font();
    large.setPointSize(large.pointSize() * 3);
    edit.setFont(large);
    EXPECT_GT(edit.minimumFieldHeight(), expected);
    EXPECT_GE(edit.height(), edit.minimumFieldHeight());
}

TEST(ButtonEdit, ClickingTheButtonTellsTheHostWithoutTakingTheFocus)
{
    FieldWindow<TClickEdit> form;
    int clicks = 0;
    QObject::connect(form.field, &TClickEdit::buttonClicked, [&] { ++clicks; });
    QTest::mouseClick(form.field->button(), Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(form.field->hasFocus());
    EXPECT_EQ(form.field->button()->focusPolicy(), Qt::NoFocus);
}

TEST(ButtonEdit, TheHintOfTheButton)
{
    TClickEdit edit;
    EXPECT_TRUE(edit.buttonHint().isEmpty());
    edit.setButtonHint(QStringLiteral("Pick one"));
    EXPECT_EQ(edit.button()->toolTip(), "Pick one");
    edit.setButtonHint(QString());
    EXPECT_TRUE(edit.button()->toolTip().isEmpty());
}

QColor dotColour(TMyBtnEdit& edit)
{
    const QImage image = edit.button()->grab().toImage();
    const int quarter = edit.button()->width() / 4;
    return image.pixelColor(quarter - 1, edit.button()->height() / 2 - 1);
}

TEST(ButtonEdit, TheEllipsisIsGreyWhileTheEditIsDisabled)
{
    TDateEdit date;
    date.resize(120, 24);
    date.show();
    EXPECT_EQ(dotColour(date), QColor(Qt::black));
    date.setEnabled(false);
    EXPECT_EQ(dotColour(date), TEditButton::disabledDots);
    // Locked looks enabled.
    editors::setFieldEnabled(&date, false);
    EXPECT_EQ(dotColour(date), QColor(Qt::black));
}

TEST(ButtonEdit, TheButtonLooksPressedWhileDown)
{
    TClickEdit edit;
    edit.resize(120, 24);
    edit.show();
    TEditButton* button = edit.button();
    const QColor white(Qt::white);
    EXPECT_EQ(button->grab().toImage().pixelColor(1, 5), white);
    button->setDown(true);
    EXPECT_NE(button->grab().toImage().pixelColor(1, 5), white);
    EXPECT_EQ(button->grab().toImage().pixel(button->width() - 2, 5),
              button->palette().color(QPalette::Active, QPalette::Dark).rgb());
}

TEST(ButtonEdit, EnteringSelectsAllOrPutsTheCaretInFront)
{
    FieldWindow<TCurrencyEdit> selecting;
    selecting.field->setValue(1234.5);
    selecting.next->setFocus(Qt::TabFocusReason);
    selecting.field->setFocus(Qt::TabFocusReason);
    EXPECT_TRUE(selecting.field->autoSelect());
    EXPECT_EQ(selecting.field->selectedText(), "1,234.50");

    FieldWindow<TClickEdit> caret;
    caret.field->setText(QStringLiteral("some text"));
    caret.next->setFocus(Qt::TabFocusReason);
    caret.field->setFocus(Qt::TabFocusReason);
    EXPECT_FALSE(caret.field->autoSelect());
    EXPECT_FALSE(caret.field->hasSelectedText());
    EXPECT_EQ(caret.field->cursorPosition(), 0);
}

TEST(ButtonEdit, AnyCharacterCanBeTypedIntoTheBaseEdit)
{
    TClickEdit edit;
    BeepCounter beeps;
    QTest::keyClicks(&edit, QStringLiteral("a1 ;/"));
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), "a1 ;/");
    EXPECT_EQ(beeps.count(), 0);
}

struct Construction
{
    const char* name;
    std::function<QLineEdit*()> make;
    QSize size;
    const char* hint;
    const char* buttonHint;
    bool autoSelect;
};

class EditorConstruction : public ::testing::TestWithParam<Construction>
{
};

TEST_P(EditorConstruction, SizesAndHints)
{
    const Construction& c = GetParam();
    const std::unique_ptr<QLineEdit> edit(c.make());
    EXPECT_EQ(edit->width(), c.size.width());
    EXPECT_EQ(edit->height(), std::max(c.size.height(), edit->minimumHeight()));
    EXPECT_EQ(edit->toolTip(), QString::fromLatin1(c.hint));
    if (auto* buttonEdit = qobject_cast<TMyBtnEdit*>(edit.get())) {
        EXPECT_EQ(buttonEdit->buttonHint(), QString::fromLatin1(c.buttonHint));
        EXPECT_EQ(buttonEdit->autoSelect(), c.autoSelect);
        EXPECT_TRUE(buttonEdit->isButtonVisible());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Editors, EditorConstruction,
    ::testing::Values(Construction{"date", [] { return new TDateEdit; }, QSize(120, 22),
                                   "Date Field - Enter Date Here", "Click here to display a Calendar", false},
                      Construction{"currency", [] { return new TCurrencyEdit; }, QSize(120, 22),
                                   "Numeric Field - Enter Number Here", "Click here to display a Calculator",
                                   true},
                      Construction{"directory", [] { return new TDirEdit; }, QSize(200, 24), "",
                                   "Click here to select a directory", false},
                      Construction{"filter", [] { return new TFilterEdit; }, QSize(120, 22), "", "", true}),
    [](const ::testing::TestParamInfo<Construction>& info) { return std::string(info.param.name); });

struct LockCase
{
    const char* name;
    std::function<TMyBtnEdit*()> make;
    bool locks;
};

class LockedState : public ::testing::TestWithParam<LockCase>
{
};

TEST_P(LockedState, DisablingLocksTheDateAndAttachmentFieldsAndDisablesTheRest)
{
    const LockCase& c = GetParam();
    QWidget window;
    TMyBtnEdit* edit = c.make();
    edit->setParent(&window);
    edit->setText(QStringLiteral("12/31/1999"));
    window.show();
    const QString before = edit->text();

    editors::setFieldEnabled(edit, false);
    EXPECT_EQ(edit->isEnabled(), c.locks);
    EXPECT_EQ(edit->locked(), c.locks);
    EXPECT_TRUE(edit->isLocked());
    EXPECT_EQ(edit->button()->isEnabled(), c.locks);
    if (c.locks) {
        BeepCounter beeps;
        edit->setCursorPosition(0);
        QTest::keyClicks(edit, QStringLiteral("0123"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClick(edit, Qt::Key_Delete);
        QApplication::clipboard()->setText(QStringLiteral("01/01/2000"));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_X, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(edit->text(), before);
        EXPECT_EQ(beeps.count(), 0);
        EXPECT_FALSE(menuPopsUp(edit));
    }

    editors::setFieldEnabled(edit, true);
    EXPECT_TRUE(edit->isEnabled());
    EXPECT_FALSE(edit->locked());
    EXPECT_FALSE(edit->isLocked());
}

INSTANTIATE_TEST_SUITE_P(Editors, LockedState,
                         ::testing::Values(LockCase{"date", [] { return new TDateEdit; }, true},
                                           LockCase{"attachment", [] { return new TMultiMediaEdit; }, true},
                                           LockCase{"currency", [] { return new TCurrencyEdit; }, false},
                                           LockCase{"click", [] { return new TClickEdit; }, false},
                                           LockCase{"directory", [] { return new TDirEdit; }, false}),
                         [](const ::testing::TestParamInfo<LockCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(LockedState, AnUnlockedDateFieldTakesTypingAndOpensItsMenuAgain)
{
    QWidget window;
    auto* date = new TDateEdit(&window);
    window.show();
    editors::setFieldEnabled(date, false);
    editors::setFieldEnabled(date, true);
    playKeys(date, QStringLiteral("12"));
    EXPECT_EQ(date->dateText(), "12/__/____");
    EXPECT_TRUE(menuPopsUp(date));
    EXPECT_FALSE(date->isReadOnly());
}

TEST(LockedState, PlainDisablingLeavesADateFieldDisabled)
{
    TDateEdit date;
    date.setEnabled(false);
    EXPECT_FALSE(date.isEnabled());
    EXPECT_FALSE(date.locked());
    EXPECT_TRUE(date.isLocked());
}

struct PlacementCase
{
    QRect field;
    QSize popup;
    QPoint expected;
};

class PopupPlacement : public ::testing::TestWithParam<PlacementCase>
{
};

TEST_P(PopupPlacement, UnderTheFieldAndInsideTheScreen)
{
    const PlacementCase& c = GetParam();
    EXPECT_EQ(editors::popupPosition(c.field, c.popup, QRect(0, 0, 800, 600)), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, PopupPlacement,
                         ::testing::Values(PlacementCase{{100, 100, 120, 22}, {150, 120}, {101, 123}},
                                           PlacementCase{{700, 100, 80, 22}, {150, 120}, {649, 123}},
                                           PlacementCase{{100, 500, 120, 22}, {150, 120}, {101, 380}},
                                           PlacementCase{{700, 500, 80, 22}, {150, 120}, {649, 380}},
                                           PlacementCase{{649, 457, 80, 22}, {150, 120}, {650, 480}}));

TEST(PopupPlacement, ThePopupOpensUnderTheFieldOnScreen)
{
    FieldWindow<TClickEdit> form;
    QWidget popup(nullptr, Qt::Window | Qt::FramelessWindowHint);
    popup.resize(100, 80);
    form.field->placeUnder(&popup);
    const QPoint fieldBottomLeft = form.field->mapToGlobal(QPoint(0, form.field->height()));
    EXPECT_EQ(popup.pos(), fieldBottomLeft + QPoint(1, 1));
}

} // namespace
