// The record cycle: which record is current, loading it into the form and writing the form back.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "pictures/TDbMultiImgControl.h"
#include "store/DatabaseFolder.h"
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

// Shows the hourglass for as long as it lives.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

void TForm1::GoToRecord(int index)
{
    dbase::Table& browse = m_database->browseTable();
    if (!browse.isOpen()) {
        messages::error(this, QStringLiteral("Database is not Open! Cannot display details."));
        return;
    }
    const std::int64_t before = browse.recordCount();
    if (m_position > 0 && !m_saved && !SaveCurrentRecord())
        return;
    m_newRecord = false;
    m_inUse = false;
    const std::int64_t count = browse.recordCount();
    if (count > before)
        ++index;
    if (index < count) {
        browse.first();
        browse.moveBy(index);
        m_database->editTable().goToCurrent(browse);
        ShowRecord(index + 1);
    } else {
        m_newRecord = true;
        ShowRecord(static_cast<int>(count) + 1);
    }
}

void TForm1::ShowRecord(int position)
{
    dbase::Table& edit = m_database->editTable();
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
    }
    m_position = position;
    refreshStatus();
    m_ready = true;
    m_saved = false;
}

bool TForm1::SaveCurrentRecord()
{
    bool result = true;
    if (m_session.isReadOnlyMode() || m_inUse)
        return result;
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
            if (result)
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
    if (m_inUse)
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
            table.post();
            table.saveChanges();
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
    setFieldsEnabled(!m_session.isReadOnlyMode() && !m_inUse);
}

void TForm1::setFieldsEnabled(bool enabled)
{
    for (QWidget* control : m_fields)
        control->setEnabled(enabled);
}
