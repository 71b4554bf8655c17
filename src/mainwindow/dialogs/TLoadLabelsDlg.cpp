#include "TLoadLabelsDlg.h"

#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "store/TTemplateList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TLoadLabelsDlg::TLoadLabelsDlg(store::TTemplateList& templates, QWidget* parent)
    : QDialog(parent), TemplateList(new QListWidget), OkButton(new QPushButton(QStringLiteral("&OK"))),
      CancelButton(new QPushButton(QStringLiteral("&Cancel"))),
      HelpButton(new QPushButton(QStringLiteral("&Help"))),
      DeleteButton(new QPushButton(QStringLiteral("&Delete"))), m_templates(templates)
{
    setObjectName(QStringLiteral("LoadLabelsDlg"));
    setWindowTitle(QStringLiteral("Load Labels From Template"));
    setProperty("helpContext", helpContext);
    TemplateList->setObjectName(QStringLiteral("TemplateList"));
    TemplateList->addItems(m_templates.Names());
    TemplateList->setCurrentRow(0);

    auto* label = new QLabel(QStringLiteral("Label Templates:"));
    label->setBuddy(TemplateList);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {OkButton, CancelButton, HelpButton, DeleteButton}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    DeleteButton->setDefault(true); // Enter deletes, so a template is loaded only on purpose
    auto* list = new QVBoxLayout;
    list->addWidget(label);
    list->addWidget(TemplateList);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(list, 1);
    layout->addLayout(buttons);

    connect(OkButton, &QPushButton::clicked, this, &TLoadLabelsDlg::choose);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
    connect(DeleteButton, &QPushButton::clicked, this, &TLoadLabelsDlg::deleteSelected);
}

// The list box shows the entries in list order, so its rows are the entries' indexes.
int TLoadLabelsDlg::selectedRow() const
{
    const QList<QListWidgetItem*> selected = TemplateList->selectedItems();
    return selected.isEmpty() ? -1 : TemplateList->row(selected.first());
}

void TLoadLabelsDlg::deleteSelected()
{
    if (TemplateList->count() == 0 || !messages::askYesNo(this, QString::fromLatin1(DeleteQuestion)))
        return;
    const int row = selectedRow();
    if (row < 0)
        return;
    delete TemplateList->takeItem(row);
    m_templates.Delete(row);
}

void TLoadLabelsDlg::choose()
{
    const int row = selectedRow();
    m_fileName = row >= 0 && row < m_templates.Count() ? m_templates.Items(row).FileName : QString();
    accept();
}
