#include "TDbEditDlg.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "mainwindow/controls/HelpPages.h"
#include "RecordTableModel.h"
#include "TDBNavigator.h"
#include "TFieldDlg.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

const QString TDbEditDlg::caption = QStringLiteral("Table Viewer");
const QString TDbEditDlg::readOnlyCaptionSuffix = QStringLiteral(" - Read Only Mode");

namespace {

using Button = TDBNavigator::Button;

// The tag a window gets while another one has hidden it for a moment: its show skips the first-show work.
constexpr int hiddenWindowTag = 1000;
constexpr int cellPadding = 12;
const QColor silver(192, 192, 192);

// Characters a column needs to show its values.
int displayCharacters(const dbase::FieldDescriptor& field)
{
    if (field.isDate())
        return 10;
    if (field.usesMemoFile())
        return 12;
    return std::max<int>(field.length, 1);
}

} // namespace

TDbEditDlg::TDbEditDlg(dbase::Table& table, const QString& folder, const QString& fileName, int hiddenColumns,
                       bool readOnly, QWidget* parent)
    : QDialog(parent), m_table(table), m_folder(folder), m_fileName(fileName), m_hiddenColumns(hiddenColumns),
      m_readOnly(readOnly), m_prompts(this)
{
    setObjectName(QStringLiteral("DbEditDlg"));
    setWindowTitle(caption);
    setProperty("helpContext", helpContext);
    setWindowFlag(Qt::WindowMaximizeButtonHint);

    DBGrid1 = new QTableView;
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setToolTip(QStringLiteral("Double Click to Edit Selected Field"));
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    // A double click opens the field editor; typing edits the cell in place.
    DBGrid1->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    DBNavigator1 = new TDBNavigator;
    CloseBtn = new QPushButton(QStringLiteral("&Close"));
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    HelpBtn = new QPushButton(QStringLiteral("Help"));
    HelpBtn->setObjectName(QStringLiteral("HelpBtn"));

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(DBNavigator1);
    bottom->addStretch();
    bottom->addWidget(CloseBtn);
    bottom->addWidget(HelpBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(DBGrid1, 1);
    layout->addLayout(bottom);

    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
    connect(DBNavigator1, &TDBNavigator::clicked, this,
            [this](Button which) { navigate(static_cast<int>(which)); });
    connect(DBGrid1, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { editField(index.column()); });
    setWindowState(windowState() | Qt::WindowMaximized);
}

TDbEditDlg::~TDbEditDlg()
{
    detachTable();
}

void TDbEditDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (property("tag").toInt() == hiddenWindowTag || m_model)
        return;
    if (!attachTable()) {
        m_prompts.error(QStringLiteral("Database could not be open!"));
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    for (int column = 0; column < m_hiddenColumns; ++column)
        DBGrid1->setColumnHidden(column, true);
    if (m_readOnly) {
        DBNavigator1->setVisibleButtons(TDBNavigator::movingButtons);
        QPalette palette = DBGrid1->palette();
        palette.setColor(QPalette::Base, silver);
        DBGrid1->setPalette(palette);
        setWindowTitle(caption + readOnlyCaptionSuffix);
    }
    narrowWideColumns();
    setCurrentRow(0);
    updateNavigator();
}

bool TDbEditDlg::attachTable()
{
    if (!m_table.isOpen()) {
        try {
            m_table.open(QFile::encodeName(m_folder).toStdString(),
                         QFile::encodeName(m_fileName).toStdString());
        } catch (const dbase::DatabaseError&) {
            return false;
        }
    }
    m_tag = m_table.activeTag();
    m_model = new RecordTableModel(m_table, m_prompts, this);
    m_model->setReadOnly(m_readOnly);
    DBGrid1->setModel(m_model);
    connect(m_model, &RecordTableModel::editingChanged, this, &TDbEditDlg::updateNavigator);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &TDbEditDlg::updateNavigator);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &TDbEditDlg::updateNavigator);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TDbEditDlg::updateNavigator);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { currentRowChanged(current.row()); });
    return true;
}

// The table is closed and opened again, so that the record window finds it freshly positioned.
void TDbEditDlg::detachTable()
{
    if (!m_model)
        return;
    for (int column = 0; column < m_hiddenColumns; ++column)
        DBGrid1->setColumnHidden(column, false);
    DBGrid1->setModel(nullptr);
    delete m_model;
    m_model = nullptr;
    const std::string folder = m_table.folder();
    const std::string fileName = m_table.fileName();
    m_table.close();
    try {
        m_table.open(folder, fileName, false, m_tag);
    } catch (const dbase::DatabaseError&) {
        // The record window opens it again when it takes over.
    }
}

int TDbEditDlg::naturalWidth(int column) const
{
    const QFontMetrics metrics = DBGrid1->fontMetrics();
    const int header =
        metrics.horizontalAdvance(m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    const int values = displayCharacters(m_model->field(column)) * metrics.averageCharWidth();
    return std::max(header, values) + cellPadding;
}

void TDbEditDlg::narrowWideColumns()
{
    const QScreen* display = screen();
    const int half = (display ? display->geometry().width() : 640) / 2;
    for (int column = 0; column < m_model->columnCount(); ++column)
        DBGrid1->setColumnWidth(column, std::min(naturalWidth(column), half));
}

int TDbEditDlg::currentRow() const
{
    return DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().row() : -1;
}

void TDbEditDlg::setCurrentRow(int row)
{
    if (!m_model || m_model->rowCount() == 0)
        return;
    row = std::clamp(row, 0, m_model->rowCount() - 1);
    const int column = DBGrid1->currentIndex().isValid() ? DBGrid1->currentIndex().column() : m_hiddenColumns;
    DBGrid1->setCurrentIndex(m_model->index(row, std::min(column, m_model->columnCount() - 1)));
}

// Leaving a changed row posts it, as a data-aware grid does; a post that fails brings the grid back.
void TDbEditDlg::currentRowChanged(int row)
{
    const int editing = m_model->editingRow();
    if (editing >= 0 && editing != row && !m_model->postRow())
        QTimer::singleShot(0, this, [this, editing] { setCurrentRow(editing); });
    updateNavigator();
}

void TDbEditDlg::navigate(int which)
{
    const int row = currentRow();
    switch (static_cast<Button>(which)) {
    case Button::First:
        setCurrentRow(0);
        break;
    case Button::Prior:
        setCurrentRow(row - 1);
        break;
    case Button::Next:
        setCurrentRow(row + 1);
        break;
    case Button::Last:
        setCurrentRow(m_model->rowCount() - 1);
        break;
    case Button::Insert:
        if (m_model->insertRowAt(std::max(row, 0)))
            setCurrentRow(std::max(row, 0));
        break;
    case Button::Delete:
        if (row >= 0 && m_prompts.askYesNo(QStringLiteral("Delete record?")))
            m_model->deleteRow(row);
        setCurrentRow(row);
        break;
    case Button::Edit:
        if (row >= 0)
            m_model->editRow(row);
        break;
    case Button::Post:
        m_model->postRow();
        setCurrentRow(row);
        break;
    case Button::Cancel:
        m_model->cancelRow();
        setCurrentRow(row);
        break;
    case Button::Refresh:
        m_model->refresh();
        setCurrentRow(row);
        break;
    }
    updateNavigator();
}

void TDbEditDlg::updateNavigator()
{
    if (!m_model)
        return;
    const int row = currentRow();
    const int count = m_model->rowCount();
    const bool editing = m_model->isEditing();
    DBNavigator1->setButtonEnabled(Button::First, count > 0 && row > 0);
    DBNavigator1->setButtonEnabled(Button::Prior, count > 0 && row > 0);
    DBNavigator1->setButtonEnabled(Button::Next, count > 0 && row < count - 1);
    DBNavigator1->setButtonEnabled(Button::Last, count > 0 && row < count - 1);
    DBNavigator1->setButtonEnabled(Button::Insert, !m_readOnly);
    DBNavigator1->setButtonEnabled(Button::Delete, !m_readOnly && count > 0);
    DBNavigator1->setButtonEnabled(Button::Edit, !m_readOnly && count > 0 && !editing);
    DBNavigator1->setButtonEnabled(Button::Post, editing);
    DBNavigator1->setButtonEnabled(Button::Cancel, editing);
    DBNavigator1->setButtonEnabled(Button::Refresh, true);
}

void TDbEditDlg::editField(int column)
{
    const int row = currentRow();
    if (!m_model || row < 0 || column < 0)
        return;
    // A memo or a picture gets the screen to itself; the view comes back without its first-show work.
    const bool large = m_model->field(column).usesMemoFile();
    const Qt::WindowStates state = windowState();
    if (large) {
        setProperty("tag", hiddenWindowTag);
        showMinimized();
    }
    {
        TFieldDlg editor(*m_model, row, column, large ? nullptr : this);
        editor.exec();
    }
    if (large) {
        setWindowState(state);
        show();
        setProperty("tag", 0);
    }
}

void TDbEditDlg::done(int result)
{
    if (m_model && m_model->isEditing() && !m_model->postRow())
        return;
    detachTable();
    QDialog::done(result);
}
