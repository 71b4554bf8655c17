#include "TFilterDlg.h"

#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/HelpPages.h"
#include "mainwindow/controls/MenuItems.h"
#include "mainwindow/controls/TPercentDlg.h"
#include "store/ContentTemplateLists.h"
#include "store/Prompts.h"
#include "TFieldFilterDlg.h"
#include "TFilterList.h"
#include "TLoadFiltersDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPixmap checkMark(const QColor& colour)
{
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colour, 2));
    painter.drawPolyline(QPolygon({{2, 7}, {5, 11}, {12, 3}}));
    return pixmap;
}

// Red before a defined condition, yellow on the selected row.
QIcon definedIcon()
{
    QIcon icon(checkMark(Qt::red));
    icon.addPixmap(checkMark(Qt::yellow), QIcon::Selected);
    return icon;
}

} // namespace

TFilterDlg::TFilterDlg(search::TFilterList& filters, store::TFilterTemplateList& templates, int scope,
                       const FilterDialogContext& context, store::Prompts& prompts, QWidget* parent)
    : QDialog(parent), AllFields(new QListWidget), UsedFields(new QListWidget),
      AddBtn(new QPushButton(QStringLiteral("&Add"))), RemoveBtn(new QPushButton(QStringLiteral("&Remove"))),
      RemoveAllBtn(new QPushButton(QStringLiteral("Re&move All"))),
      EditBtn(new QPushButton(QStringLiteral("&Edit"))), SaveBtn(new QPushButton(QStringLiteral("&Save"))),
      LoadBtn(new QPushButton(QStringLiteral("&Load"))),
      ScopeGroup(new QGroupBox(QStringLiteral("Filter Scope"))),
      ApplyBtn(new QPushButton(QStringLiteral("A&pply"))), OkBtn(new QPushButton(QStringLiteral("&OK"))),
      CancelBtn(new QPushButton(QStringLiteral("&Cancel"))),
      HelpBtn(new QPushButton(QStringLiteral("&Help"))), m_filters(filters), m_templates(templates),
      m_context(context), m_prompts(prompts), m_filterable(search::filterableFields(context.fields))
{
    setObjectName(QStringLiteral("FilterDlg"));
    setWindowTitle(QStringLiteral("Set Filter"));
    setProperty("helpContext", helpContext);
    buildWindow();
    for (const search::SearchField& field : m_filterable)
        AllFields->addItem(field.caption);
    AllFields->setCurrentRow(0);
    Scopes.value(scope, Scopes.first())->setChecked(true);
    fillUsedList(0);
}

void TFilterDlg::buildWindow()
{
    AllFields->setObjectName(QStringLiteral("AllFields"));
    UsedFields->setObjectName(QStringLiteral("UsedFields"));
    AllFields->setToolTip(QStringLiteral("All Fields That Can Be Used In Filters"));
    UsedFields->setToolTip(QStringLiteral("Fields Used In Filter"));
    ApplyBtn->setToolTip(
        QStringLiteral("Close and Apply Filter - Use ONLY After You Have Modified The Filter"));
    OkBtn->setToolTip(QStringLiteral("Close and Update Filter Scope"));
    OkBtn->setDefault(true);
    auto* scopes = new QVBoxLayout(ScopeGroup);
    for (const char* caption : {"All Records", "Normal Filter", "Reversed Filter"}) {
        Scopes.append(new QRadioButton(QString::fromLatin1(caption)));
        scopes->addWidget(Scopes.last());
    }
    auto* explanation =
        new QLabel(QStringLiteral("Use it ONLY after you have modified the Filter and want the new "
                                  "filter to take effect or after Non-Stop Search."));
    explanation->setWordWrap(true);

    auto* lists = new QGridLayout;
    lists->addWidget(new QLabel(QStringLiteral("All Fields:")), 0, 0);
    lists->addWidget(new QLabel(QStringLiteral("Fields Used In Filter:")), 0, 2);
    lists->addWidget(AllFields, 1, 0);
    auto* middle = new QVBoxLayout;
    for (QPushButton* button : {AddBtn, RemoveBtn, RemoveAllBtn, EditBtn, SaveBtn, LoadBtn})
        middle->addWidget(button);
    middle->addStretch();
    lists->addLayout(middle, 1, 1);
    lists->addWidget(UsedFields, 1, 2);
    auto* scopeRow = new QHBoxLayout;
    scopeRow->addWidget(ScopeGroup);
    scopeRow->addWidget(explanation, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {ApplyBtn, OkBtn, CancelBtn, HelpBtn})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists);
    layout->addLayout(scopeRow);
    layout->addLayout(buttons);

    connect(AddBtn, &QPushButton::clicked, this, &TFilterDlg::addField);
    connect(AllFields, &QListWidget::itemDoubleClicked, this, &TFilterDlg::addField);
    connect(RemoveBtn, &QPushButton::clicked, this, &TFilterDlg::removeField);
    connect(RemoveAllBtn, &QPushButton::clicked, this, &TFilterDlg::removeAll);
    connect(EditBtn, &QPushButton::clicked, this, &TFilterDlg::editCondition);
    connect(UsedFields, &QListWidget::itemDoubleClicked, this, &TFilterDlg::editCondition);
    connect(SaveBtn, &QPushButton::clicked, this, &TFilterDlg::saveTemplate);
    connect(LoadBtn, &QPushButton::clicked, this, &TFilterDlg::loadTemplate);
    connect(ApplyBtn, &QPushButton::clicked, this, [this] { done(Apply); });
    connect(OkBtn, &QPushButton::clicked, this, [this] { done(ScopeOnly); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
}

int TFilterDlg::chosenScope() const
{
    for (int i = 0; i < Scopes.size(); ++i)
        if (Scopes.at(i)->isChecked())
            return i;
    return 0;
}

std::optional<int> TFilterDlg::scopeAfter(int result, int currentScope, int chosenScope)
{
    if (result == Apply)
        return 1;
    if (result == ScopeOnly && chosenScope != currentScope)
        return chosenScope;
    return std::nullopt;
}

const search::SearchField* TFilterDlg::fieldOfColumn(int column) const
{
    for (const search::SearchField& field : m_filterable)
        if (field.column == column)
            return &field;
    return nullptr;
}

void TFilterDlg::fillUsedList(int selected)
{
    UsedFields->clear();
    for (int i = 0; i < m_filters.Count(); ++i) {
        const search::TFilter& condition = *m_filters.Condition(i);
        const search::SearchField* field = fieldOfColumn(condition.FieldPos);
        auto* item = new QListWidgetItem(field ? field->caption : QString::number(condition.FieldPos));
        if (!condition.Undefined)
            item->setIcon(definedIcon());
        UsedFields->addItem(item);
    }
    UsedFields->setCurrentRow(std::min(selected, static_cast<int>(UsedFields->count()) - 1));
    updateButtons();
}

void TFilterDlg::updateButtons()
{
    const bool used = UsedFields->count() > 0;
    RemoveBtn->setEnabled(used);
    RemoveAllBtn->setEnabled(used);
    EditBtn->setEnabled(used);
    ApplyBtn->setEnabled(m_filters.HasDefinedCondition());
}

void TFilterDlg::addField()
{
    const int row = AllFields->currentRow();
    if (row < 0 || row >= m_filterable.size())
        return;
    const int column = m_filterable.at(row).column;
    int index = m_filters.IndexOfField(column);
    if (index < 0)
        index = m_filters.AddCondition(column);
    fillUsedList(index);
}

void TFilterDlg::removeField()
{
    m_filters.DeleteCondition(UsedFields->currentRow());
    fillUsedList(UsedFields->currentRow());
}

void TFilterDlg::removeAll()
{
    m_filters.Clear();
    fillUsedList(0);
}

void TFilterDlg::editCondition()
{
    const int row = UsedFields->currentRow();
    search::TFilter* condition = m_filters.Condition(row);
    const search::SearchField* field = condition ? fieldOfColumn(condition->FieldPos) : nullptr;
    if (!field)
        return;
    TFieldFilterDlg dialog(*condition, m_filters, *field, m_context, m_prompts, this);
    dialog.exec();
    fillUsedList(row);
}

void TFilterDlg::saveTemplate()
{
    const QString name = QInputDialog::getText(this, QStringLiteral("Save Filter As Template"),
                                               QString::fromLatin1(controls::TemplateNamePrompt));
    if (name.isEmpty())
        return;
    if (m_templates.IndexOfName(name) >= 0)
        m_prompts.error(QString::fromLatin1(controls::DuplicateTemplateMessage));
    else if (!m_templates.Add(name))
        m_prompts.error(QString::fromLatin1(search::TFilterList::SaveErrorMessage));
}

void TFilterDlg::loadTemplate()
{
    TLoadFiltersDlg chooser(m_templates, this);
    if (chooser.exec() != QDialog::Accepted || chooser.fileName().isEmpty())
        return;
    const QString path = m_templates.ContentPath(chooser.fileName());
    m_filters.Clear();
    if (path.isEmpty() || !m_filters.LoadFromFile(path)) {
        m_filters.LoadFromFile(m_context.settingsFolder + QLatin1Char('/') + search::TFilterList::FileName);
        m_prompts.error(QString::fromLatin1(controls::ErrorLoadingTemplateMessage));
    }
    fillUsedList(0);
}

void ApplyFilterWithProgress(search::TFilterList& filters, QWidget* parent)
{
    if (filters.Count() == 0)
        return;
    const BusyCursor busy;
    TPercentDlg progress(parent);
    progress.setWindowTitle(QString::fromLatin1(search::TFilterList::ApplyingCaption));
    filters.ApplyFilter([&progress](int done, int total) {
        if (progress.total() != total)
            progress.setTotal(total);
        progress.SetPosition(done);
    });
}
