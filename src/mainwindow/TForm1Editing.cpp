// The commands on the current record: new, undo, delete, copy and paste, record templates, moving record
// by record, synchronising, saving before a dialog, the Tab key inside the record and the found field.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/TDateEdit.h"
#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/dialogs/TDeleteDlg1.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "store/RecordTemplateRows.h"
#include "store/TIndex.h"
#include "store/TRecordTemplateList.h"
#include "TForm1.h"

#include <cmath>
#include <optional>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextCursor>

namespace {

constexpr int valueListTextLength = 50;

// Sets the template flag for as long as it lives, so that "today" markers become today's date.
class TemplateApplication
{
public:
    explicit TemplateApplication(bool& flag) : m_flag(flag) { m_flag = true; }
    ~TemplateApplication() { m_flag = false; }
    TemplateApplication(const TemplateApplication&) = delete;
    TemplateApplication& operator=(const TemplateApplication&) = delete;

private:
    bool& m_flag;
};

// The date pattern of a date field ("mm/dd/yyyy" …) as a QDate format.
QString qtDateFormat(int format)
{
    return TDateEdit::formatPattern(format).replace(QStringLiteral("mm"), QStringLiteral("MM"));
}

} // namespace

void TForm1::NewRecord()
{
    GoToRecord(static_cast<int>(m_database->browseTable().recordCount()));
    if (!m_newRecord || m_session.isReadOnlyMode() || m_inUse)
        return;
    if (!m_fields.isEmpty()) {
        m_pages->setCurrentWidget(m_fields.first()->parentWidget());
        m_fields.first()->setFocus();
    }
    const int index = m_recordTemplates ? m_recordTemplates->FindTemplate(newRecordTemplate()) : -1;
    dbase::Table& buffer = m_database->copyBuffer();
    if (index >= 0 && store::GoToTemplateRow(buffer, index)) {
        TemplateApplication applying(m_applyingTemplate);
        LoadRecordIntoForm(buffer);
    }
}

void TForm1::UndoChanges()
{
    if (m_newRecord)
        ClearForm();
    else
        LoadRecordIntoForm(m_database->editTable());
}

bool TForm1::confirmRecordDeletion()
{
    return TDeleteDlg1::confirm(ConfirmedAction::DeleteRecord, this);
}

void TForm1::DeleteCurrentRecord()
{
    if (IsRecordEmpty())
        return;
    if (m_session.database.recordDeleteMode == 0 && !confirmRecordDeletion()) {
        messages::information(this, QStringLiteral("Record not Deleted."));
        return;
    }
    if (m_newRecord) {
        ClearForm();
        return;
    }
    const char letter = m_recordLetter;
    try {
        m_database->editTable().deleteRecord();
    } catch (const dbase::DatabaseError&) {
        messages::error(this, QStringLiteral("Record in use - not Deleted!"));
        return;
    }
    moveLetterCount(letter, 0);
    // The record that followed takes its place; nothing is left to save.
    const int position = m_position;
    m_position = 0;
    GoToRecord(position - 1);
}

void TForm1::CopyCurrentRecord()
{
    if (IsRecordEmpty()) {
        messages::warning(this, QStringLiteral("Empty Record - Not Copied!"));
        return;
    }
    dbase::Table& buffer = m_database->copyBuffer();
    buffer.first();
    if (!PostCurrentRecord(buffer)) {
        messages::error(this, QStringLiteral("Could not Update the record!"));
        return;
    }
    m_session.copyBufferHoldsRecord = true;
    refreshEnabledStates();
}

void TForm1::PasteIntoCurrentRecord()
{
    if (!m_session.copyBufferHoldsRecord)
        return;
    dbase::Table& buffer = m_database->copyBuffer();
    buffer.first();
    LoadRecordIntoForm(buffer);
}

void TForm1::ReplaceWithTemplate(const QString& name)
{
    const int index = m_recordTemplates ? m_recordTemplates->FindTemplate(name) : -1;
    dbase::Table& buffer = m_database->copyBuffer();
    if (index >= 0 && store::GoToTemplateRow(buffer, index)) {
        TemplateApplication applying(m_applyingTemplate);
        LoadRecordIntoForm(buffer);
    } else if (index < 0 && name == store::TRecordTemplateList::BlankName) {
        ClearForm();
    } else {
        messages::error(this,
                        QStringLiteral("Template could not be loaded!\nYou should delete this template"));
    }
}

std::optional<TForm1::MoveStart> TForm1::startMove()
{
    const MoveStart start{m_position, m_newRecord ? char(0) : m_recordLetter};
    if (!SaveCurrentRecord())
        return std::nullopt;
    return start;
}

void TForm1::NextRecord()
{
    const std::optional<MoveStart> start = startMove();
    if (!start)
        return;
    const auto [position, recordLetter] = *start;
    if (!LetterTabsActive()) {
        // Without letter tabs the last record stays the last.
        if (const auto count = static_cast<int>(m_database->browseTable().recordCount()); count > 0)
            showRecordAt(std::min(position, count - 1));
        return;
    }
    char letter = recordLetter ? recordLetter : m_letter;
    int target = position;
    if (target >= letterCount(letter)) {
        if (const char next = nonEmptyLetterAfter(letter)) {
            letter = next;
            target = 0;
        } else if (recordLetter) {
            // Nothing after it: the last record stays the last.
            target = letterCount(letter) - 1;
        } else {
            letter = nonEmptyLetterBefore('Z' + 1);
            target = 0;
        }
    }
    showRecordOfLetter(letter, target);
}

void TForm1::PreviousRecord()
{
    const std::optional<MoveStart> start = startMove();
    if (!start)
        return;
    const auto [position, recordLetter] = *start;
    if (!LetterTabsActive()) {
        if (const auto count = static_cast<int>(m_database->browseTable().recordCount()); count > 0)
            showRecordAt(std::clamp(position - 2, 0, count - 1));
        return;
    }
    char letter = recordLetter ? recordLetter : m_letter;
    int target = position - 2;
    if (target < 0 || letterCount(letter) == 0) {
        if (const char previous = nonEmptyLetterBefore(letter)) {
            letter = previous;
            target = letterCount(letter) - 1;
        } else if (letterCount(letter) == 0) {
            letter = nonEmptyLetterAfter(letter);
            target = letterCount(letter) - 1;
        } else {
            // Nothing before it: the first record stays the first.
            target = 0;
        }
    }
    showRecordOfLetter(letter, target);
}

// The record at index of a letter's range; the list keeps the selected tab's range.
void TForm1::showRecordOfLetter(char letter, int index)
{
    if (!letter || index < 0)
        return;
    dbase::Table& browse = m_database->browseTable();
    const bool otherLetter = letter != m_letter;
    if (otherLetter)
        m_index->SetLetterRange(browse, letter);
    const auto count = static_cast<int>(browse.recordCount());
    if (count == 0) {
        if (otherLetter)
            m_index->SetLetterRange(browse, m_letter);
        return;
    }
    m_newRecord = false;
    m_inUse = false;
    browse.first();
    browse.moveBy(std::min(index, count - 1));
    m_database->editTable().goToCurrent(browse);
    if (otherLetter)
        m_index->SetLetterRange(browse, m_letter);
    ShowRecord(std::min(index, count - 1) + 1);
}

void TForm1::Synchronize()
{
    if (m_newRecord || !SaveCurrentRecord())
        return;
    BusyCursor busy;
    if (LetterTabsActive() && m_recordLetter && m_recordLetter != m_letter) {
        m_letter = m_recordLetter;
        selectLetterTab(m_letter);
        m_index->SetLetterRange(m_database->browseTable(), m_letter);
    }
    dbase::Table& browse = m_database->browseTable();
    int index = 0;
    for (browse.first(); !browse.eof(); browse.next(), ++index) {
        if (std::round(browse.asNumber(0)) == m_recordNumber) {
            m_pageOffset = index - index % m_pageSize;
            showRecordAt(index);
            return;
        }
    }
    // The record has left the range (another user deleted it): the form stays as it is.
}

bool TForm1::SaveBeforeCommand()
{
    const bool wasNew = m_newRecord;
    if (!SaveCurrentRecord())
        return false;
    m_saved = true;
    if (wasNew) {
        // The saved record is now the last of the range: the command starts from it.
        GoToRecord(m_position - 1);
        SaveCurrentRecord();
        update();
    }
    return true;
}

void TForm1::ReloadView()
{
    try {
        m_database->CloseEditTable();
        m_database->OpenEditTable();
    } catch (const dbase::DatabaseError& error) {
        messages::error(this, QString::fromUtf8(error.what()));
        return;
    }
    m_newRecord = false;
    m_inUse = false;
    m_position = 0;
    m_saved = false;
    m_ready = true;
    GoToRecord(0);
}

QString TForm1::columnValueText(const dbase::Table& table, int column)
{
    const dbase::FieldDescriptor& field = table.fieldDescriptor(static_cast<std::size_t>(column));
    if (field.isMemo()) {
        try {
            return store::columnMemoLines(table, column).value(0);
        } catch (const dbase::EngineError&) {
            messages::error(this, QStringLiteral("Corrupt Memo Field!!! You should delete record: \n") +
                                      store::columnText(table, store::FirstFieldOffset + 1));
            return {};
        }
    }
    if (field.isBinary())
        return QStringLiteral("<PICTURE>") + (table.isNull(static_cast<std::size_t>(column))
                                                  ? QStringLiteral(" - Empty")
                                                  : QStringLiteral(" - Not Empty"));
    if (field.isDate()) {
        const int fieldIndex = column - store::FirstFieldOffset;
        int format = 0;
        for (const store::DateFormatEntry& entry : m_session.dateFormats) {
            if (entry.fieldIndex == fieldIndex)
                format = entry.format;
        }
        return store::columnDate(table, column).toString(qtDateFormat(format));
    }
    return store::columnText(table, column);
}

void TForm1::FillValueList(QMenu* menu, const dbase::Table& table)
{
    for (int column = store::FirstFieldOffset; column < static_cast<int>(table.fieldCount()); ++column) {
        QAction* item = menu->addAction(columnValueText(table, column).left(valueListTextLength));
        item->setEnabled(false);
    }
}

QWidget* TForm1::fieldOf(QObject* object) const
{
    for (QObject* o = object; o && o != this; o = o->parent()) {
        if (auto* widget = qobject_cast<QWidget*>(o); widget && m_fields.contains(widget))
            return widget;
    }
    return nullptr;
}

// Tab moves through the fields of one page in field order, then on to the next page (Shift+Tab back).
bool TForm1::moveToTabTarget(QWidget* field, bool backwards)
{
    auto takesFocus = [](const QWidget* w) {
        return w->isEnabled() && !w->isHidden() && (w->focusPolicy() & Qt::TabFocus);
    };
    const auto reason = backwards ? Qt::BacktabFocusReason : Qt::TabFocusReason;
    const int step = backwards ? -1 : 1;
    const auto count = static_cast<int>(m_fields.size());
    QWidget* page = field->parentWidget();
    for (int i = static_cast<int>(m_fields.indexOf(field)) + step; i >= 0 && i < count; i += step) {
        if (m_fields[i]->parentWidget() == page && takesFocus(m_fields[i])) {
            m_fields[i]->setFocus(reason);
            return true;
        }
    }
    const int pages = m_pages->count();
    const int target = (m_pages->indexOf(page) + step + pages) % pages;
    m_pages->setCurrentIndex(target);
    QWidget* targetPage = m_pages->widget(target);
    for (int k = 0; k < count; ++k) {
        QWidget* candidate = m_fields[backwards ? count - 1 - k : k];
        if (candidate->parentWidget() == targetPage && takesFocus(candidate)) {
            candidate->setFocus(reason);
            break;
        }
    }
    return true;
}

void TForm1::HighlightFoundField(int fieldIndex, const QString& foundText)
{
    if (fieldIndex < 0 || fieldIndex >= m_fields.size())
        return;
    QWidget* field = m_fields[fieldIndex];
    clearHighlight();
    m_pages->setCurrentWidget(field->parentWidget());
    if (!m_session.isReadOnlyMode())
        field->setFocus(Qt::OtherFocusReason);
    QPalette palette = field->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Base, Qt::red);
        palette.setColor(group, QPalette::Text, Qt::yellow);
    }
    field->setPalette(palette);
    m_highlighted = field;
    if (auto* memo = qobject_cast<QPlainTextEdit*>(field); memo && !foundText.isEmpty()) {
        const QTextCursor found = memo->document()->find(foundText);
        if (!found.isNull())
            memo->setTextCursor(found);
    }
}

void TForm1::clearHighlight()
{
    if (QWidget* previous = m_highlighted) {
        m_highlighted = nullptr;
        applyFieldColor(previous);
    }
}
