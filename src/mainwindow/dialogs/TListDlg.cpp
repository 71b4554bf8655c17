#include "TListDlg.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/HelpPages.h"
#include "RecordTableModel.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "store/FileNames.h"
#include "store/Session.h"

#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QVBoxLayout>

const QString TListDlg::caption = QStringLiteral("Edit Lists");
const std::string TListDlg::listTag = "IDX";

namespace {

constexpr std::size_t valueColumn = 0;

QPushButton* button(const QString& text, const char* name)
{
    auto* result = new QPushButton(text);
    result->setObjectName(QLatin1String(name));
    return result;
}

// The physical record the table stands on, counted as a row in the table's order; -1 when there is none.
int rowOfRecord(dbase::Table& table, dbase::Table::Bookmark record)
{
    int row = 0;
    for (table.first(); !table.eof(); table.next(), ++row) {
        if (table.bookmark() == record)
            return row;
    }
    return -1;
}

} // namespace

TListDlg::TListDlg(const store::Session& session, const QList<lookup::ListEntry>& entries, QWidget* parent)
    : QDialog(parent), m_session(session), m_entries(entries), m_choices(new QButtonGroup(this)),
      m_prompts(this), m_list(std::make_unique<dbase::Table>())
{
    setObjectName(QStringLiteral("ListDlg"));
    setWindowTitle(caption);
    setProperty("helpContext", helpContext);

    RadioGroup1 = new QGroupBox(QStringLiteral("Lists"));
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    auto* radios = new QVBoxLayout(RadioGroup1);
    for (int i = 0; i < m_entries.size(); ++i) {
        auto* radio = new QRadioButton(m_entries[i].caption);
        m_choices->addButton(radio, i);
        radios->addWidget(radio);
    }
    radios->addStretch();

    DBGrid1 = new QTableView;
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);

    EditBtn = button(QStringLiteral("&Edit"), "EditBtn");
    NewBtn = button(QStringLiteral("&New"), "NewBtn");
    DeleteBtn = button(QStringLiteral("&Delete"), "DeleteBtn");
    UpdateBtn = button(QStringLiteral("&Update Lists"), "UpdateBtn");
    CloseBtn = button(QStringLiteral("&Close"), "CloseBtn");
    HelpBtn = button(QStringLiteral("Help"), "HelpBtn");
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {EditBtn, NewBtn, DeleteBtn, UpdateBtn})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(CloseBtn);
    buttons->addWidget(HelpBtn);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(buttons);
    resize(520, 320);

    connect(m_choices, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            openList(id);
    });
    connect(EditBtn, &QPushButton::clicked, this, &TListDlg::EditItem);
    connect(NewBtn, &QPushButton::clicked, this, &TListDlg::NewItem);
    connect(DeleteBtn, &QPushButton::clicked, this, &TListDlg::DeleteItem);
    connect(UpdateBtn, &QPushButton::clicked, this, &TListDlg::UpdateLists);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });

    selectEntry(0);
}

TListDlg::~TListDlg()
{
    closeList();
}

int TListDlg::selectedEntry() const
{
    return m_choices->checkedId();
}

void TListDlg::selectEntry(int index)
{
    if (QAbstractButton* radio = m_choices->button(index)) {
        const QSignalBlocker quiet(m_choices);
        radio->setChecked(true);
    }
    openList(index);
}

void TListDlg::openList(int index)
{
    closeList();
    if (index < 0 || index >= m_entries.size())
        return;
    const QString& name = m_entries[index].listName;
    try {
        m_list->open(store::localPath(m_session.folders.database), store::localPath(name), false, listTag);
    } catch (const dbase::DatabaseError&) {
        m_prompts.error(QStringLiteral("Cannot open the file: ") + name);
        return;
    }
    m_model = new RecordTableModel(*m_list, m_prompts, this);
    m_model->setReadOnly(true);
    DBGrid1->setModel(m_model);
    if (m_model->rowCount() > 0)
        DBGrid1->setCurrentIndex(m_model->index(0, 0));
}

// The grid lets go of the table before it closes.
void TListDlg::closeList()
{
    DBGrid1->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    m_list->close();
}

int TListDlg::currentRow() const
{
    return DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().row() : -1;
}

bool TListDlg::positionOnRow(int row)
{
    if (row < 0 || !m_list->isOpen())
        return false;
    m_list->first();
    return m_list->moveBy(row) == row && !m_list->eof();
}

// A failed change is cancelled and reported; the grid then shows the list as it is, on the record the table
// stands on (or on the row it was on), and has the focus.
void TListDlg::changeList(const QString& failure, const std::function<void(dbase::Table&)>& change)
{
    const int row = currentRow();
    try {
        change(*m_list);
    } catch (const dbase::DatabaseError&) {
        if (m_list->isOpen())
            m_list->cancel();
        m_prompts.error(failure);
    }
    showCurrentRecord(row);
}

void TListDlg::showCurrentRecord(int fallbackRow)
{
    if (!m_model)
        return;
    int row = fallbackRow;
    try {
        if (const dbase::Table::Bookmark record = m_list->bookmark(); record != 0)
            row = rowOfRecord(*m_list, record);
    } catch (const dbase::DatabaseError&) {
    }
    m_model->refresh();
    if (m_model->rowCount() > 0)
        DBGrid1->setCurrentIndex(m_model->index(std::clamp(row, 0, m_model->rowCount() - 1), 0));
}

void TListDlg::NewItem()
{
    bool ok = false;
    const QString value =
        QInputDialog::getText(this, QStringLiteral("Add New Item"), QStringLiteral("New List Item:"),
                              QLineEdit::Normal, QString(), &ok);
    if (ok) {
        changeList(QStringLiteral("Could not Add the Item!"), [&](dbase::Table& list) {
            list.append();
            store::setColumnText(list, valueColumn, value);
            list.post();
        });
    }
    DBGrid1->setFocus();
}

void TListDlg::EditItem()
{
    const int row = currentRow();
    QString current;
    try {
        if (positionOnRow(row))
            current = store::columnText(*m_list, valueColumn);
    } catch (const dbase::DatabaseError&) {
    }
    bool ok = false;
    const QString value =
        QInputDialog::getText(this, QStringLiteral("Edit Item"), QStringLiteral("Modify List Item:"),
                              QLineEdit::Normal, current, &ok);
    if (ok) {
        changeList(QStringLiteral("Could not Modify the Item!"), [&](dbase::Table& list) {
            if (!positionOnRow(row))
                throw dbase::DatabaseError("there is no current item");
            list.edit();
            store::setColumnText(list, valueColumn, value);
            list.post();
        });
    }
    DBGrid1->setFocus();
}

void TListDlg::DeleteItem()
{
    const int row = currentRow();
    if (m_prompts.askYesNo(QStringLiteral("Are you sure you want to Delete this Item?"))) {
        changeList(QStringLiteral("Could not Delete the Item!"), [&](dbase::Table& list) {
            if (!positionOnRow(row))
                throw dbase::DatabaseError("there is no current item");
            list.deleteRecord();
        });
    }
    DBGrid1->setFocus();
}

void TListDlg::reportWithNormalCursor(const QString& text)
{
    QApplication::restoreOverrideCursor();
    m_prompts.error(text);
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

void TListDlg::UpdateLists()
{
    closeList();
    QString unexpected;
    {
        const BusyCursor busy;
        dbase::Table records;
        try {
            records.open(store::localPath(m_session.folders.database),
                         store::localPath(m_session.tableFileName));
            for (const lookup::ListEntry& entry : m_entries) {
                try {
                    addMissingValues(records, entry);
                } catch (const dbase::DatabaseError&) {
                    reportWithNormalCursor(QStringLiteral("Could not open file: ") + entry.listName);
                }
            }
        } catch (const dbase::DatabaseError& error) {
            unexpected = QString::fromLocal8Bit(error.what());
        }
        m_list->close();
    }
    selectEntry(0);
    if (!unexpected.isEmpty())
        m_prompts.error(unexpected);
}

// Every non-empty value of the entry's field that the list's key search does not find exactly, once.
void TListDlg::addMissingValues(dbase::Table& records, const lookup::ListEntry& entry)
{
    records.first();
    m_list->close();
    m_list->open(store::localPath(m_session.folders.database), store::localPath(entry.listName), false,
                 listTag);
    const auto column = static_cast<std::size_t>(entry.fieldNumber - 1 + store::FirstFieldOffset);
    const std::size_t width = m_list->fieldDescriptor(valueColumn).length;
    for (; !records.eof(); records.next()) {
        // A list narrower than the field holds what fits; searching for that keeps it from being added again.
        std::string value = records.asString(column);
        if (value.size() > width)
            value.resize(width);
        while (!value.empty() && value.back() == ' ')
            value.pop_back();
        if (value.empty() || m_list->findKey(value))
            continue;
        m_list->append();
        m_list->setString(valueColumn, value);
        m_list->post();
    }
}

// Each list gets rid of its deleted items; one that is in use, or unreadable, says so and the others go on.
void TListDlg::packLists()
{
    closeList();
    const BusyCursor busy;
    const std::string folder = store::localPath(m_session.folders.database);
    for (const lookup::ListEntry& entry : m_entries) {
        const std::string name = store::localPath(entry.listName);
        if (!dbase::tableExists(folder, name))
            continue;
        try {
            dbase::Table list;
            list.open(folder, name, true);
            list.pack();
        } catch (const dbase::DatabaseError& error) {
            reportWithNormalCursor(QString::fromLocal8Bit(error.what()));
        }
    }
}

void TListDlg::done(int result)
{
    packLists();
    QDialog::done(result);
}
