// Loading another database, and the windows that take the record window's place for a while.
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/LookupFields.h"
#include "mainwindow/controls/TSortButton.h"
#include "mainwindow/dialogs/TDbEditDlg.h"
#include "mainwindow/dialogs/TLoadDbDlg.h"
#include "store/DatabaseFolder.h"
#include "store/TIndex.h"
#include "TForm1.h"

#include <QTimer>

namespace {

// The browse table's notifications while a stand-in window edits it, put back when it is done.
class StandInNumbering
{
public:
    StandInNumbering(dbase::Table& browse, store::DatabaseFolder& database)
        : m_browse(browse), m_afterInsert(browse.afterInsert), m_beforePost(browse.beforePost)
    {
        // A row the stand-in inserts is numbered when it is posted, so that a row given up costs no number.
        m_browse.afterInsert = nullptr;
        m_browse.beforePost = [&database, before = m_beforePost](dbase::Table& table) {
            if (table.state() == dbase::Table::State::Insert)
                database.AssignRecordNumber(table);
            if (before)
                before(table);
        };
    }
    ~StandInNumbering()
    {
        m_browse.afterInsert = m_afterInsert;
        m_browse.beforePost = m_beforePost;
    }
    StandInNumbering(const StandInNumbering&) = delete;
    StandInNumbering& operator=(const StandInNumbering&) = delete;

private:
    dbase::Table& m_browse;
    dbase::Table::Handler m_afterInsert;
    dbase::Table::Handler m_beforePost;
};

} // namespace

bool TForm1::LoadChosenDatabase(const QString& folder, const QString& fileName)
{
    if (!SaveCurrentRecord())
        return false;
    if (m_database->isOpenDatabase(folder, fileName))
        return true;
    // What belongs to the table being left is kept with it.
    savePageOrder();
    m_index->SaveSortSettings();
    saveFilterDefinitions();
    m_ready = false;
    m_position = 0;
    if (!m_database->LoadDatabase(folder, fileName)) {
        m_failedToOpen = true;
        QTimer::singleShot(0, this, &QWidget::close);
        return false;
    }
    setTitle();
    lookup::reloadLookupFields(m_fields);
    m_sortBar->setFilterState(TSortButton::AllRecords);
    applySortOfOpenedTable(false);
    attachFilters();
    ReloadView();
    restorePageOrder();
    return true;
}

bool TForm1::RunInPlaceOfWindow(const std::function<void(dbase::Table& browse)>& standIn)
{
    if (!SaveCurrentRecord())
        return false;
    const char letter = m_letter;
    setProperty("tag", standInTag);
    hide();
    m_database->CloseEditTable();
    m_ready = false;
    dbase::Table& browse = m_database->browseTable();
    {
        StandInNumbering numbering(browse, *m_database);
        standIn(browse);
    }
    // A stand-in that left the browse table closed gets it back in its order; when that fails, showing the
    // record says so.
    if (!browse.isOpen())
        m_index->ApplySortOrder(*m_database);
    m_pageOffset = 0;
    m_letter = letter;
    if (m_index->SetLetterRange(browse, letter))
        selectLetterTab(letter);
    ReloadView();
    show();
    return true;
}

void TForm1::runLoadDatabase()
{
    if (!SaveBeforeCommand())
        return;
    TLoadDbDlg dialog(m_session, *m_database, this);
    if (dialog.exec() == QDialog::Accepted)
        LoadChosenDatabase(dialog.chosenFolder(), dialog.chosenFileName());
}

void TForm1::runTableView()
{
    RunInPlaceOfWindow([this](dbase::Table& browse) {
        TDbEditDlg view(browse, m_session.folders.database, m_session.tableFileName, store::FirstFieldOffset,
                        m_session.isReadOnlyMode(), nullptr);
        view.setWindowState(view.windowState() | Qt::WindowMaximized);
        view.exec();
    });
}
