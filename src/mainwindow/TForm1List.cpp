// The record list of the left pane: the record buttons with the header's columns, paging, the letter tabs
// with their counts, and the sort order they all follow.
#include "ColorSlotNumbers.h"
#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "editors/TDateEdit.h"
#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "mainwindow/controls/PaletteColors.h"
#include "mainwindow/controls/TFormatedButton.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "mainwindow/controls/TSortButton.h"
#include "mainwindow/dialogs/TSortDlg.h"
#include "store/ColumnValues.h"
#include "store/DatabaseFolder.h"
#include "store/TIndex.h"
#include "TForm1.h"

#include <cmath>
#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLocale>
#include <QMenu>
#include <QStyle>

namespace {

constexpr int buttonGap = 2;
constexpr int buttonsBelowHeader = 8;
constexpr int minimumLetterTabHeight = 14;
constexpr int recordMenuHelpContext = 30;

int letterIndex(char letter)
{
    return letter - 'A';
}

bool isLetter(char letter)
{
    return letter >= 'A' && letter <= 'Z';
}

QString numberText(double value, bool withDecimals)
{
    static const QLocale grouped(QLocale::English, QLocale::UnitedStates);
    return grouped.toString(value, 'f', withDecimals ? 2 : 0);
}

} // namespace

// --- Sort order ---------------------------------------------------------------------------------------

void TForm1::applySortOfOpenedTable(bool firstOpening)
{
    if (m_database->recordTableReplaced())
        m_index->ResetSortSettings();
    else
        m_index->LoadSortSettings();
    m_index->setFilterScope(store::FilterScope::AllRecords);
    m_index->ApplySortOrder(*m_database, firstOpening);
}

void TForm1::afterSort()
{
    CountLetters();
    ResetLetterState();
    m_letter = 'A';
    m_pageOffset = 0;
    // ResetLetterState has coloured the tabs when they are in use.
    m_index->SetLetterRange(m_database->browseTable(), m_letter);
    m_sortBar->ShowSortSettings(m_index->sortSettings());
}

void TForm1::runSortDialog()
{
    if (!SaveBeforeCommand())
        return;
    TSortDlg dialog(fieldList(), m_index->sortSettings(), this);
    if (dialog.exec() == QDialog::Accepted)
        applySortChoice(dialog.sortSettings());
}

void TForm1::ApplySortChange(const settings::SortSettings& chosen)
{
    if (SaveBeforeCommand())
        applySortChoice(chosen);
}

void TForm1::applySortChoice(const settings::SortSettings& chosen)
{
    m_index->BackupSortSettings();
    m_index->setSortSettings(chosen);
    BusyCursor busy;
    const store::TIndex::SortChange change = m_index->ApplySortChange(*m_database);
    if (change == store::TIndex::SortChange::Unchanged) {
        SelectLetter('A');
        return;
    }
    m_sortBar->setFilterState(TSortButton::AllRecords);
    m_sortBar->ShowSortSettings(m_index->sortSettings());
    ResetLetterState();
    m_letter = 'A';
    m_pageOffset = 0;
    ReloadView();
}

void TForm1::setLetterTabsOption(int option)
{
    if (!SaveBeforeCommand())
        return;
    m_session.database.letterTabs = option;
    BusyCursor busy;
    // Re-applying the order in force recounts the letters and puts the range on "A" (or takes it away).
    m_index->ApplySortOrder(*m_database);
    ReloadView();
}

bool TForm1::LetterTabsActive() const
{
    return m_index && m_index->LetterTabsActive(m_database->browseTable());
}

// --- Letter tabs ---------------------------------------------------------------------------------------

void TForm1::buildLetterTabs()
{
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        auto* tab = new TColorButton(m_letterTabs);
        tab->setObjectName(QStringLiteral("Letter") + QLatin1Char(letter));
        tab->setCaption(QString(QLatin1Char(letter)));
        tab->setToolTip(QStringLiteral("Jump to Page beginning with ") + QLatin1Char(letter));
        tab->setStayDown(true);
        tab->setFocusPolicy(Qt::NoFocus);
        tab->setTag(letterIndex(letter));
        connect(tab, &TColorButton::clicked, this,
                [this, tab] { SelectLetter(tab->Caption().toUpper().at(0).toLatin1()); });
        m_letterButtons.append(tab);
    }
    connect(m_scrollUp, &QAbstractButton::clicked, this, [this] { scrollLetterTabs(1); });
    connect(m_scrollDown, &QAbstractButton::clicked, this, [this] { scrollLetterTabs(-1); });
}

void TForm1::layoutLetterTabs()
{
    const int height = std::max(minimumLetterTabHeight, m_letterTabs->height() / 26);
    const int step = height - 1;
    const int total = step * 25 + height;
    // Scrolled no further than the column needs.
    m_letterScroll = std::clamp(m_letterScroll, std::min(0, m_letterTabs->height() - total), 0);
    for (int i = 0; i < m_letterButtons.size(); ++i)
        m_letterButtons[i]->setGeometry(0, m_letterScroll + i * step, m_letterTabs->width(), height);
    m_scrollUp->setEnabled(m_letterScroll < 0);
    m_scrollDown->setEnabled(m_letterScroll + total > m_letterTabs->height());
}

void TForm1::scrollLetterTabs(int direction)
{
    const int height = std::max(minimumLetterTabHeight, m_letterTabs->height() / 26);
    m_letterScroll += direction * (height - 1);
    layoutLetterTabs();
}

void TForm1::colorLetterTab(char letter)
{
    if (!isLetter(letter))
        return;
    TColorButton* tab = m_letterButtons[letterIndex(letter)];
    const settings::ColorSlots& scheme = m_session.colors;
    const bool hasRecords = m_letterCounts[letterIndex(letter)] > 0;
    tab->setTextColor(controls::SlotColor(scheme, hasRecords ? slot::letterText : slot::emptyLetterText));
    tab->setBgndColor(
        controls::SlotColor(scheme, hasRecords ? slot::letterBackground : slot::emptyLetterBackground));
    tab->setSelTextColor(controls::SlotColor(scheme, slot::selectedLetterText));
    tab->setSelBgndColor(controls::SlotColor(scheme, slot::selectedLetterBackground));
}

void TForm1::selectLetterTab(char letter)
{
    if (isLetter(letter))
        m_letterButtons[letterIndex(letter)]->setSelected(true);
}

void TForm1::colorLetterTabs()
{
    for (char letter = 'A'; letter <= 'Z'; ++letter)
        colorLetterTab(letter);
}

void TForm1::CountLetters()
{
    BusyCursor busy;
    dbase::Table& browse = m_database->browseTable();
    for (char letter = 'Z'; letter >= 'A'; --letter) {
        int count = 0;
        try {
            if (m_index->SetLetterRange(browse, letter))
                count = static_cast<int>(browse.recordCount());
        } catch (const dbase::DatabaseError&) {
            // A range that cannot be set counts nothing.
        }
        m_letterCounts[letterIndex(letter)] = count;
    }
}

void TForm1::ResetLetterState()
{
    const bool active = LetterTabsActive();
    for (TColorButton* tab : m_letterButtons)
        tab->setEnabled(active);
    if (!active) {
        for (TColorButton* tab : m_letterButtons)
            tab->setSelected(false);
        return;
    }
    m_pageOffset = 0;
    m_letter = 'A';
    m_letterButtons.first()->setSelected(true);
    colorLetterTabs();
}

void TForm1::SelectLetter(char letter)
{
    if (!isLetter(letter))
        return;
    m_letter = letter;
    m_pageOffset = 0;
    bool ranged = false;
    try {
        ranged = m_index->SetLetterRange(m_database->browseTable(), letter);
    } catch (const dbase::DatabaseError&) {
    }
    if (ranged)
        selectLetterTab(letter);
    else
        for (TColorButton* tab : m_letterButtons)
            tab->setEnabled(false);
    RefreshRecordList();
}

void TForm1::moveLetterCount(char from, char to)
{
    if (isLetter(from))
        --m_letterCounts[letterIndex(from)];
    if (isLetter(to))
        ++m_letterCounts[letterIndex(to)];
    colorLetterTab(from);
    colorLetterTab(to);
}

int TForm1::letterCount(char letter) const
{
    return isLetter(letter) ? m_letterCounts[letterIndex(letter)] : 0;
}

char TForm1::nonEmptyLetterAfter(char letter) const
{
    for (char next = static_cast<char>(letter + 1); next <= 'Z'; ++next)
        if (letterCount(next) > 0)
            return next;
    return 0;
}

char TForm1::nonEmptyLetterBefore(char letter) const
{
    for (char previous = static_cast<char>(letter - 1); previous >= 'A'; --previous)
        if (letterCount(previous) > 0)
            return previous;
    return 0;
}

// --- Record buttons ------------------------------------------------------------------------------------

int TForm1::recordButtonHeight() const
{
    const QFont font = fontOf(settings::DatabaseSettings::RecordButtonFont);
    const int border = std::max(1, style()->pixelMetric(QStyle::PM_DefaultFrameWidth) / 2);
    const int fontHeight = QFontMetrics(font).height();
    const int systemHeight = QFontMetrics(QApplication::font()).height();
    return 4 * border + fontHeight + std::min(fontHeight, systemHeight) / 4;
}

int TForm1::firstRecordButtonTop() const
{
    return m_header->y() + m_header->height() + buttonsBelowHeader;
}

TFormatedButton* TForm1::makeRecordButton(int index)
{
    auto* button = new TFormatedButton(m_leftPane);
    button->setObjectName(QStringLiteral("RecordListButton%1").arg(index));
    button->setToolTip(QStringLiteral("Left Click - Details; Right Click - Menu"));
    button->setStayDown(true);
    button->SetGap(0);
    button->setTag(index);
    button->setFont(fontOf(settings::DatabaseSettings::RecordButtonFont));
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    const settings::ColorSlots& scheme = m_session.colors;
    button->setTextColor(controls::SlotColor(scheme, slot::buttonText));
    button->setBgndColor(controls::SlotColor(scheme, slot::buttonBackground));
    button->setSelTextColor(controls::SlotColor(scheme, slot::selectedButtonText));
    button->setSelBgndColor(controls::SlotColor(scheme, slot::selectedButtonBackground));
    for (int i = 0; i < m_header->sectionCount(); ++i)
        button->AddColumn(m_header->SectionPercent(i), QString());
    connect(button, &TColorButton::clicked, this, [this, index] { GoToRecord(m_pageOffset + index); });
    connect(button, &QWidget::customContextMenuRequested, this,
            [this, button, index](const QPoint& at) { showRecordMenu(index, button->mapToGlobal(at)); });
    button->show();
    return button;
}

void TForm1::rebuildRecordButtons()
{
    qDeleteAll(m_listButtons);
    m_listButtons.clear();
    layoutRecordButtons();
    RefreshRecordList();
}

void TForm1::layoutRecordButtons()
{
    const int height = m_listButtons.isEmpty() ? recordButtonHeight() : m_listButtons.first()->height();
    const int top = firstRecordButtonTop();
    const int available = m_leftPane->height() - top - m_navigationBar->height();
    m_pageSize = std::max(1, available / (height + buttonGap));
    while (m_listButtons.size() > m_pageSize)
        delete m_listButtons.takeLast();
    while (m_listButtons.size() < m_pageSize)
        m_listButtons.append(makeRecordButton(static_cast<int>(m_listButtons.size())));
    const int width = m_leftPane->width() - 8;
    for (int k = 0; k < m_listButtons.size(); ++k)
        m_listButtons[k]->setGeometry(4, top + k * (height + buttonGap), width, height);
}

void TForm1::headerChanged()
{
    for (TFormatedButton* button : m_listButtons) {
        button->RemoveAllColumns();
        for (int i = 0; i < m_header->sectionCount(); ++i)
            button->AddColumn(m_header->SectionPercent(i), QString());
    }
    RefreshRecordList();
}

QString TForm1::listColumnText(const dbase::Table& table, int column, bool& rightAlign)
{
    rightAlign = false;
    const dbase::FieldDescriptor& field = table.fieldDescriptor(static_cast<std::size_t>(column));
    if (field.isMemo() || field.isBinary())
        return {};
    if (field.isDate())
        return columnValueText(table, column);
    if (field.isNumeric()) {
        rightAlign = true;
        if (table.isNull(static_cast<std::size_t>(column)))
            return {};
        return numberText(table.asNumber(static_cast<std::size_t>(column)), field.decimals > 0);
    }
    return store::columnText(table, column);
}

void TForm1::FillRecordButtons()
{
    dbase::Table& browse = m_database->browseTable();
    m_selectedButton = -1;
    if (!browse.isOpen())
        return;
    browse.first();
    browse.moveBy(m_pageOffset);
    const int fields = static_cast<int>(browse.fieldCount());
    for (int k = 0; k < m_listButtons.size() && !browse.eof(); ++k) {
        TFormatedButton* button = m_listButtons[k];
        for (int i = 0; i < m_header->sectionCount() && i < button->columnCount(); ++i) {
            const int fieldIndex = m_header->section(i).fieldIndex;
            const int column = fieldIndex + store::FirstFieldOffset;
            if (fieldIndex < 0 || column >= fields)
                continue;
            bool rightAlign = false;
            QString text = listColumnText(browse, column, rightAlign);
            if (i > 0)
                text.prepend(QLatin1Char(' '));
            button->SetColumnText(i, text);
            button->SetColumnRightAlign(i, rightAlign);
        }
        if (!m_newRecord && std::round(browse.asNumber(0)) == m_recordNumber)
            m_selectedButton = k;
        browse.next();
    }
}

void TForm1::RefreshRecordList()
{
    if (!m_ready || !isVisible())
        return;
    for (TFormatedButton* button : m_listButtons) {
        button->ClearColumnTexts();
        button->setSelected(false);
    }
    FillRecordButtons();
    refreshPagingStates();
    if (LetterTabsActive()) {
        const auto count = static_cast<int>(m_database->browseTable().recordCount());
        if (count != m_letterCounts[letterIndex(m_letter)]) {
            m_letterCounts[letterIndex(m_letter)] = count;
            colorLetterTab(m_letter);
        }
    }
    if (m_selectedButton >= 0) {
        m_listButtons[m_selectedButton]->setSelected(true);
        if (!QApplication::focusWidget() || !fieldOf(QApplication::focusWidget()))
            m_listButtons[m_selectedButton]->setFocus();
    }
}

void TForm1::refreshPagingStates()
{
    const auto count = static_cast<int>(m_database->browseTable().recordCount());
    const bool letters = LetterTabsActive();
    setCommandEnabled(Command::First, m_pageOffset > 0);
    setCommandEnabled(Command::Last, m_pageOffset + m_pageSize < count);
    setCommandEnabled(Command::PageUp, m_pageOffset > 0 || (letters && m_letter != 'A'));
    setCommandEnabled(Command::PageDown, count > m_pageOffset + m_pageSize || (letters && m_letter != 'Z'));
    refreshMoveStates();
}

void TForm1::refreshMoveStates()
{
    const bool letters = LetterTabsActive();
    const auto count = static_cast<int>(m_database->browseTable().recordCount());
    const bool shown = !m_newRecord && m_position > 0;
    const char letter = m_recordLetter ? m_recordLetter : m_letter;
    const int last = letters && m_recordLetter ? letterCount(m_recordLetter) : count;
    const bool atFirst = shown && m_position == 1 && (!letters || !nonEmptyLetterBefore(letter));
    const bool atLast = shown && m_position >= last && (!letters || !nonEmptyLetterAfter(letter));
    const bool emptyReadOnly = m_session.isReadOnlyMode() && count == 0;
    setCommandEnabled(Command::Previous, !emptyReadOnly && !atFirst);
    setCommandEnabled(Command::Next, !emptyReadOnly && !atLast);
}

// --- Paging --------------------------------------------------------------------------------------------

void TForm1::FirstPage()
{
    if (m_pageOffset == 0)
        return;
    m_pageOffset = 0;
    RefreshRecordList();
}

int TForm1::lastPageOffset()
{
    const auto count = static_cast<int>(m_database->browseTable().recordCount());
    const int offset = m_pageSize * (count / m_pageSize);
    return offset == count && offset > 0 ? offset - m_pageSize : offset;
}

void TForm1::LastPage()
{
    const int offset = lastPageOffset();
    if (offset == m_pageOffset)
        return;
    m_pageOffset = offset;
    RefreshRecordList();
}

void TForm1::NextPage()
{
    const auto count = static_cast<int>(m_database->browseTable().recordCount());
    if (count > m_pageOffset + m_pageSize) {
        m_pageOffset += m_pageSize;
        RefreshRecordList();
    } else if (LetterTabsActive() && m_letter < 'Z') {
        SelectLetter(static_cast<char>(m_letter + 1));
    }
}

void TForm1::PriorPage()
{
    if (m_pageOffset > 0) {
        m_pageOffset = std::max(0, m_pageOffset - m_pageSize);
        RefreshRecordList();
    } else if (LetterTabsActive() && m_letter > 'A') {
        m_letter = static_cast<char>(m_letter - 1);
        selectLetterTab(m_letter);
        m_index->SetLetterRange(m_database->browseTable(), m_letter);
        m_pageOffset = lastPageOffset();
        RefreshRecordList();
    }
}

// --- Record pop-up ------------------------------------------------------------------------------------

void TForm1::showRecordMenu(int buttonIndex, const QPoint& globalPos)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("RecordMenu"));
    dbase::Table& browse = m_database->browseTable();
    const int index = m_pageOffset + buttonIndex;
    const bool onRow = browse.isOpen() && index < browse.recordCount();
    QMenu* quickView = menu.addMenu(QStringLiteral("&Quick View"));
    if (onRow) {
        browse.first();
        browse.moveBy(index);
        FillValueList(quickView, browse);
    }
    quickView->menuAction()->setEnabled(onRow);
    if (!m_session.isReadOnlyMode() && m_session.copyBufferHoldsRecord) {
        QMenu* buffer = menu.addMenu(QStringLiteral("&View Copy Buffer"));
        m_database->copyBuffer().first();
        FillValueList(buffer, m_database->copyBuffer());
    }
    menu.addSeparator();
    const bool editable = !m_session.isReadOnlyMode();
    menu.addAction(QStringLiteral("&Delete"), this, [this, index] { deleteListRow(index); })
        ->setEnabled(editable);
    menu.addAction(QStringLiteral("&Copy"), this, [this, index] { copyListRow(index); })
        ->setEnabled(editable);
    menu.addAction(QStringLiteral("&Paste"), this, [this, index] { pasteIntoListRow(index); })
        ->setEnabled(editable && m_session.copyBufferHoldsRecord);
    menu.addAction(command(Command::PrintRecord));
    menu.addSeparator();
    menu.addAction(QStringLiteral("C&olor..."), this, [this] {
        if (ShowColorDialog(slot::buttonText, QStringLiteral("Record Buttons"),
                            {QStringLiteral("Text Color"), QStringLiteral("Bgnd Color"),
                             QStringLiteral("Selected Button Text Color"),
                             QStringLiteral("Selected Button Bgnd Color")}))
            rebuildRecordButtons();
    });
    menu.addAction(QStringLiteral("&Font..."), this,
                   [this] { ChooseFont(settings::DatabaseSettings::RecordButtonFont); });
    menu.addSeparator();
    menu.addAction(QStringLiteral("&Help"), this, [] { help::showContext(recordMenuHelpContext); });
    menu.exec(globalPos);
}

// --- Commands on a row of the list ---------------------------------------------------------------------

bool TForm1::isShownRow(int index) const
{
    return !m_newRecord && m_position > 0 && index == m_position - 1;
}

// Every column from the first form field on, from one row into another.
void TForm1::copyColumns(const dbase::Table& source, dbase::Table& target)
{
    for (int column = store::FirstFieldOffset; column < static_cast<int>(source.fieldCount()); ++column)
        target.assignField(static_cast<std::size_t>(column), source, static_cast<std::size_t>(column));
}

void TForm1::deleteListRow(int index)
{
    dbase::Table& browse = m_database->browseTable();
    if (index >= browse.recordCount()) {
        messages::information(this, QStringLiteral("Empty Record cannot be Deleted."));
        return;
    }
    if (isShownRow(index)) {
        DeleteCurrentRecord();
        return;
    }
    if (m_session.database.recordDeleteMode == 0 && !confirmRecordDeletion()) {
        messages::information(this, QStringLiteral("Record not Deleted."));
        return;
    }
    browse.first();
    browse.moveBy(index);
    const char letter = LetterTabsActive() ? m_index->FirstLetterOfRecord(browse) : 0;
    try {
        browse.edit();
        browse.deleteRecord();
    } catch (const dbase::DatabaseError&) {
        browse.cancel();
        messages::error(this, QStringLiteral("Record in use - not Deleted!"));
        return;
    }
    moveLetterCount(letter, 0);
    // The shown record moves up when a row before it in the same range went.
    if (!m_newRecord && index < m_position - 1 && (!m_recordLetter || m_recordLetter == m_letter))
        --m_position;
    showPositionLabels();
    RefreshRecordList();
}

void TForm1::copyListRow(int index)
{
    dbase::Table& browse = m_database->browseTable();
    if (index >= browse.recordCount()) {
        messages::warning(this, QStringLiteral("Empty Record - Not Copied!"));
        return;
    }
    browse.first();
    browse.moveBy(index);
    dbase::Table& buffer = m_database->copyBuffer();
    buffer.first();
    try {
        buffer.edit();
        copyColumns(browse, buffer);
        buffer.post();
    } catch (const dbase::DatabaseError&) {
        buffer.cancel();
        return;
    } catch (const dbase::EngineError&) {
        buffer.cancel();
        reportCorruptMemo();
        return;
    }
    m_session.copyBufferHoldsRecord = true;
    refreshEnabledStates();
}

void TForm1::pasteIntoListRow(int index)
{
    if (!m_session.copyBufferHoldsRecord)
        return;
    if (isShownRow(index)) {
        PasteIntoCurrentRecord();
        return;
    }
    dbase::Table& browse = m_database->browseTable();
    dbase::Table& buffer = m_database->copyBuffer();
    buffer.first();
    const bool letters = LetterTabsActive();
    char oldLetter = 0;
    try {
        if (index < browse.recordCount()) {
            browse.first();
            browse.moveBy(index);
            oldLetter = letters ? m_index->FirstLetterOfRecord(browse) : 0;
            browse.edit();
        } else {
            browse.append();
        }
        copyColumns(buffer, browse);
        const char newLetter = letters ? m_index->FirstLetterOfRecord(browse) : 0;
        browse.post();
        moveLetterCount(oldLetter, newLetter);
    } catch (const dbase::DatabaseError&) {
        browse.cancel();
        messages::error(this, QStringLiteral("Record in use - not Pasted!"));
        return;
    }
    // The pasted row may now sort before the shown record: its position is found again.
    if (!m_newRecord && m_recordNumber >= 0) {
        int position = 0;
        for (browse.first(); !browse.eof(); browse.next()) {
            ++position;
            if (std::round(browse.asNumber(0)) == m_recordNumber) {
                m_position = position;
                break;
            }
        }
        showPositionLabels();
    }
    RefreshRecordList();
}
