#include "TEditDbDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEditDbDlg::TEditDbDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("EditDbDlg"));
    setWindowTitle(QStringLiteral("Edit Database Information"));
    NameEdit = new QLineEdit;
    NameEdit->setObjectName(QStringLiteral("NameEdit"));
    DescriptionEdit = new QLineEdit;
    DescriptionEdit->setObjectName(QStringLiteral("DescriptionEdit"));
    DescriptionEdit->setMaxLength(descriptionLength);
    FileNameEdit = new QLineEdit;
    FileNameEdit->setObjectName(QStringLiteral("FileNameEdit"));
    FileNameEdit->setReadOnly(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Database Name:"), NameEdit);
    form->addRow(QStringLiteral("Database Description:"), DescriptionEdit);
    form->addRow(QStringLiteral("Disk File Name:"), FileNameEdit);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    resize(420, sizeHint().height());
}

void TEditDbDlg::setCreating()
{
    setWindowTitle(QStringLiteral("Create New Database"));
}

void TEditDbDlg::setEntry(const QString& name, const QString& description, const QString& fileName)
{
    NameEdit->setText(name);
    DescriptionEdit->setText(description);
    FileNameEdit->setText(fileName);
}

QString TEditDbDlg::databaseName() const
{
    return NameEdit->text();
}

QString TEditDbDlg::description() const
{
    return DescriptionEdit->text();
}
