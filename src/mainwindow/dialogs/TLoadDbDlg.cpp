#include "TLoadDbDlg.h"

#include "mainwindow/controls/HelpPages.h"
#include "settings/ProgramSettings.h"
#include "store/Session.h"
#include "TDeleteDlg1.h"
#include "TEditDbDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

QPushButton* button(const QString& caption, const char* name)
{
    auto* result = new QPushButton(caption);
    result->setObjectName(QLatin1String(name));
    return result;
}

} // namespace

TLoadDbDlg::TLoadDbDlg(store::Session& session, store::DatabaseFolder& database, QWidget* parent)
    : QDialog(parent), m_session(session), m_prompts(this), m_list(database, m_prompts)
{
    buildWindow();
    const bool publicFolder = settings::SameFolder(session.folders.database, session.folders.publicDatabase);
    if (session.supervisor) {
        PublicBtn->setChecked(true);
        DbType->setEnabled(false);
    } else if (session.publicAccess == store::PublicAccess::None) {
        PrivateBtn->setChecked(true);
        DbType->setEnabled(false);
    } else {
        (publicFolder ? PublicBtn : PrivateBtn)->setChecked(true);
    }
    showDatabaseType();
    connect(PublicBtn, &QRadioButton::toggled, this, &TLoadDbDlg::showDatabaseType);
}

void TLoadDbDlg::buildWindow()
{
    setObjectName(QStringLiteral("LoadDbDlg"));
    setWindowTitle(QStringLiteral("Load Database"));
    setProperty("helpContext", helpContext);

    DbList = new QListWidget;
    DbList->setObjectName(QStringLiteral("DbList"));
    DbList->setToolTip(QStringLiteral("Click Here To Select Database"));
    RealFileName = new QLineEdit;
    RealFileName->setObjectName(QStringLiteral("RealFileName"));
    RealFileName->setReadOnly(true);
    DbType = new QGroupBox(QStringLiteral("Database Type"));
    DbType->setObjectName(QStringLiteral("DbType"));
    PrivateBtn = new QRadioButton(QStringLiteral("Private"));
    PrivateBtn->setObjectName(QStringLiteral("PrivateBtn"));
    PublicBtn = new QRadioButton(QStringLiteral("Public"));
    PublicBtn->setObjectName(QStringLiteral("PublicBtn"));
    auto* typeLayout = new QHBoxLayout(DbType);
    typeLayout->addWidget(PrivateBtn);
    typeLayout->addWidget(PublicBtn);

    LoadBtn = button(QStringLiteral("&Load"), "LoadBtn");
    LoadBtn->setDefault(true);
    CancelBtn = button(QStringLiteral("&Cancel"), "CancelBtn");
    HelpBtn = button(QStringLiteral("Help"), "HelpBtn");
    EditBtn = button(QStringLiteral("&Edit"), "EditBtn");
    NewBtn = button(QStringLiteral("&New"), "NewBtn");
    DeleteBtn = button(QStringLiteral("&Delete"), "DeleteBtn");
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {LoadBtn, CancelBtn, HelpBtn, EditBtn, NewBtn, DeleteBtn})
        buttons->addWidget(b);
    buttons->addStretch();

    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(new QLabel(QStringLiteral("Available Databases:")));
    listColumn->addWidget(DbList, 1);
    listColumn->addWidget(new QLabel(QStringLiteral("Real File Name:")));
    listColumn->addWidget(RealFileName);
    listColumn->addWidget(DbType);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addLayout(buttons);
    resize(460, 340);

    connect(DbList, &QListWidget::currentRowChanged, this, &TLoadDbDlg::selectionChanged);
    connect(DbList, &QListWidget::itemDoubleClicked, this, [this] {
        if (EditBtn->isEnabled())
            editClicked();
    });
    connect(LoadBtn, &QPushButton::clicked, this, &TLoadDbDlg::loadClicked);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
    connect(EditBtn, &QPushButton::clicked, this, &TLoadDbDlg::editClicked);
    connect(NewBtn, &QPushButton::clicked, this, &TLoadDbDlg::newClicked);
    connect(DeleteBtn, &QPushButton::clicked, this, &TLoadDbDlg::deleteClicked);
}

void TLoadDbDlg::done(int result)
{
    m_list.finish();
    QDialog::done(result);
}

void TLoadDbDlg::showDatabaseType()
{
    const QString folder =
        PublicBtn->isChecked() ? m_session.folders.publicDatabase : m_session.folders.settings;
    m_list.showFolder(folder);
    fillList(0);
}

void TLoadDbDlg::fillList(int selected)
{
    DbList->clear();
    for (const store::DatabaseEntry& entry : m_list.entries())
        DbList->addItem(entry.name);
    DbList->setCurrentRow(DbList->count() > 0 ? std::clamp(selected, 0, DbList->count() - 1) : -1);
    selectionChanged();
}

void TLoadDbDlg::updateButtons()
{
    const bool mayChange = PrivateBtn->isChecked() || m_session.supervisor;
    const bool hasEntries = DbList->count() > 0;
    NewBtn->setEnabled(mayChange);
    EditBtn->setEnabled(mayChange && hasEntries);
    DeleteBtn->setEnabled(mayChange && hasEntries);
}

int TLoadDbDlg::selectedIndex() const
{
    return DbList->currentRow();
}

void TLoadDbDlg::selectionChanged()
{
    RealFileName->setText(m_list.realFileName(selectedIndex()));
    updateButtons();
}

void TLoadDbDlg::editClicked()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    const store::DatabaseEntry entry = m_list.entries()[index];
    TEditDbDlg dialog(this);
    dialog.setEntry(entry.name, entry.description, entry.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_list.updateEntry(entry.fileName, dialog.databaseName(), dialog.description());
    fillList(m_list.indexOf(entry.fileName));
}

void TLoadDbDlg::newClicked()
{
    TEditDbDlg dialog(this);
    dialog.setCreating();
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int index = m_list.addEntry(dialog.databaseName(), dialog.description());
    if (index >= 0)
        fillList(index);
}

void TLoadDbDlg::deleteClicked()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    const QString fileName = m_list.entries()[index].fileName;
    if (!m_list.canDelete(fileName) || !TDeleteDlg1::confirm(ConfirmedAction::DeleteDatabase, this) ||
        !m_securityCheck())
        return;
    m_list.deleteEntry(fileName);
    fillList(0);
}

void TLoadDbDlg::loadClicked()
{
    const int index = selectedIndex();
    if (index < 0)
        return;
    const QString fileName = m_list.entries()[index].fileName;
    m_list.prepareToLoad(fileName);
    m_chosenFolder = m_list.folder();
    m_chosenFileName = fileName;
    accept();
}
