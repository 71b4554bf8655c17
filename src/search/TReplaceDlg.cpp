#include "TReplaceDlg.h"

#include "editors/TDateEdit.h"
#include "EventPump.h"
#include "FindHooks.h"
#include "mainwindow/controls/HelpPages.h"
#include "ReplaceRun.h"
#include "security/ActivityLog.h"
#include "store/Prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

using search::FieldClass;
using search::ReplaceRequest;

TReplaceDlg::TReplaceDlg(dbase::Table& browse, const QList<search::SearchField>& fields,
                         search::TFilterList* filters, security::ActivityLog* log,
                         std::function<QString()> databaseName, store::Prompts& prompts,
                         QWidget* recordWindow)
    : ToolWindow(recordWindow, helpContext), FieldList(new QComboBox),
      ModeGroup(new QGroupBox(QStringLiteral("Replace Mode"))), SecondLabel(new QLabel),
      SecondEdit(new QLineEdit), ValueLabel(new QLabel(QStringLiteral("Replace With:"))),
      OneLineEdit(new QLineEdit), MemoEdit(new QPlainTextEdit), DateEdit(new TDateEdit),
      StartGroup(new QGroupBox(QStringLiteral("Start Replacing From"))),
      FromCurrent(new QRadioButton(QStringLiteral("Current Record"))),
      FromFirst(new QRadioButton(QStringLiteral("First Record"))), CounterLabel(new QLabel),
      ReplaceBtn(new QPushButton(QStringLiteral("&Replace"))),
      StopBtn(new QPushButton(QStringLiteral("&Stop"))), CloseBtn(new QPushButton(QStringLiteral("&Close"))),
      HelpBtn(new QPushButton(QStringLiteral("&Help"))),
      m_run(std::make_unique<search::ReplaceRun>(browse, filters)), m_fields(fields), m_log(log),
      m_databaseName(std::move(databaseName)), m_prompts(prompts)
{
    setObjectName(QStringLiteral("ReplaceDlg"));
    setWindowTitle(QStringLiteral("Replace"));
    buildWindow();
    updateChoices();
}

TReplaceDlg::~TReplaceDlg() = default;

void TReplaceDlg::Stop()
{
    m_run->Stop();
}

void TReplaceDlg::setHooks(const search::ReplaceHooks& hooks)
{
    m_beforeReplace = hooks.BeforeReplace;
    m_afterReplace = hooks.AfterReplace;
}

void TReplaceDlg::buildWindow()
{
    FieldList->setObjectName(QStringLiteral("FieldList"));
    for (const search::SearchField& field : m_fields)
        FieldList->addItem(field.caption);
    FieldList->setToolTip(QStringLiteral("Select Which Fields Should Be Replaced"));
    auto* modes = new QVBoxLayout(ModeGroup);
    for (const char* caption :
         {"Replace Entire Field Contents", "Replace Substring Only", "Auto-Increment", "Auto-Decrement"}) {
        Modes.append(new QRadioButton(QString::fromLatin1(caption)));
        modes->addWidget(Modes.last());
    }
    Modes.first()->setChecked(true);
    DateEdit->setLockWhenDisabled(false);
    DateEdit->hideFontColorItems();
    auto* start = new QVBoxLayout(StartGroup);
    start->addWidget(FromCurrent);
    start->addWidget(FromFirst);
    FromCurrent->setChecked(true);
    ReplaceBtn->setToolTip(QStringLiteral("Start Replacing"));
    StopBtn->setToolTip(QStringLiteral("Stop Replacing"));
    ReplaceBtn->setDefault(true);
    StopBtn->setEnabled(false);

    auto* fieldLabel = new QLabel(QStringLiteral("Field To Be Replaced:"));
    fieldLabel->setBuddy(FieldList);
    auto* left = new QGridLayout;
    left->addWidget(fieldLabel, 0, 0, 1, 2);
    left->addWidget(FieldList, 1, 0, 1, 2);
    left->addWidget(ModeGroup, 2, 0, 1, 2);
    left->addWidget(SecondLabel, 3, 0, 1, 2);
    left->addWidget(SecondEdit, 4, 0, 1, 2);
    left->addWidget(ValueLabel, 5, 0, 1, 2);
    left->addWidget(OneLineEdit, 6, 0, 1, 2);
    left->addWidget(MemoEdit, 7, 0, 1, 2);
    left->addWidget(DateEdit, 8, 0, 1, 2);
    left->addWidget(StartGroup, 9, 0, 1, 2);
    left->addWidget(new QLabel(QStringLiteral("Current Record:")), 10, 0);
    left->addWidget(CounterLabel, 10, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {ReplaceBtn, StopBtn, CloseBtn, HelpBtn})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    connect(FieldList, &QComboBox::currentIndexChanged, this, &TReplaceDlg::updateChoices);
    for (QRadioButton* button : Modes)
        connect(button, &QRadioButton::toggled, this, [this](bool on) {
            if (on)
                updateChoices();
        });
    connect(OneLineEdit, &QLineEdit::textChanged, this, &TReplaceDlg::updateChoices);
    connect(MemoEdit, &QPlainTextEdit::textChanged, this, &TReplaceDlg::updateChoices);
    connect(DateEdit, &QLineEdit::textChanged, this, &TReplaceDlg::updateChoices);
    connect(ReplaceBtn, &QPushButton::clicked, this, &TReplaceDlg::Replace);
    connect(StopBtn, &QPushButton::clicked, this, &TReplaceDlg::Stop);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::hide);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
}

void TReplaceDlg::showEvent(QShowEvent* event)
{
    ToolWindow::showEvent(event);
    updateChoices();
    placeBesideRecordWindow();
}

int TReplaceDlg::mode() const
{
    for (int i = 0; i < Modes.size(); ++i)
        if (Modes.at(i)->isChecked())
            return i;
    return ReplaceRequest::EntireField;
}

const search::SearchField* TReplaceDlg::chosenField() const
{
    const int entry = FieldList->currentIndex();
    return entry >= 0 && entry < m_fields.size() ? &m_fields.at(entry) : nullptr;
}

void TReplaceDlg::updateChoices()
{
    if (m_updating)
        return;
    m_updating = true;
    const search::SearchField* field = chosenField();
    const FieldClass kind = field ? field->kind : FieldClass::Text;
    // Substrings and counters make no sense in a memo or a date.
    if (mode() != ReplaceRequest::EntireField && (kind == FieldClass::Memo || kind == FieldClass::Date))
        Modes.first()->setChecked(true);
    const int chosen = mode();
    const bool needsValue = chosen <= ReplaceRequest::Substring;
    ValueLabel->setVisible(needsValue);
    MemoEdit->setVisible(needsValue && kind == FieldClass::Memo);
    DateEdit->setVisible(needsValue && kind == FieldClass::Date);
    OneLineEdit->setVisible(needsValue && kind != FieldClass::Memo && kind != FieldClass::Date);
    const bool counting = chosen >= ReplaceRequest::AutoIncrement;
    SecondLabel->setVisible(chosen != ReplaceRequest::EntireField);
    SecondEdit->setVisible(chosen != ReplaceRequest::EntireField);
    SecondLabel->setText(counting ? QStringLiteral("Start From:") : QStringLiteral("Substring To Replace:"));
    if (counting) {
        bool isInteger = false;
        SecondEdit->text().toInt(&isInteger);
        if (!isInteger)
            SecondEdit->clear();
        if (!SecondEdit->validator())
            SecondEdit->setValidator(
                new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), SecondEdit));
    } else if (SecondEdit->validator()) {
        delete SecondEdit->validator();
        SecondEdit->setValidator(nullptr);
    }
    bool hasValue = true;
    if (needsValue) {
        if (kind == FieldClass::Memo)
            hasValue = MemoEdit->document()->lineCount() > 0 && !MemoEdit->toPlainText().isEmpty();
        else if (kind == FieldClass::Date)
            hasValue = !DateEdit->isBlank();
        else
            hasValue = !OneLineEdit->text().isEmpty();
    }
    ReplaceBtn->setEnabled(field && hasValue);
    m_updating = false;
}

ReplaceRequest TReplaceDlg::request() const
{
    ReplaceRequest request;
    request.column = chosenField()->column;
    request.mode = mode();
    request.substring = request.mode == ReplaceRequest::Substring ? SecondEdit->text() : QString();
    request.text = OneLineEdit->text();
    request.lines = MemoEdit->toPlainText().split(QLatin1Char('\n'));
    request.date = DateEdit->date();
    request.fromFirstRecord = FromFirst->isChecked();
    request.counterStart = SecondEdit->text().toInt();
    return request;
}

void TReplaceDlg::Replace()
{
    if (!chosenField() || !m_prompts.askYesNo(QString::fromLatin1(ConfirmQuestion), helpContext))
        return;
    if (closeSearchWindow)
        closeSearchWindow();
    ReplaceRequest wanted = request();
    if (!m_beforeReplace || m_beforeReplace(wanted.filterScope)) {
        beginRun(StopBtn);
        search::EventPump pump;
        pump.beforeEvents = [this] { CounterLabel->setText(QString::number(m_run->RecordsVisited + 1)); };
        m_run->yield = [&pump] { pump(); };
        const auto outcome = static_cast<int>(m_run->Run(wanted));
        m_run->yield = nullptr;
        endRun(StopBtn);
        report(outcome);
    }
    if (m_afterReplace)
        m_afterReplace();
}

void TReplaceDlg::report(int outcome)
{
    using Outcome = search::ReplaceRun::Outcome;
    if (outcome == static_cast<int>(Outcome::CannotOpen)) {
        m_prompts.error(QString::fromLatin1(CannotOpenMessage));
        return;
    }
    if (outcome == static_cast<int>(Outcome::Stopped)) {
        CounterLabel->setText(QString::number(m_run->RecordsVisited + 1));
        return;
    }
    if (m_run->ReplacedCount > 0) {
        m_prompts.information(QStringLiteral("%1 records were Replaced.\n%2 records failed the Replace.")
                                  .arg(m_run->ReplacedCount)
                                  .arg(m_run->FailedCount));
        if (m_log && !m_log->AddEntry(m_databaseName ? m_databaseName() : QString(),
                                      QStringLiteral("%1 Records Replaced.").arg(m_run->ReplacedCount)))
            m_prompts.error(QString::fromLatin1(security::ActivityLog::SaveErrorMessage));
    } else {
        m_prompts.information(QString::fromLatin1(NothingReplacedMessage));
    }
    CounterLabel->clear();
}
