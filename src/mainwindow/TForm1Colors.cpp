// The colour scheme and the fonts of the record window, with the colour and font dialogs.
#include "ColorSlotNumbers.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TMyBtnEdit.h"
#include "mainwindow/controls/PaletteColors.h"
#include "mainwindow/controls/TFormatedButton.h"
#include "TColorDlg.h"
#include "TForm1.h"
#include "TSpeedBar.h"

#include <QApplication>
#include <QComboBox>
#include <QFontDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

void setRole(QWidget* widget, QPalette::ColorRole role, const QColor& color)
{
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, role, color);
    widget->setPalette(palette);
}

// A background that is painted: the window colour of the widget, and of the buttons and tabs on it.
void setBackground(QWidget* widget, const QColor& color)
{
    setRole(widget, QPalette::Window, color);
    setRole(widget, QPalette::Button, color);
}

bool sameFont(const QFont& a, const QFont& b)
{
    return a.family() == b.family() && a.pointSize() == b.pointSize() && a.bold() == b.bold() &&
           a.italic() == b.italic() && a.underline() == b.underline() && a.strikeOut() == b.strikeOut();
}

bool isOneLineField(const QWidget* control)
{
    return qobject_cast<const QLineEdit*>(control) || qobject_cast<const QComboBox*>(control);
}

} // namespace

QFont TForm1::fontOf(settings::DatabaseSettings::FontRole role) const
{
    const settings::FontSpec& spec = m_session.database.fonts[static_cast<size_t>(role)];
    QFont font(spec.name, spec.pointSize, spec.bold ? QFont::Bold : QFont::Normal, spec.italic);
    font.setUnderline(spec.underline);
    font.setStrikeOut(spec.strikeOut);
    return font;
}

void TForm1::ChooseFont(settings::DatabaseSettings::FontRole role)
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, fontOf(role), this);
    if (!ok)
        return;
    settings::FontSpec& spec = m_session.database.fonts[static_cast<size_t>(role)];
    spec.name = chosen.family();
    spec.pointSize = chosen.pointSize() > 0 ? chosen.pointSize() : spec.pointSize;
    spec.bold = chosen.bold();
    spec.italic = chosen.italic();
    spec.underline = chosen.underline();
    spec.strikeOut = chosen.strikeOut();
    ApplyFonts();
}

int TForm1::oneLineFieldHeight() const
{
    int height = 0;
    for (const QWidget* control : m_fields) {
        if (!isOneLineField(control))
            continue;
        height = std::max(height, control->sizeHint().height());
        if (const auto* buttonEdit = qobject_cast<const TMyBtnEdit*>(control))
            height = std::max(height, buttonEdit->minimumFieldHeight());
    }
    return height > 0 ? height : recordpage::defaultLineHeight;
}

void TForm1::ApplyFonts()
{
    if (!m_listButtons.isEmpty() &&
        !sameFont(m_listButtons.first()->font(), fontOf(settings::DatabaseSettings::RecordButtonFont)))
        rebuildRecordButtons();
    const QFont oneLine = fontOf(settings::DatabaseSettings::OneLineFieldFont);
    const QFont multiLine = fontOf(settings::DatabaseSettings::MultiLineFieldFont);
    bool oneLineChanged = false;
    for (QWidget* control : m_fields) {
        if (qobject_cast<QPlainTextEdit*>(control)) {
            if (!sameFont(control->font(), multiLine))
                control->setFont(multiLine);
        } else if (isOneLineField(control) && !sameFont(control->font(), oneLine)) {
            control->setFont(oneLine);
            oneLineChanged = true;
        }
    }
    if (!oneLineChanged) {
        RefreshRecordList();
        return;
    }
    // The rows of every page make room for the new field height.
    const int lineHeight = oneLineFieldHeight();
    for (int page = 0; page < m_pageLayouts.size(); ++page) {
        m_pageLayouts[page].base = recordpage::Respace(m_pageLayouts[page].design, lineHeight);
        stretchPage(page);
    }
    LayoutWindow();
}

void TForm1::ApplyColors()
{
    const settings::ColorSlots& scheme = m_session.colors;
    auto color = [&scheme](int which) { return controls::SlotColor(scheme, which); };
    setBackground(m_client, color(slot::windowBackground));
    setBackground(m_leftPane, color(slot::pages));
    setBackground(m_speedBar, color(slot::speedBar));
    for (int i = 0; i < m_speedBar->count(); ++i)
        setBackground(m_speedBar->widget(i), color(slot::speedBar));
    setBackground(m_rightPane, color(slot::rightPane));
    setBackground(m_pages, color(slot::recordPages));
    for (int i = 0; i < m_pages->count(); ++i)
        setBackground(m_pages->widget(i), color(slot::recordPages));
    setBackground(m_recordSpeedBar, color(slot::recordSpeedBar));
    for (QLabel* label : {m_positionLabel, m_percentLabel}) {
        setRole(label, QPalette::Window, color(slot::recordSpeedBar));
        setRole(label, QPalette::WindowText, color(slot::labelText));
    }
    // Every other label of the window: the captions on the record pages and the status text.
    QList<QLabel*> labels = m_rightPane->findChildren<QLabel*>();
    labels.removeAll(m_positionLabel);
    labels.removeAll(m_percentLabel);
    for (QLabel* label : labels) {
        label->setAutoFillBackground(true);
        setRole(label, QPalette::Window, color(slot::labelBackground));
        setRole(label, QPalette::WindowText, color(slot::labelText));
    }
    applyFieldColors();
    m_speedBar->update();
}

void TForm1::applyFieldColors()
{
    m_highlighted = nullptr;
    for (QWidget* control : m_fields)
        applyFieldColor(control);
}

void TForm1::applyFieldColor(QWidget* control)
{
    const settings::ColorSlots& scheme = m_session.colors;
    auto color = [&scheme](int which) { return controls::SlotColor(scheme, which); };
    const bool enabled = !m_session.isReadOnlyMode() && !m_inUse;
    const QPalette system = QApplication::palette();
    QColor text = color(slot::textFieldText);
    QColor background = color(slot::textFieldBackground);
    if (!enabled) {
        text = system.color(QPalette::Disabled, QPalette::Text);
        background = system.color(QPalette::Active, QPalette::Base);
    } else if (qobject_cast<QPlainTextEdit*>(control)) {
        text = color(slot::memoText);
        background = color(slot::memoBackground);
    } else if (auto* money = qobject_cast<TCurrencyEdit*>(control)) {
        money->setPlusColor(color(slot::currencyPositive));
        money->setNegColor(color(slot::currencyNegative));
        text = money->textColour();
        background = color(slot::currencyBackground);
    }
    setRole(control, QPalette::Text, text);
    setRole(control, QPalette::Base, background);
}

bool TForm1::ShowColorDialog(int firstSlot, const QString& groupCaption, const QStringList& itemCaptions)
{
    TColorDlg dialog(m_session.colors, firstSlot, groupCaption,
                     itemCaptions.isEmpty() ? TColorDlg::defaultItems() : itemCaptions, this);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    settings::SaveColorScheme(m_session.folders.database, m_session.colors);
    if (!dialog.groupChanged())
        return false;
    ApplyColors();
    return true;
}

void TForm1::chooseLabelColors()
{
    ShowColorDialog(slot::labelText, QStringLiteral("Labels"), {});
}

void TForm1::requestFieldFont(QWidget* control)
{
    ChooseFont(qobject_cast<QPlainTextEdit*>(control) ? settings::DatabaseSettings::MultiLineFieldFont
                                                      : settings::DatabaseSettings::OneLineFieldFont);
}

void TForm1::requestFieldColor(QWidget* control)
{
    if (qobject_cast<QPlainTextEdit*>(control))
        ShowColorDialog(slot::memoText, QStringLiteral("Multi-Line Fields"), {});
    else if (qobject_cast<TCurrencyEdit*>(control))
        ShowColorDialog(slot::currencyPositive, QStringLiteral("Currency Fields"),
                        {QStringLiteral("Positive Color"), QStringLiteral("Negative Color"),
                         QStringLiteral("Bgnd Color")});
    else
        ShowColorDialog(slot::textFieldText, QStringLiteral("Single-Line Fields"), {});
}
