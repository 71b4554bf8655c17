// The record window's side of filters, Search and Replace: the filter marks of its tables, the filter
// scopes of the sort bar, and the hooks through which the Search and Replace windows move it.
#include "dbase/Table.h"
#include "editors/LookupFields.h"
#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/controls/TSortButton.h"
#include "mainwindow/dialogs/TemplateMenus.h"
#include "search/FindSearch.h"
#include "search/TFilterDlg.h"
#include "search/TFilterList.h"
#include "search/TFindDlg.h"
#include "search/TReplaceDlg.h"
#include "security/ActivityLog.h"
#include "store/ContentTemplateLists.h"
#include "store/DatabaseFolder.h"
#include "store/TIndex.h"
#include "TForm1.h"

#include <QMenuBar>

namespace {

QString inFolder(const QString& folder, const QString& fileName)
{
    return folder + QLatin1Char('/') + fileName;
}

} // namespace

void TForm1::createFilters()
{
    m_filters = std::make_unique<search::TFilterList>([this] { return m_session.database.filterDateFormat; });
    m_filterTemplates = std::make_unique<store::TFilterTemplateList>(m_session.folders.settings);
    m_filterTemplates->setContent(m_filters.get());
    m_filterTemplates->LoadList(
        inFolder(m_session.folders.settings, store::TFilterTemplateList::ListFileName));
    m_activityLog = std::make_unique<security::ActivityLog>(
        inFolder(m_session.folders.settings, security::ActivityLog::FileName));

    controls::TemplateHooks hooks = TemplateMenuHooks(*m_filterTemplates);
    // A template that cannot be read leaves the filter of "filter.dat" in force, not half of another one.
    hooks.load = [this, load = hooks.load](const QString& name) {
        if (load(name))
            return true;
        loadFilterDefinitions();
        return false;
    };
    m_sortBar->setFilterTemplates(hooks);
    connect(m_sortBar, &TSortButton::filterClicked, this, &TForm1::runFilterDialog);
    connect(m_sortBar, &TSortButton::filterMenuClicked, this,
            [this] { applyFilterScope(m_sortBar->FilterState()); });
    connect(m_sortBar, &TSortButton::quickFilter, this, [this] {
        if (!SaveBeforeCommand())
            return;
        ApplyFilterWithProgress(*m_filters, this);
        applyFilterScope(TSortButton::NormalFilter);
    });
}

void TForm1::attachFilters()
{
    // The browse table marks every record it posts; the edit table takes the same handler when it opens.
    m_filters->AttachTable(m_database->browseTable());
    loadFilterDefinitions();
}

void TForm1::loadFilterDefinitions()
{
    m_filters->Clear();
    if (!m_database->recordTableReplaced())
        m_filters->LoadFromFile(inFolder(m_session.folders.settings, search::TFilterList::FileName));
}

void TForm1::saveFilterDefinitions()
{
    if (!m_filters->SaveToFile(inFolder(m_session.folders.settings, search::TFilterList::FileName)))
        messages::error(this, QString::fromLatin1(search::TFilterList::SaveErrorMessage));
    m_filterTemplates->SaveList(
        inFolder(m_session.folders.settings, store::TFilterTemplateList::ListFileName));
}

QList<search::SearchField> TForm1::searchFields() const
{
    return search::searchableFields(m_session.captions, m_database->browseTable());
}

void TForm1::setWindowWorking(bool enabled)
{
    m_client->setEnabled(enabled);
    menuBar()->setEnabled(enabled);
}

void TForm1::applyFilterScope(int scope)
{
    BusyCursor busy;
    m_database->CloseEditTable();
    m_sortBar->setFilterState(scope);
    if (!m_index->ApplyFilterAndSort(*m_database, static_cast<store::FilterScope>(scope)))
        m_sortBar->setFilterState(static_cast<int>(m_index->filterScope()));
    ReloadView();
}

void TForm1::runFilterDialog()
{
    if (!SaveBeforeCommand())
        return;
    FilterDialogContext context;
    context.fields = search::filterableFields(searchFields());
    context.settingsFolder = m_session.folders.settings;
    context.dateFormat = [this] { return m_session.database.filterDateFormat; };
    context.setDateFormat = [this](int format) { m_session.database.filterDateFormat = format; };
    context.lookupItems = [this](int column) {
        return lookup::itemsOfField(m_fields, column - store::FirstFieldOffset + 1);
    };
    const int current = m_sortBar->FilterState();
    TFilterDlg dialog(*m_filters, *m_filterTemplates, current, context, *m_prompts, this);
    const int result = dialog.exec();
    if (result == TFilterDlg::Apply)
        ApplyFilterWithProgress(*m_filters, this);
    saveFilterDefinitions();
    if (const std::optional<int> scope = TFilterDlg::scopeAfter(result, current, dialog.chosenScope()))
        applyFilterScope(*scope);
}

// --- Search ------------------------------------------------------------------------------------------

void TForm1::runFindDialog()
{
    if (m_findDlg) {
        m_findDlg->raise();
        m_findDlg->activateWindow();
        return;
    }
    auto* dialog = new TFindDlg(
        m_database->browseTable(), searchFields(), m_filters.get(),
        [this] { return m_session.database.filterDateFormat; }, *m_prompts, this);
    search::FindSearch& found = dialog->search();
    search::FindHooks hooks;
    hooks.FindStart = [this, &found](bool forward) {
        if (!SaveCurrentRecord())
            return false;
        m_saved = true;
        m_letterBeforeFind = m_letter;
        if (LetterTabsActive())
            putRangeOnLetter(forward ? 'A' : 'Z');
        found.CurrentLetter = m_letter;
        setWindowWorking(false);
        return true;
    };
    hooks.NextLetter = [this, &found](bool forward) {
        if (!LetterTabsActive())
            return true;
        const char next = forward ? nonEmptyLetterAfter(m_letter) : nonEmptyLetterBefore(m_letter);
        if (!next)
            return true;
        putRangeOnLetter(next);
        found.CurrentLetter = next;
        return false;
    };
    hooks.ResumeSearch = [this, &found] {
        if (!SaveCurrentRecord())
            return false;
        m_saved = true;
        if (LetterTabsActive() && found.CurrentLetter)
            putRangeOnLetter(found.CurrentLetter);
        setWindowWorking(false);
        return true;
    };
    hooks.ShowFound = [this, &found] {
        setWindowWorking(true);
        if (LetterTabsActive() && found.CurrentLetter) {
            putRangeOnLetter(found.CurrentLetter);
            selectLetterTab(found.CurrentLetter);
        }
        m_pageOffset = found.RecordCounter - found.RecordCounter % m_pageSize;
        m_saved = true;
        GoToRecord(found.RecordCounter);
        HighlightFoundField(found.CurrentField - store::FirstFieldOffset, found.SearchText);
    };
    hooks.NotFound = [this] {
        setWindowWorking(true);
        if (LetterTabsActive())
            putRangeOnLetter(m_letterBeforeFind);
        RefreshRecordList();
    };
    hooks.BeforeNonStop = [this] {
        if (!SaveCurrentRecord())
            return false;
        setWindowWorking(false);
        m_database->CloseEditTable();
        m_ready = false;
        return true;
    };
    hooks.AfterNonStop = [this, &found] {
        setWindowWorking(true);
        applyFilterScope(found.FoundCount > 0 ? TSortButton::NormalFilter : TSortButton::AllRecords);
    };
    dialog->setHooks(hooks);
    dialog->closeReplaceWindow = [this] { delete m_replaceDlg.data(); };
    m_findDlg = dialog;
    dialog->show();
}

void TForm1::runReplaceDialog()
{
    if (!m_replaceDlg) {
        auto* dialog = new TReplaceDlg(
            m_database->browseTable(), searchFields(), m_filters.get(), m_activityLog.get(),
            [this] { return m_database->databaseName(); }, *m_prompts, this);
        search::ReplaceHooks hooks;
        hooks.BeforeReplace = [this](int& scope) {
            if (!SaveCurrentRecord())
                return false;
            scope = m_sortBar->FilterState();
            setWindowWorking(false);
            dbase::Table& browse = m_database->browseTable();
            if (!m_newRecord && m_database->editTableOpen())
                browse.goToCurrent(m_database->editTable());
            m_database->CloseEditTable();
            m_ready = false;
            return true;
        };
        hooks.AfterReplace = [this] {
            setWindowWorking(true);
            applyFilterScope(m_sortBar->FilterState());
        };
        dialog->setHooks(hooks);
        dialog->closeSearchWindow = [this] {
            if (m_findDlg)
                m_findDlg->close();
        };
        m_replaceDlg = dialog;
    }
    m_replaceDlg->show();
    m_replaceDlg->raise();
}

void TForm1::putRangeOnLetter(char letter)
{
    if (letter < 'A' || letter > 'Z')
        return;
    m_letter = letter;
    m_index->SetLetterRange(m_database->browseTable(), letter);
}
