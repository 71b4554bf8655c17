#include "TAttachmentDlg.h"

#include "DialogFilter.h"
#include "mainwindow/controls/HelpPages.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

#ifdef Q_OS_WIN
const QString executableFilter = QStringLiteral("Executable|*.EXE");
#else
// Programs here carry no extension.
const QString executableFilter = QStringLiteral("Executable|*");
#endif
const QString anyFileFilter = QStringLiteral("All|*.*");

QString chooseFile(QWidget* parent, const QString& filter, const QString& startAt)
{
    QFileDialog dialog(parent);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(pictures::nameFilters(filter));
    if (!startAt.isEmpty())
        dialog.setDirectory(QFileInfo(startAt).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

QPushButton* makeButton(QWidget* parent, const char* caption, const char* hint)
{
    auto* button = new QPushButton(QString::fromLatin1(caption), parent);
    button->setToolTip(QString::fromLatin1(hint));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TAttachmentDlg::TAttachmentDlg(const QString& databaseFolder, QWidget* parent, const QString& windowsFolder)
    : QDialog(parent), ApplicationBox(new QComboBox(this)), FileEdit(new QLineEdit(this)),
      AddButton(makeButton(this, "&Add", "Add New Application")),
      DeleteButton(makeButton(this, "&Delete", "Delete Application")),
      SelectButton(makeButton(this, "&Select", "Select File")),
      RunButton(makeButton(this, "&Run", "Run Application and Close This Window")),
      CloseButton(makeButton(this, "&Close", "Close This Window")),
      CancelButton(makeButton(this, "&Cancel", "Cancel Changes")),
      HelpButton(makeButton(this, "&Help", "Display Help Window")), m_databaseFolder(databaseFolder),
      m_applications(pictures::AttachmentApplications::load(databaseFolder, windowsFolder))
{
    setWindowTitle(QStringLiteral("Attachment"));
    ApplicationBox->setEditable(true);
    ApplicationBox->setInsertPolicy(QComboBox::NoInsert);
    ApplicationBox->setMinimumContentsLength(40);
    RunButton->setDefault(true);

    auto* fields = new QFormLayout;
    auto* applicationRow = new QHBoxLayout;
    applicationRow->addWidget(ApplicationBox, 1);
    applicationRow->addWidget(AddButton);
    applicationRow->addWidget(DeleteButton);
    fields->addRow(QStringLiteral("Application:"), applicationRow);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(FileEdit, 1);
    fileRow->addWidget(SelectButton);
    fields->addRow(QStringLiteral("Attached File:"), fileRow);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {RunButton, CloseButton, CancelButton, HelpButton})
        buttons->addWidget(button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    showApplications();
    if (!applications().isEmpty())
        ApplicationBox->setEditText(applications().first());

    connect(AddButton, &QPushButton::clicked, this, &TAttachmentDlg::addApplication);
    connect(DeleteButton, &QPushButton::clicked, this, &TAttachmentDlg::deleteApplication);
    connect(SelectButton, &QPushButton::clicked, this, &TAttachmentDlg::selectFile);
    connect(RunButton, &QPushButton::clicked, this, [this] { finish(RunResult); });
    connect(CloseButton, &QPushButton::clicked, this, [this] { finish(QDialog::Accepted); });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpButton, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
}

QString TAttachmentDlg::attachedFile() const
{
    return FileEdit->text();
}

void TAttachmentDlg::setAttachedFile(const QString& path)
{
    FileEdit->setText(path);
}

QString TAttachmentDlg::application() const
{
    return ApplicationBox->currentText();
}

void TAttachmentDlg::showApplications()
{
    const QString text = ApplicationBox->currentText();
    ApplicationBox->clear();
    ApplicationBox->addItems(applications());
    ApplicationBox->setEditText(text);
}

void TAttachmentDlg::addApplication()
{
    const QString program = chooseFile(this, executableFilter, application());
    if (program.isEmpty())
        return;
    m_applications.add(program);
    showApplications();
    ApplicationBox->setEditText(program);
}

void TAttachmentDlg::deleteApplication()
{
    m_applications.remove(application());
    showApplications();
    ApplicationBox->setEditText(QString());
}

void TAttachmentDlg::selectFile()
{
    const QString file = chooseFile(this, anyFileFilter, attachedFile());
    if (!file.isEmpty())
        FileEdit->setText(file);
}

void TAttachmentDlg::finish(int result)
{
    m_applications.moveToTop(application());
    m_applications.save(m_databaseFolder); // a list that cannot be written is simply not kept
    done(result);
}
