#include "TFindDlg.h"

#include "EventPump.h"
#include "FindSearch.h"
#include "mainwindow/controls/HelpPages.h"
#include "store/Prompts.h"
#include "TFilterList.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// The choices of the last search, kept while the program runs.
struct SearchSettings
{
    QString text;
    QStringList history;
    int fieldEntry = 0;
    bool fromEnd = false;
    bool skipMemos = false;
};

SearchSettings& lastSearch()
{
    static SearchSettings settings;
    return settings;
}

} // namespace

TFindDlg::TFindDlg(dbase::Table& browse, const QList<search::SearchField>& fields,
                   search::TFilterList* filters, std::function<int()> dateFormat, store::Prompts& prompts,
                   QWidget* recordWindow)
    : ToolWindow(recordWindow, helpContext), FieldList(new QComboBox), TextBox(new QComboBox),
      StartFrom(new QGroupBox(QStringLiteral("Start From"))),
      FromBeginning(new QRadioButton(QStringLiteral("Beginning"))),
      FromEnd(new QRadioButton(QStringLiteral("End"))),
      SkipMemos(new QCheckBox(QStringLiteral("Don't Search Multiline Fields"))),
      NonStopMode(new QCheckBox(QStringLiteral("Non-Stop Search Mode"))), LetterLabel(new QLabel),
      CounterLabel(new QLabel), FindBtn(new QPushButton(QStringLiteral("&Find"))),
      NextBtn(new QPushButton(QStringLiteral("Find &Next"))),
      PrevBtn(new QPushButton(QStringLiteral("Find &Previous"))),
      StopBtn(new QPushButton(QStringLiteral("&Stop"))), CloseBtn(new QPushButton(QStringLiteral("&Close"))),
      HelpBtn(new QPushButton(QStringLiteral("&Help"))),
      m_search(std::make_unique<search::FindSearch>(browse, std::move(dateFormat))), m_fields(fields),
      m_filters(filters), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FindDlg"));
    setWindowTitle(QStringLiteral("Search"));
    setAttribute(Qt::WA_DeleteOnClose);
    buildWindow();
    restoreSettings();
}

TFindDlg::~TFindDlg() = default;

void TFindDlg::setHooks(const search::FindHooks& hooks)
{
    m_search->hooks = hooks;
}

void TFindDlg::Stop()
{
    m_search->Stop();
}

void TFindDlg::buildWindow()
{
    FieldList->setObjectName(QStringLiteral("FieldList"));
    FieldList->addItem(QString::fromLatin1(AllFieldsEntry));
    for (const search::SearchField& field : m_fields)
        FieldList->addItem(field.caption);
    FieldList->setToolTip(QStringLiteral("Select Which Fields Should Be Searched"));
    TextBox->setObjectName(QStringLiteral("TextBox"));
    TextBox->setEditable(true);
    TextBox->setInsertPolicy(QComboBox::NoInsert);
    TextBox->lineEdit()->setMaxLength(maxTextLength);
    TextBox->setToolTip(QStringLiteral("Enter Text You Want To Search For"));
    StartFrom->setToolTip(QStringLiteral("Determines Search Direction"));
    FromBeginning->setToolTip(QStringLiteral("Start Search From Beginning or End of File"));
    FromEnd->setToolTip(FromBeginning->toolTip());
    SkipMemos->setToolTip(QStringLiteral("Search is Faster if Checked"));
    NonStopMode->setToolTip(QStringLiteral("Search Through Entire Database In One Pass"));
    NextBtn->setToolTip(QStringLiteral("Find Next Record"));
    PrevBtn->setToolTip(QStringLiteral("Find Previous Record"));
    StopBtn->setToolTip(QStringLiteral("Stop Searching"));
    CloseBtn->setToolTip(QStringLiteral("Close Search Window"));
    HelpBtn->setToolTip(QStringLiteral("Display Help Window"));
    FindBtn->setDefault(true);

    auto* direction = new QVBoxLayout(StartFrom);
    direction->addWidget(FromBeginning);
    direction->addWidget(FromEnd);
    auto* fieldLabel = new QLabel(QStringLiteral("Fields To Be Searched:"));
    fieldLabel->setBuddy(FieldList);
    auto* textLabel = new QLabel(QStringLiteral("Text To Search For:"));
    textLabel->setBuddy(TextBox);
    auto* left = new QGridLayout;
    left->addWidget(fieldLabel, 0, 0, 1, 3);
    left->addWidget(FieldList, 1, 0, 1, 3);
    left->addWidget(textLabel, 2, 0, 1, 3);
    left->addWidget(TextBox, 3, 0, 1, 3);
    left->addWidget(StartFrom, 4, 0, 2, 1);
    left->addWidget(SkipMemos, 4, 1, 1, 2);
    left->addWidget(NonStopMode, 5, 1, 1, 2);
    left->addWidget(new QLabel(QStringLiteral("Current Record:")), 6, 0);
    left->addWidget(LetterLabel, 6, 1);
    left->addWidget(CounterLabel, 6, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {FindBtn, NextBtn, PrevBtn, StopBtn, CloseBtn, HelpBtn})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(FieldList, &QComboBox::currentIndexChanged, this, &TFindDlg::fieldChosen);
    connect(TextBox, &QComboBox::editTextChanged, this, &TFindDlg::searchChanged);
    connect(NonStopMode, &QCheckBox::toggled, this, &TFindDlg::nonStopToggled);
    connect(SkipMemos, &QCheckBox::toggled, this, [this](bool on) {
        if (FieldList->currentIndex() == 0)
            m_skipMemosChoice = on;
    });
    connect(FindBtn, &QPushButton::clicked, this, &TFindDlg::Find);
    connect(NextBtn, &QPushButton::clicked, this, &TFindDlg::FindNext);
    connect(PrevBtn, &QPushButton::clicked, this, &TFindDlg::FindPrevious);
    connect(StopBtn, &QPushButton::clicked, this, &TFindDlg::Stop);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
}

void TFindDlg::restoreSettings()
{
    const SearchSettings& settings = lastSearch();
    m_skipMemosChoice = settings.skipMemos;
    SkipMemos->setChecked(settings.skipMemos);
    FieldList->setCurrentIndex(std::clamp(settings.fieldEntry, 0, static_cast<int>(FieldList->count()) - 1));
    fieldChosen();
    (settings.fromEnd ? FromEnd : FromBeginning)->setChecked(true);
    TextBox->addItems(settings.history);
    TextBox->setEditText(settings.text);
    NextBtn->setEnabled(false);
    PrevBtn->setEnabled(false);
    StopBtn->setEnabled(false);
    NonStopMode->setChecked(false);
}

void TFindDlg::saveSettings()
{
    SearchSettings& settings = lastSearch();
    settings.skipMemos = m_skipMemosChoice;
    settings.text = TextBox->currentText();
    settings.history.clear();
    for (int i = 0; i < TextBox->count(); ++i)
        settings.history.append(TextBox->itemText(i));
    settings.fieldEntry = FieldList->currentIndex();
    settings.fromEnd = FromEnd->isChecked();
}

void TFindDlg::showEvent(QShowEvent* event)
{
    ToolWindow::showEvent(event);
    placeBesideRecordWindow();
    TextBox->setFocus();
}

void TFindDlg::closeEvent(QCloseEvent* event)
{
    if (running()) {
        // The run is still on the stack: it ends first, and the window stays.
        m_search->Stop();
        event->ignore();
        return;
    }
    saveSettings();
    m_search->hooks = {};
    QWidget::closeEvent(event); // not the dialog's, which would reject, and rejecting closes
}

void TFindDlg::fieldChosen()
{
    const bool allFields = FieldList->currentIndex() <= 0;
    // A single field is searched whatever its kind, memos too.
    SkipMemos->setEnabled(allFields);
    const bool choice = m_skipMemosChoice;
    SkipMemos->setChecked(allFields && choice);
    m_skipMemosChoice = choice;
    searchChanged();
}

void TFindDlg::nonStopToggled(bool on)
{
    if (on) {
        FromBeginning->setChecked(true);
        m_search->Forward = true;
    }
    StartFrom->setEnabled(!on);
    searchChanged();
}

void TFindDlg::searchChanged()
{
    NextBtn->setEnabled(false);
    PrevBtn->setEnabled(false);
}

void TFindDlg::prepareSearch()
{
    const int entry = FieldList->currentIndex();
    m_search->setField(entry <= 0 ? search::FindSearch::AllFields : m_fields.at(entry - 1).column);
    m_search->setSkipMemos(SkipMemos->isChecked());
    m_search->setText(TextBox->currentText());
}

void TFindDlg::showCounter()
{
    LetterLabel->setText(m_search->CurrentLetter ? QString(QChar(m_search->CurrentLetter)) : QString());
    CounterLabel->setText(QString::number(m_search->RecordCounter + 1));
}

int TFindDlg::runStep(const std::function<int()>& step)
{
    beginRun(StopBtn);
    search::EventPump pump;
    pump.beforeEvents = [this] { showCounter(); };
    m_search->yield = [&pump] { pump(); };
    prepareSearch();
    const int outcome = step();
    m_search->yield = nullptr;
    endRun(StopBtn);
    return outcome;
}

void TFindDlg::Find()
{
    const QString text = TextBox->currentText();
    if (text.isEmpty()) {
        m_prompts.information(QString::fromLatin1(EnterTextMessage));
        return;
    }
    const int old = TextBox->findText(text, Qt::MatchFixedString | Qt::MatchCaseSensitive);
    if (old >= 0)
        TextBox->removeItem(old);
    TextBox->insertItem(0, text);
    TextBox->setEditText(text);
    const bool forward = FromBeginning->isChecked();
    if (NonStopMode->isChecked()) {
        runNonStop();
        return;
    }
    if (showOutcome(runStep([this, forward] { return static_cast<int>(m_search->Find(forward)); })))
        (forward ? NextBtn : PrevBtn)->setEnabled(true);
}

void TFindDlg::continueSearch(bool forward)
{
    if (showOutcome(runStep([this, forward] {
            return static_cast<int>(forward ? m_search->FindNext() : m_search->FindPrevious());
        })))
        (forward ? PrevBtn : NextBtn)->setEnabled(true);
}

bool TFindDlg::showOutcome(int outcome)
{
    using Outcome = search::FindSearch::Outcome;
    if (outcome == static_cast<int>(Outcome::Found)) {
        showCounter();
        return true;
    }
    if (outcome != static_cast<int>(Outcome::NotFound))
        return false;
    LetterLabel->clear();
    CounterLabel->clear();
    (m_search->Forward ? NextBtn : PrevBtn)->setEnabled(false);
    m_prompts.information(QString::fromLatin1(NotFoundMessage));
    return false;
}

void TFindDlg::runNonStop()
{
    if (closeReplaceWindow)
        closeReplaceWindow();
    bool completed = false;
    if (!m_search->hooks.BeforeNonStop || m_search->hooks.BeforeNonStop()) {
        runStep([this, &completed] {
            completed = m_search->NonStop(m_filters);
            return 0;
        });
        showCounter();
        if (completed)
            m_prompts.information(
                m_search->FoundCount > 0
                    ? QString::number(m_search->FoundCount) +
                          QStringLiteral(" Record(s) Found!\nTo return later to All-Record-Display "
                                         "set Filter to All Records.")
                    : QString::fromLatin1(NoRecordsMessage));
    }
    if (m_search->hooks.AfterNonStop)
        m_search->hooks.AfterNonStop();
}
