#pragma once

#include "mainwindow/controls/FieldInfo.h"
#include "RecordPageGeometry.h"
#include "settings/DatabaseSettings.h"
#include "store/Session.h"

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <QFont>
#include <QList>
#include <QMainWindow>
#include <QPointer>

class QAbstractButton;
class QAction;
class QLabel;
class QMenu;
class QTabWidget;
class TColorButton;
class TEditMenu;
class TFindDlg;
class TFormatedButton;
class TReplaceDlg;
class HeaderTemplateContent;
class TKestoHeader;
class TMultiMediaEdit;
class TSortButton;
class TSpeedBar;
class TSplitControl;
class THotSpeedBtn;

namespace dbase {
class Table;
}
namespace store {
class DatabaseFolder;
class Prompts;
class TFilterTemplateList;
class THeaderTemplateList;
class TIndex;
class TLabelTemplateList;
class TRecordTemplateList;
} // namespace store
namespace settings {
struct SortSettings;
}
namespace search {
struct SearchField;
class TFilterList;
} // namespace search
namespace security {
class ActivityLog;
}

// The record window engine: one record of the current table on the record pages, and the cycle of
// loading, editing and saving it, inside the frame of the window (speed bar, left pane, letter column,
// right pane, splitter grip) with its menus and commands. It knows nothing about stamps: the concrete form
// hands it a function that builds the record pages, and it discovers the fields from the controls it
// finds there.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    using RecordPagesBuilder = void (*)(QTabWidget* pages);

    // The commands of the menus, the speed bar and the record speed bar.
    enum class Command
    {
        NewRecord,
        LoadDatabase,
        Print,
        TableView,
        HtmlReport,
        Exit,
        Find,
        Replace,
        Options,
        First,
        PageUp,
        PageDown,
        Last,
        Previous,
        Next,
        Export,
        Import,
        Password,
        Maintenance,
        Filter,
        Sort,
        Summary,
        HelpContents,
        Tips,
        Manual,
        HomePage,
        OnlineFaq,
        EmailSupport,
        About,
        PrintRecord,
        DeleteRecord,
        CopyRecord,
        PasteRecord,
        UndoChanges,
        Synchronize,
        Count
    };

    static constexpr int minimumWindowWidth = 400;
    static constexpr int minimumWindowHeight = 300;
    static constexpr int minimumLeftPaneWidth = 180;
    static constexpr int letterColumnWidth = 24;
    static constexpr int creationRightPaneMinimum = 280;
    static constexpr int rightPaneMinimum = 230;
    // The tag of a window that another window stands in for; its next show skips the first-show work.
    static constexpr int standInTag = 1000;

    TForm1(store::Session& session, RecordPagesBuilder buildPages, QWidget* parent = nullptr);
    ~TForm1() override;

    // Set by the program body: closing the window ends the run unless the tray keeps it.
    void setCloseHandler(std::function<void()> handler) { m_closeHandler = std::move(handler); }
    // Set by the program body: Exit ends the run (without one, Exit closes the window).
    void setExitHandler(std::function<void()> handler) { m_exitHandler = std::move(handler); }
    // True when the database could not be opened and the window is about to close itself.
    bool failedToOpen() const { return m_failedToOpen; }

    // --- Fields and captions ---------------------------------------------------------------------------
    void DiscoverFields();
    void ApplyCaptions();
    void ApplyDateFormats();
    // False when a damaged memo stopped the transfer; the caller then leaves the rest of the record.
    bool LoadFieldFromColumn(QWidget* control, int column, dbase::Table& table);
    bool StoreFieldToColumn(QWidget* control, int column, dbase::Table& table);
    const QList<QWidget*>& fieldControls() const { return m_fields; }
    const QList<QWidget*>& captionLabels() const { return m_captionLabels; }
    QTabWidget* recordPages() const { return m_pages; }

    // --- The record cycle ------------------------------------------------------------------------------
    void GoToRecord(int index);
    void ShowRecord(int position);
    bool SaveCurrentRecord();
    bool PostCurrentRecord(dbase::Table& table);
    void LoadRecordIntoForm(dbase::Table& table);
    void ClearForm();
    bool IsRecordEmpty() const;
    // Saves before a dialog command opens; false: the command must not run.
    bool SaveBeforeCommand();
    // Reopens the edit table on the browse table's file and shows the first record of the range.
    void ReloadView();
    // The session ends and nobody can answer: the record is saved as it stands, and the close that
    // follows asks nothing.
    void endSession();

    // --- Record commands -------------------------------------------------------------------------------
    void NewRecord();
    void UndoChanges();
    void DeleteCurrentRecord();
    void CopyCurrentRecord();
    void PasteIntoCurrentRecord();
    void NextRecord();
    void PreviousRecord();
    void Synchronize();
    // The template button's choice: "Blank" or the name of a record template.
    QString newRecordTemplate() const;
    void setNewRecordTemplate(const QString& name);
    // Replaces the form's values by a record template's ("Blank" empties the form); they are written on
    // the next save.
    void ReplaceWithTemplate(const QString& name);
    // One item per column of the table's current row from the first form field on, as Quick View and
    // View Copy Buffer list them.
    void FillValueList(QMenu* menu, const dbase::Table& table);
    // The Find window marks the field it found: its page comes to front, it takes the focus (unless the
    // run is read-only) and shows in red and yellow; in a memo the found text is selected.
    void HighlightFoundField(int fieldIndex, const QString& foundText = QString());

    // --- Record list, letter tabs and sort order -----------------------------------------------------
    void FillRecordButtons();
    void RefreshRecordList();
    void SelectLetter(char letter);
    void CountLetters();
    void ResetLetterState();
    bool LetterTabsActive() const;
    void FirstPage();
    void LastPage();
    void NextPage();
    void PriorPage();
    // The sort bar's and the Sort dialog's choice: saved first, then put in force.
    void ApplySortChange(const settings::SortSettings& chosen);
    store::TIndex& sortOrder() const { return *m_index; }
    int pageSize() const { return m_pageSize; }
    int pageOffset() const { return m_pageOffset; }
    char currentLetter() const { return m_letter; }
    int letterCount(char letter) const;
    const QList<TFormatedButton*>& recordListButtons() const { return m_listButtons; }
    const QList<TColorButton*>& letterTabs() const { return m_letterButtons; }

    // --- Databases and stand-in windows ----------------------------------------------------------------
    // Loads another record table, after saving the current record; nothing happens for the table that is
    // open. False when the record could not be saved or the table could not be opened.
    bool LoadChosenDatabase(const QString& folder, const QString& fileName);
    // Another window takes this one's place (the table view, the HTML wizard): the record is saved, the
    // window hides with the stand-in tag, the edit table closes, and the browse table numbers its new rows
    // when they are posted. Afterwards everything is put back and the first record is shown. False when
    // the record could not be saved; the stand-in then does not run.
    bool RunInPlaceOfWindow(const std::function<void(dbase::Table& browse)>& standIn);

    // --- Frame, colours and fonts ----------------------------------------------------------------------
    void LayoutWindow();
    void ApplyViewOptions();
    void ApplyColors();
    void ApplyFonts();
    // "Set Colors" on the slots from firstSlot on, one item each; OK writes "color.lst" and applies the
    // colours when a slot of the group changed. True when that happened.
    bool ShowColorDialog(int firstSlot, const QString& groupCaption, const QStringList& itemCaptions);
    // The font dialog on one of the three fonts; OK stores it and applies the fonts.
    void ChooseFont(settings::DatabaseSettings::FontRole role);
    QFont fontOf(settings::DatabaseSettings::FontRole role) const;

    QAction* command(Command which) const { return m_commands[static_cast<size_t>(which)]; }
    QMenu* windowMenu() const { return m_windowMenu; }
    QMenu* recordPageMenu() const { return m_recordPageMenu; }
    TSpeedBar* speedBar() const { return m_speedBar; }
    QWidget* leftPane() const { return m_leftPane; }
    QWidget* letterColumn() const { return m_letterColumn; }
    QWidget* rightPane() const { return m_rightPane; }
    QWidget* splitterGrip() const { return m_splitterGrip; }
    TSortButton* sortBar() const { return m_sortBar; }
    TKestoHeader* header() const { return m_header; }
    QWidget* navigationBar() const { return m_navigationBar; }

    int position() const { return m_position; }
    bool isNewRecord() const { return m_newRecord; }
    bool isRecordInUse() const { return m_inUse; }
    QString statusText() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // --- Frame (TForm1Frame.cpp) ---
    void buildWindow(RecordPagesBuilder buildPages);
    void buildLeftPane();
    void buildLetterColumn();
    void buildRightPane(RecordPagesBuilder buildPages);
    void buildRecordSpeedBar();
    void buildSplitterGrip();
    void collectPageItems();
    void stretchPage(int page);
    void layoutNavigationBar();
    void layoutRightPane();
    void layoutRecordSpeedBar();
    void placePanesVertically();
    void endSplitterDrag();
    void setMenuBarShown(bool shown);
    void setSpeedBarShown(bool shown);
    void showRecordPage(int number);
    // --- Commands and menus (TForm1Commands.cpp) ---
    void createCommands();
    QAction* addCommand(Command which, const QString& menuText, const QString& hint,
                        const std::function<void()>& run);
    void buildMenus();
    void buildSpeedBar();
    void buildWindowMenu();
    void buildRecordPageMenu();
    void buildTemplateMenu();
    void fillTemplateMenu();
    void fillReplaceMenu(QMenu* menu);
    void prepareWindowMenu();
    void prepareRecordPageMenu();
    void showRecordPageMenu(const QPoint& globalPos);
    QAction* addViewChoice(QMenu* menu, const QString& text, int& option, int value, bool placementOnly);
    bool handleWindowKey(QKeyEvent* event);
    void exitProgram();
    void openManual();
    void emailSupport();
    void showAbout();
    // --- Filters, Search and Replace (TForm1Search.cpp) ---
    void createFilters();
    void attachFilters();
    void loadFilterDefinitions();
    void saveFilterDefinitions();
    QList<search::SearchField> searchFields() const;
    // The panes and menus, not the window: the Search and Replace windows beside it stay usable.
    void setWindowWorking(bool enabled);
    void applyFilterScope(int scope);
    void runFilterDialog();
    void runFindDialog();
    void runReplaceDialog();
    void putRangeOnLetter(char letter);
    // --- Templates and lists (TForm1Templates.cpp) ---
    void loadTemplateLists();
    void saveTemplateLists();
    void loadCaptionTemplate();
    void saveCaptionTemplate();
    void saveRecordToTemplate();
    void editLists(QWidget* field);
    // --- Databases (TForm1Databases.cpp) ---
    void runLoadDatabase();
    void runTableView();
    // --- Record list (TForm1List.cpp) ---
    void applySortOfOpenedTable(bool firstOpening);
    void afterSort();
    void runSortDialog();
    void applySortChoice(const settings::SortSettings& chosen);
    void setLetterTabsOption(int option);
    void buildLetterTabs();
    void layoutLetterTabs();
    void scrollLetterTabs(int direction);
    void colorLetterTab(char letter);
    void colorLetterTabs();
    void selectLetterTab(char letter);
    void moveLetterCount(char from, char to);
    char nonEmptyLetterAfter(char letter) const;
    char nonEmptyLetterBefore(char letter) const;
    int recordButtonHeight() const;
    int firstRecordButtonTop() const;
    TFormatedButton* makeRecordButton(int index);
    void rebuildRecordButtons();
    void layoutRecordButtons();
    void headerChanged();
    QString listColumnText(const dbase::Table& table, int column, bool& rightAlign);
    void refreshPagingStates();
    void refreshMoveStates();
    int lastPageOffset();
    void showRecordOfLetter(char letter, int index);
    // Where a move record by record starts from, taken before the save; nothing when the form must stay.
    struct MoveStart
    {
        int position;
        char recordLetter;
    };
    std::optional<MoveStart> startMove();
    void showRecordMenu(int buttonIndex, const QPoint& globalPos);
    bool isShownRow(int index) const;
    static void copyColumns(const dbase::Table& source, dbase::Table& target);
    void deleteListRow(int index);
    void copyListRow(int index);
    void pasteIntoListRow(int index);
    // --- Colours and fonts (TForm1Colors.cpp) ---
    void applyFieldColors();
    void applyFieldColor(QWidget* control);
    void requestFieldFont(QWidget* control);
    void requestFieldColor(QWidget* control);
    void chooseLabelColors();
    int oneLineFieldHeight() const;
    // --- Records (TForm1Records.cpp, TForm1Editing.cpp) ---
    void showRecordAt(int index);
    // Column 0 of the range's row at index; -1 past the end.
    double numberAt(int index);
    void refreshStatus();
    void refreshEnabledStates();
    void showPositionLabels();
    void setCommandEnabled(Command which, bool enabled);
    void setFieldsEnabled(bool enabled);
    bool moveToTabTarget(QWidget* field, bool backwards);
    QWidget* fieldOf(QObject* object) const;
    void clearHighlight();
    void reportCorruptMemo();
    void saveCurrentRecordSilently();
    bool confirmRecordDeletion();
    QString columnValueText(const dbase::Table& table, int column);
    // --- Fields (TForm1Fields.cpp) ---
    void attachFieldMenu(QWidget* control);
    void runAttachmentDialog(TMultiMediaEdit* field);
    // False, with the field shown and the user told, when a date field holds a text that is no date.
    bool datesAreValid();
    void dateFormatChanged(QWidget* dateField, int format);
    void showCaptionMenu(QLabel* label);
    void renameCaption(QLabel* label);
    QString fieldText(int fieldNumber) const;
    controls::FieldList fieldList() const;
    // --- Life cycle (TForm1.cpp) ---
    void setTitle();
    void restoreWindowPlacement();
    void saveWindowPlacement();
    void saveSettingsFiles();
    QStringList pageCaptions() const;
    void savePageOrder();
    void restorePageOrder();

    store::Session& m_session;
    std::unique_ptr<store::Prompts> m_prompts;
    std::unique_ptr<store::DatabaseFolder> m_database;
    std::unique_ptr<store::TRecordTemplateList> m_recordTemplates;
    std::unique_ptr<store::TIndex> m_index;
    std::unique_ptr<store::TLabelTemplateList> m_labelTemplates;
    std::unique_ptr<HeaderTemplateContent> m_headerContent;
    std::unique_ptr<store::THeaderTemplateList> m_headerTemplates;
    std::unique_ptr<search::TFilterList> m_filters;
    std::unique_ptr<store::TFilterTemplateList> m_filterTemplates;
    std::unique_ptr<security::ActivityLog> m_activityLog;
    QPointer<TFindDlg> m_findDlg;
    QPointer<TReplaceDlg> m_replaceDlg;
    char m_letterBeforeFind = 'A';
    std::function<void()> m_closeHandler;
    std::function<void()> m_exitHandler;

    // Regions
    QWidget* m_client = nullptr;
    TSpeedBar* m_speedBar = nullptr;
    QWidget* m_leftPane = nullptr;
    TSortButton* m_sortBar = nullptr;
    TKestoHeader* m_header = nullptr;
    QWidget* m_navigationBar = nullptr;
    QList<QAbstractButton*> m_navigationButtons; // First, PgUp, home page, PgDn, Last
    QList<int> m_navigationWidths;
    bool m_navigationCaptions = true;
    QWidget* m_letterColumn = nullptr;
    QWidget* m_letterTabs = nullptr;
    QAbstractButton* m_scrollUp = nullptr;
    QAbstractButton* m_scrollDown = nullptr;
    QWidget* m_rightPane = nullptr;
    QWidget* m_statusBar = nullptr;
    QLabel* m_status = nullptr;
    THotSpeedBtn* m_templateButton = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_recordSpeedBar = nullptr;
    QList<QAbstractButton*> m_recordButtons; // the record speed bar's, left to right
    QLabel* m_positionLabel = nullptr;
    QLabel* m_percentLabel = nullptr;
    QWidget* m_splitterGrip = nullptr;
    TSplitControl* m_split = nullptr;
    bool m_layoutSuspended = true;
    int m_rightPaneMinimum = creationRightPaneMinimum;

    // The record pages' controls as designed, and the width they were designed for.
    struct PageLayout
    {
        QWidget* panel = nullptr;
        QList<QWidget*> widgets;
        QList<recordpage::Item> design;
        QList<recordpage::Item> base; // the design re-spaced for the one-line fields' height
        int designWidth = 0;
    };
    QList<PageLayout> m_pageLayouts;

    // Commands and menus
    std::array<QAction*, static_cast<size_t>(Command::Count)> m_commands{};
    QList<Command> m_unbuiltCommands;
    // The window pop-up's choices, each checked while its option holds.
    QList<std::pair<QAction*, std::function<bool()>>> m_viewChoices;
    QMenu* m_windowMenu = nullptr;
    QMenu* m_recordPageMenu = nullptr;
    QMenu* m_templateMenu = nullptr;       // the template button's: the template of new records
    QMenu* m_templatePanelMenu = nullptr;  // the status bar's
    QMenu* m_replaceMenu = nullptr;        // the record-page pop-up's
    QAction* m_saveTemplateItem = nullptr; // the record-page pop-up's
    QMenu* m_copyBufferMenu = nullptr;
    TEditMenu* m_fieldMenu = nullptr;
    TEditMenu* m_listFieldMenu = nullptr;

    // Record list
    QList<TFormatedButton*> m_listButtons;
    QList<TColorButton*> m_letterButtons;
    int m_letterScroll = 0;
    int m_pageSize = 1;
    int m_pageOffset = 0;
    int m_selectedButton = -1;
    char m_letter = 'A';
    std::array<int, 26> m_letterCounts{};

    // Fields
    QList<QWidget*> m_fields;        // indexed by field number - 1
    QList<QWidget*> m_captionLabels; // indexed by field number - 1
    QList<QWidget*> m_dateFields;    // in the order they were found
    QPointer<QWidget> m_highlighted;

    // Record-window state
    bool m_newRecord = false;
    bool m_inUse = false;
    int m_position = 0;
    double m_recordNumber = -1;
    char m_recordLetter = 0; // the shown record's letter tab while letter tabs are active
    bool m_saved = false;
    bool m_applyingTemplate = false;
    bool m_ready = false;
    bool m_failedToOpen = false;
    bool m_firstShowDone = false;
    bool m_sessionEnding = false;
};
