#include "TLookup.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "settings/ProgramSettings.h"
#include "store/ColumnValues.h"
#include "store/FileNames.h"
#include "store/Session.h"

#include <algorithm>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>

const QString TLookup::defaultHint =
    QStringLiteral("Lookup Field - click on the down arrow to see the choices");
const QString TLookup::createFailedMessage = QStringLiteral("Error! Could not create a list file: ");

namespace {

const QString templateListName = QStringLiteral("list.dbf");
constexpr int valueColumn = 0;

// The drop-down's alphabetical order: letter case only breaks ties.
bool itemBefore(const QString& a, const QString& b)
{
    const int order = a.compare(b, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// A typed character, as opposed to the control codes that editing keys and Ctrl combinations produce.
bool isPrintable(const QString& typed)
{
    return !typed.isEmpty() && std::all_of(typed.begin(), typed.end(),
                                           [](QChar c) { return c.unicode() >= 32 && c.unicode() != 127; });
}

} // namespace

TLookup::TLookup(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Completion is the auto-fill option's alone, and Return must not swap the text for an item that
    // differs from it in letter case.
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
    setToolTip(defaultHint);
}

TLookup::~TLookup()
{
    addValueWhenMissing();
}

void TLookup::setSource(const QString& source)
{
    if (source == m_source)
        return;
    m_source = source;
    bindListTable();
}

void TLookup::setSession(store::Session* session)
{
    if (session == m_session)
        return;
    m_session = session;
    bindListTable();
}

// The list table of the session's database folder, opened once to prove it is there: a missing or
// unreadable one is replaced by the template. One that another user holds exclusively is left alone.
void TLookup::bindListTable()
{
    m_table.reset();
    m_listFolder.clear();
    if (!m_session || m_source.isEmpty()) {
        ReloadItems();
        return;
    }
    m_listFolder = m_session->folders.database;
    m_table = std::make_unique<dbase::Table>();
    m_table->afterPost = [this](dbase::Table&) { listReceivedValue(); };
    try {
        openListTable();
    } catch (const dbase::LockError&) {
    } catch (const dbase::DatabaseError&) {
        if (!createFromTemplate()) {
            messages::error(this, createFailedMessage + QLatin1Char('\n') + m_listFolder + QLatin1Char('/') +
                                      m_source);
        } else {
            try {
                openListTable();
            } catch (const dbase::DatabaseError&) {
                // The field works without a list.
            }
        }
    }
    ReloadItems();
}

void TLookup::openListTable()
{
    if (!m_table->isOpen())
        m_table->open(store::localPath(m_listFolder), store::localPath(m_source));
}

bool TLookup::createFromTemplate()
{
    try {
        dbase::copyTable(store::localPath(m_session->folders.program), store::localPath(templateListName),
                         store::localPath(m_listFolder), store::localPath(m_source), true);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void TLookup::ReloadItems()
{
    if (m_session && m_table && !settings::SameFolder(m_listFolder, m_session->folders.database)) {
        bindListTable();
        return;
    }
    QStringList values;
    if (m_table) {
        try {
            openListTable();
            for (m_table->first(); !m_table->eof(); m_table->next())
                values.append(store::columnText(*m_table, valueColumn));
        } catch (const dbase::DatabaseError&) {
        } catch (const dbase::EngineError&) {
        }
        m_table->close();
    }
    std::stable_sort(values.begin(), values.end(), itemBefore);
    // The record window sees no change: the text stays what it was.
    const QSignalBlocker quiet(this);
    const QString text = currentText();
    clear();
    addItems(values);
    setCurrentIndex(-1);
    setEditText(text);
}

void TLookup::AddCurrentValue()
{
    const QString text = currentText();
    if (text.isEmpty())
        return;
    if (m_session && m_table && !settings::SameFolder(m_listFolder, m_session->folders.database))
        bindListTable();
    insertSorted(text);
    if (!m_table)
        return;
    try {
        openListTable();
        m_table->append();
        store::setColumnText(*m_table, valueColumn, text);
        m_table->post();
    } catch (const dbase::DatabaseError&) {
    } catch (const dbase::EngineError&) {
    }
    m_table->close();
}

void TLookup::listReceivedValue()
{
    ReloadItems();
    if (m_twin)
        m_twin->ReloadItems();
}

void TLookup::insertSorted(const QString& text)
{
    const QStringList items = itemTexts();
    const auto at = std::upper_bound(items.begin(), items.end(), text, itemBefore);
    const QSignalBlocker quiet(this);
    const QString shown = currentText();
    insertItem(static_cast<int>(at - items.begin()), text);
    setEditText(shown);
}

QStringList TLookup::itemTexts() const
{
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items.append(itemText(i));
    return items;
}

// Items are compared without case: a value that differs from one only in letter case is not added.
void TLookup::addValueWhenMissing()
{
    if (findText(currentText(), Qt::MatchFixedString) < 0)
        AddCurrentValue();
}

// The first item that begins with the text before the selection and the typed character, with letter case,
// becomes the text; what it adds is selected, so that typing on replaces it.
bool TLookup::autoFill(const QString& typed)
{
    QLineEdit* edit = lineEdit();
    if (!edit)
        return false;
    const int selectionStart = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    const QString prefix = edit->text().left(selectionStart) + typed;
    for (int i = 0; i < count(); ++i) {
        const QString item = itemText(i);
        if (item.startsWith(prefix, Qt::CaseSensitive)) {
            setCurrentIndex(i);
            setEditText(item);
            edit->setSelection(static_cast<int>(prefix.size()),
                               static_cast<int>(item.size() - prefix.size()));
            return true;
        }
    }
    return false;
}

void TLookup::keyPressEvent(QKeyEvent* event)
{
    if (m_session && m_session->database.autoFill && isPrintable(event->text()) && autoFill(event->text())) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TLookup::focusInEvent(QFocusEvent* event)
{
    QComboBox::focusInEvent(event);
    // After the line edit's own handling, which selects everything on a Tab.
    QTimer::singleShot(0, this, [this] {
        if (QLineEdit* edit = lineEdit())
            edit->setCursorPosition(0);
    });
}

void TLookup::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // The drop-down and a window switch take the focus for a while; the field is not left.
    if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    QTimer::singleShot(0, this, &QComboBox::hidePopup);
    addValueWhenMissing();
}
