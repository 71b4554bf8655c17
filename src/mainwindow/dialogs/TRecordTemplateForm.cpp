#include "TRecordTemplateForm.h"

#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "store/DatabaseFolder.h"
#include "store/RecordTemplateRows.h"
#include "store/TRecordTemplateList.h"

#include <algorithm>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int boxLeft = 10;
constexpr int firstBoxTop = 20;
constexpr int boxGap = 8;

QPushButton* makeButton(const char* caption)
{
    auto* button = new QPushButton(QString::fromLatin1(caption));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TRecordTemplateForm::TRecordTemplateForm(store::TRecordTemplateList& templates, store::DatabaseFolder& folder,
                                         const QStringList& captions, QWidget* parent)
    : QDialog(parent), ExistingTemplates(new QListWidget), TemplateName(new QLineEdit),
      DateGroup(new QGroupBox(QStringLiteral("Set Date To System Date:"))), OkButton(makeButton("&OK")),
      CancelButton(makeButton("&Cancel")), HelpButton(makeButton("&Help")),
      DeleteButton(makeButton("&Delete")), m_templates(templates), m_folder(folder)
{
    setObjectName(QStringLiteral("RecordTemplateForm"));
    setWindowTitle(QStringLiteral("Save Record As Template"));
    setProperty("helpContext", helpContext);
    ExistingTemplates->setObjectName(QStringLiteral("ExistingTemplates"));
    ExistingTemplates->setToolTip(QStringLiteral("Double Click To Change"));
    ExistingTemplates->addItem(store::TRecordTemplateList::BlankName);
    ExistingTemplates->addItems(m_templates.Names());
    ExistingTemplates->setCurrentRow(0);
    TemplateName->setObjectName(QStringLiteral("TemplateName"));
    TemplateName->setToolTip(QStringLiteral("Enter New Or Existing Template Name"));
    DeleteButton->setToolTip(QStringLiteral("Delete Selected Template"));
    OkButton->setDefault(true);
    addDateBoxes(captions);

    auto* nameLabel = new QLabel(QStringLiteral("Template Name:"));
    nameLabel->setBuddy(TemplateName);
    auto* listLabel = new QLabel(QStringLiteral("Existing Templates:"));
    listLabel->setBuddy(ExistingTemplates);
    auto* left = new QVBoxLayout;
    left->addWidget(nameLabel);
    left->addWidget(TemplateName);
    left->addWidget(listLabel);
    left->addWidget(ExistingTemplates, 1);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {OkButton, CancelButton, HelpButton, DeleteButton})
        buttons->addWidget(button);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(DateGroup);
    layout->addLayout(buttons);

    connect(ExistingTemplates, &QListWidget::itemSelectionChanged, this,
            &TRecordTemplateForm::updateDeleteButton);
    connect(ExistingTemplates, &QListWidget::itemDoubleClicked, this, &TRecordTemplateForm::pickTemplate);
    connect(OkButton, &QPushButton::clicked, this, &TRecordTemplateForm::confirm);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
    connect(DeleteButton, &QPushButton::clicked, this, &TRecordTemplateForm::deleteSelected);
    updateDeleteButton();
}

// One box per date column of the copy buffer, placed as the form designer did: one below the other.
void TRecordTemplateForm::addDateBoxes(const QStringList& captions)
{
    int top = firstBoxTop;
    int width = 0;
    for (int column : store::TemplateDateColumns(m_folder.copyBuffer())) {
        const int field = column - store::FirstFieldOffset;
        auto* box =
            new QCheckBox(captions.value(field, QStringLiteral("Field %1").arg(field + 1)), DateGroup);
        box->setProperty("tag", column);
        box->setGeometry(boxLeft, top, box->sizeHint().width(), box->sizeHint().height());
        top += box->height() + boxGap;
        width = std::max(width, box->width());
        DateBoxes.append(box);
    }
    DateGroup->setMinimumSize(width + 2 * boxLeft, top);
}

int TRecordTemplateForm::selectedItem() const
{
    const QList<QListWidgetItem*> selected = ExistingTemplates->selectedItems();
    return selected.isEmpty() ? -1 : ExistingTemplates->row(selected.first());
}

void TRecordTemplateForm::updateDeleteButton()
{
    DeleteButton->setEnabled(selectedItem() > 0);
}

void TRecordTemplateForm::pickTemplate(QListWidgetItem* item)
{
    const int row = ExistingTemplates->row(item);
    if (row <= 0)
        return;
    TemplateName->setText(item->text());
    QList<int> marked;
    if (store::GoToTemplateRow(m_folder.copyBuffer(), row - 1))
        marked = store::TodayMarkedColumns(m_folder.copyBuffer());
    for (QCheckBox* box : DateBoxes)
        box->setChecked(marked.contains(box->property("tag").toInt()));
}

void TRecordTemplateForm::deleteSelected()
{
    if (!messages::askYesNo(this, QString::fromLatin1(DeleteQuestion)))
        return;
    const int row = selectedItem();
    if (row <= 0)
        return;
    switch (store::RemoveRecordTemplate(m_templates, m_folder, row - 1)) {
    case store::TemplateRemoval::RowInUse:
        messages::error(this, QString::fromLatin1(RowInUseMessage));
        return;
    case store::TemplateRemoval::RemovedUnpacked:
        delete ExistingTemplates->takeItem(row);
        messages::error(this, QString::fromLatin1(PackFailedMessage));
        return;
    case store::TemplateRemoval::Removed:
        delete ExistingTemplates->takeItem(row);
        return;
    }
}

void TRecordTemplateForm::confirm()
{
    const QString name = TemplateName->text();
    if (name.isEmpty() || name == store::TRecordTemplateList::BlankName) {
        messages::warning(this, QString::fromLatin1(NameRequiredMessage));
        return;
    }
    int index = m_templates.FindTemplate(name);
    if (index < 0) {
        if (!m_templates.AddTemplate(name)) {
            messages::warning(this, QString::fromLatin1(NotCreatedMessage));
            return;
        }
        ExistingTemplates->addItem(name);
        index = m_templates.Count() - 1;
    }
    m_templateIndex = index;
    accept();
}

QList<int> TRecordTemplateForm::DateColumns() const
{
    QList<int> columns;
    for (const QCheckBox* box : DateBoxes) {
        if (box->isChecked())
            columns.append(box->property("tag").toInt());
    }
    return columns;
}
