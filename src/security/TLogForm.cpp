#include "TLogForm.h"

#include "mainwindow/controls/HelpPages.h"
#include "store/Prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TLogForm::TLogForm(const QString& settingsFolder, store::Prompts& prompts, QWidget* parent)
    : QDialog(parent), LogList(new QTreeWidget), OkBtn(new QPushButton(QStringLiteral("&OK"))),
      DeleteBtn(new QPushButton(QStringLiteral("&Delete"))),
      ClearBtn(new QPushButton(QStringLiteral("&Clear"))), HelpBtn(new QPushButton(QStringLiteral("&Help"))),
      m_log(settingsFolder + QLatin1Char('/') + security::ActivityLog::FileName), m_prompts(prompts)
{
    setObjectName(QStringLiteral("LogForm"));
    setWindowTitle(QStringLiteral("Maintenance Log"));
    setProperty("helpContext", helpContext);
    LogList->setObjectName(QStringLiteral("LogList"));
    LogList->setHeaderLabels({QStringLiteral("Date"), QStringLiteral("Time"), QStringLiteral("Database File"),
                              QStringLiteral("Description")});
    LogList->setRootIsDecorated(false);
    LogList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    LogList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DeleteBtn->setToolTip(QStringLiteral("Delete Selected Entries"));
    ClearBtn->setToolTip(QStringLiteral("Delete All Entries"));
    OkBtn->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {OkBtn, DeleteBtn, ClearBtn, HelpBtn})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LogList);
    layout->addLayout(buttons);
    resize(560, 320);

    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(DeleteBtn, &QPushButton::clicked, this, &TLogForm::deleteSelected);
    connect(ClearBtn, &QPushButton::clicked, this, &TLogForm::clearAll);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
    fillList();
}

TLogForm::~TLogForm()
{
    save();
}

void TLogForm::fillList()
{
    LogList->clear();
    for (const security::LogEntry& entry : m_log.entries())
        LogList->addTopLevelItem(
            new QTreeWidgetItem(QStringList{entry.Date, entry.Time, entry.DatabaseFile, entry.Description}));
}

void TLogForm::AddEntry(const QString& databaseName, const QString& description)
{
    if (!m_log.AddEntry(databaseName, description))
        m_prompts.error(QString::fromLatin1(security::ActivityLog::SaveErrorMessage));
    fillList();
}

void TLogForm::deleteSelected()
{
    if (LogList->selectedItems().isEmpty() || !m_prompts.askYesNo(QString::fromLatin1(DeleteQuestion)))
        return;
    QList<int> rows;
    for (QTreeWidgetItem* item : LogList->selectedItems())
        rows.append(LogList->indexOfTopLevelItem(item));
    m_log.RemoveEntries(rows);
    fillList();
}

void TLogForm::clearAll()
{
    if (!m_prompts.askYesNo(QString::fromLatin1(ClearQuestion)))
        return;
    m_log.Clear();
    fillList();
}

void TLogForm::save()
{
    if (!m_log.Save())
        m_prompts.error(QString::fromLatin1(security::ActivityLog::SaveErrorMessage));
}
