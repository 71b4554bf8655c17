// The record cycle: which record is current, loading it into the form and writing the form back.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "editors/TMyBtnEdit.h"
#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "pictures/TDbMultiImgControl.h"
#include "settings/ProgramSettings.h"
#include "store/DatabaseFolder.h"
#include "store/TIndex.h"
#include "TForm1.h"

#include <cmath>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

constexpr int postAttempts = 100;

int columnOfField(int fieldIndex)
{
    return fieldIndex + store::FirstFieldOffset;
}

bool isControlEmpty(const QWidget* control)
{
    if (const auto* picture = qobject_cast<const TDbMultiImgControl*>(control))
        return picture->isEmpty();
    if (const auto* money = qobject_cast<const TCurrencyEdit*>(control))
        return money->value() == 0.0;
    if (const auto* date = qobject_cast<const TDateEdit*>(control))
        return date->isBlank();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control))
        return memo->toPlainText().isEmpty();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        return combo->currentText().isEmpty();
    if (const auto* edit = qobject_cast<const QLineEdit*>(control))
        return edit->text().isEmpty();
    return true;
}

void clearControl(QWidget* control)
{
    if (auto* picture = qobject_cast<TDbMultiImgControl*>(control))
        picture->clear();
    else if (auto* money = qobject_cast<TCurrencyEdit*>(control))
        money->setValue(0);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(control))
        memo->clear();
    else if (auto* combo = qobject_cast<QComboBox*>(control))
        combo->setEditText(QString());
    else if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->clear();
}

} // namespace

void TForm1::GoToRecord(int index)
{
    dbase::Table& browse = m_database->browseTable();
    if (!browse.isOpen()) {
        messages::error(this, QStringLiteral("Database is not Open! Cannot display details."));
        return;
    }
    const std::int64_t before = browse.recordCount();
    const bool saving = m_position > 0 && !m_saved;
    // A save of a new record may put it before the record asked for; that record is known by its number.
    const double asked = saving && m_newRecord && index < before ? numberAt(index) : -1;
    if (saving && !SaveCurrentRecord())
        return;
    m_newRecord = false;
    m_inUse = false;
    const std::int64_t count = browse.recordCount();
    if (count > before && (index >= before || numberAt(index) != asked))
        ++index;
    if (index < count) {
        showRecordAt(index);
    } else {
        m_newRecord = true;
        ShowRecord(static_cast<int>(count) + 1);
    }
}

double TForm1::numberAt(int index)
{
    dbase::Table& browse = m_database->browseTable();
    browse.first();
    browse.moveBy(index);
    return browse.eof() ? -1 : std::round(browse.asNumber(0));
}

// The browse table moves to the record, the edit table follows it.
void TForm1::showRecordAt(int index)
{
    dbase::Table& browse = m_database->browseTable();
    m_newRecord = false;
    m_inUse = false;
    browse.first();
    browse.moveBy(index);
    m_database->editTable().goToCurrent(browse);
    ShowRecord(index + 1);
}

void TForm1::ShowRecord(int position)
{
    dbase::Table& edit = m_database->editTable();
    m_recordLetter = 0;
    if (m_newRecord) {
        ClearForm();
        m_recordNumber = -1;
    } else {
        if (!m_session.isReadOnlyMode()) {
            try {
                edit.edit();
            } catch (const dbase::DatabaseError&) {
                m_inUse = true;
            }
        }
        LoadRecordIntoForm(edit);
        m_recordNumber = std::round(edit.asNumber(0));
        if (LetterTabsActive())
            m_recordLetter = m_index->FirstLetterOfRecord(edit);
    }
    m_position = position;
    showPositionLabels();
    refreshStatus();
    m_ready = true;
    RefreshRecordList();
    m_saved = false;
}

void TForm1::showPositionLabels()
{
    const std::int64_t count = m_database->browseTable().recordCount();
    m_positionLabel->setText(m_newRecord ? QString() : QString::number(m_position).left(6));
    const int percent =
        count == 0 ? 100 : static_cast<int>(std::min<double>(100.0, std::round(100.0 * m_position / count)));
    m_percentLabel->setText(QString::number(percent) + QLatin1Char('%'));
}

bool TForm1::SaveCurrentRecord()
{
    bool result = true;
    if (m_session.isReadOnlyMode() || m_inUse)
        return result;
    if (!datesAreValid()) {
        m_saved = false;
        return false;
    }
    dbase::Table& edit = m_database->editTable();
    const bool empty = IsRecordEmpty();
    try {
        if (m_newRecord)
            edit.append();
        if (empty) {
            // An empty new record is dropped; an existing record whose fields were all emptied keeps its
            // values.
            edit.cancel();
        } else if (!PostCurrentRecord(edit)) {
            result = messages::askYesNo(
                this, QStringLiteral(
                          "Could not Update the record!\nDo you want to continue anyway?\n(If you answer "
                          "Yes changes to the current record will be discarded.)"));
            // A new record that stays on the form is appended again by the next save.
            if (result || m_newRecord)
                edit.cancel();
        }
    } catch (const dbase::DatabaseError& error) {
        result = messages::askYesNo(this, QString::fromUtf8(error.what()) +
                                              QStringLiteral("\nDo you want to continue anyway?"));
    }
    m_saved = result;
    return result;
}

void TForm1::endSession()
{
    saveCurrentRecordSilently();
    m_sessionEnding = true;
}

void TForm1::saveCurrentRecordSilently()
{
    if (m_session.isReadOnlyMode() || m_inUse || !m_ready)
        return;
    dbase::Table& edit = m_database->editTable();
    try {
        if (m_newRecord)
            edit.append();
        if (IsRecordEmpty() || !PostCurrentRecord(edit))
            edit.cancel();
    } catch (const dbase::DatabaseError&) {
        // Nobody is there to ask; the record keeps what was last posted.
    }
    m_saved = true;
}

bool TForm1::PostCurrentRecord(dbase::Table& table)
{
    // Another user holds the shown record: it is not written. Other tables (the copy buffer, a template
    // row) take the form all the same.
    if (m_inUse && &table == &m_database->editTable())
        return true;
    BusyCursor busy;
    for (int attempt = 0; attempt < postAttempts; ++attempt) {
        try {
            if (table.state() != dbase::Table::State::Edit && table.state() != dbase::Table::State::Insert)
                table.edit();
            // A damaged memo stops the fields after it; the record is still posted.
            for (int i = 0; i < m_fields.size(); ++i) {
                if (!StoreFieldToColumn(m_fields[i], columnOfField(i), table))
                    break;
            }
            const bool recordTable = &table == &m_database->editTable();
            const char oldLetter = m_newRecord ? 0 : m_recordLetter;
            const char newLetter = recordTable ? m_index->FirstLetterOfRecord(table) : 0;
            table.post();
            table.saveChanges();
            if (recordTable && LetterTabsActive() && oldLetter != newLetter) {
                moveLetterCount(oldLetter, newLetter);
                if (!m_newRecord)
                    m_recordLetter = newLetter;
            }
            return true;
        } catch (const dbase::DatabaseError&) {
            // Another user may hold the record for a moment: try again.
        }
    }
    return false;
}

void TForm1::LoadRecordIntoForm(dbase::Table& table)
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (!LoadFieldFromColumn(m_fields[i], columnOfField(i), table))
            break;
    }
}

void TForm1::ClearForm()
{
    for (QWidget* control : m_fields)
        clearControl(control);
}

bool TForm1::IsRecordEmpty() const
{
    return std::all_of(m_fields.begin(), m_fields.end(), isControlEmpty);
}

QString TForm1::statusText() const
{
    if (m_newRecord)
        return QStringLiteral("New Record");
    if (m_session.isReadOnlyMode())
        return QStringLiteral("Read Only Access");
    return m_inUse ? QStringLiteral("Read Only Access - Record In Use") : QStringLiteral("Read/Write Access");
}

void TForm1::refreshStatus()
{
    m_status->setText(statusText());
    refreshEnabledStates();
}

void TForm1::setCommandEnabled(Command which, bool enabled)
{
    command(which)->setEnabled(enabled && !m_unbuiltCommands.contains(which));
}

void TForm1::refreshEnabledStates()
{
    const bool readOnly = m_session.isReadOnlyMode();
    const bool editable = !readOnly && !m_inUse;
    for (Command which :
         {Command::CopyRecord, Command::Import, Command::Export, Command::NewRecord, Command::Replace})
        setCommandEnabled(which, !readOnly);
    const bool publicFolder =
        settings::SameFolder(m_session.folders.database, m_session.folders.publicDatabase);
    setCommandEnabled(Command::Maintenance, !readOnly && (!publicFolder || m_session.supervisor));

    setFieldsEnabled(editable);
    setCommandEnabled(Command::UndoChanges, editable);
    setCommandEnabled(Command::DeleteRecord, editable);
    setCommandEnabled(Command::PasteRecord, editable && m_session.copyBufferHoldsRecord);

    refreshMoveStates();
    setCommandEnabled(Command::Synchronize, !m_newRecord);
    applyFieldColors();
}

void TForm1::setFieldsEnabled(bool enabled)
{
    for (QWidget* control : m_fields) {
        editors::setFieldEnabled(control, enabled);
        // A picture field cannot see its window enable it again; it follows the record's state instead.
        if (auto* picture = qobject_cast<TDbMultiImgControl*>(control))
            picture->setReadOnly(!enabled);
    }
}
