#include "TDeleteDlg1.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

namespace {

const QString confirmation = QStringLiteral("YES");
const QString undoneWarning = QStringLiteral("WARNING! This operation cannot be Undone!");

// Whatever is typed reads in capitals.
class UpperCaseValidator : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = input.toUpper();
        return Acceptable;
    }
};

struct ActionTexts
{
    QString caption;
    QString request;
    QString warning;
};

ActionTexts textsOf(ConfirmedAction action)
{
    const QString caption = QStringLiteral("Confirm Action");
    switch (action) {
    case ConfirmedAction::DeleteRecord:
        return {caption, QStringLiteral("If you want to Delete the selected Record please"),
                QStringLiteral("WARNING! Record Deletion cannot be Undone!")};
    case ConfirmedAction::DeleteDatabase:
        return {QStringLiteral("Confirm"), QStringLiteral("If you want to Delete the Database please"),
                undoneWarning};
    case ConfirmedAction::DeleteAllRecords:
        return {caption, QStringLiteral("If you want to Delete All Records please"), undoneWarning};
    case ConfirmedAction::RepairDataFile:
        return {caption, QStringLiteral("If you want to Repair the Data File please"), undoneWarning};
    case ConfirmedAction::BackupDataFile:
        return {caption, QStringLiteral("If you want to Backup the Data File please"), undoneWarning};
    case ConfirmedAction::RestoreDataFile:
        return {caption, QStringLiteral("If you want to Restore data from the Backup file please"),
                undoneWarning};
    case ConfirmedAction::DeleteDisplayedRecords:
        return {caption, QStringLiteral("If you want to Delete All Displayed Records please"), undoneWarning};
    }
    return {};
}

} // namespace

TDeleteDlg1::TDeleteDlg1(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("DeleteDlg1"));
    auto* panel = new QFrame;
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setFrameShape(QFrame::Panel);
    panel->setFrameShadow(QFrame::Sunken);
    Label1 = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    Label2 = new QLabel(QStringLiteral("type in 'YES':"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = new QLabel;
    Label3->setObjectName(QStringLiteral("Label3"));
    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(3);
    Edit1->setValidator(new UpperCaseValidator(Edit1));
    auto* panelLayout = new QVBoxLayout(panel);
    panelLayout->addWidget(Label1);
    panelLayout->addWidget(Label2);
    panelLayout->addWidget(Edit1);
    panelLayout->addWidget(Label3);

    auto* buttons = new QDialogButtonBox;
    OKBtn = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TDeleteDlg1::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TDeleteDlg1::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(buttons);
    setAction(ConfirmedAction::DeleteRecord);
}

void TDeleteDlg1::SetTexts(const QString& request, const QString& warning)
{
    Label1->setText(request);
    Label3->setText(warning);
}

void TDeleteDlg1::setAction(ConfirmedAction action)
{
    const ActionTexts texts = textsOf(action);
    setWindowTitle(texts.caption);
    SetTexts(texts.request, texts.warning);
}

bool TDeleteDlg1::confirm(ConfirmedAction action, QWidget* parent)
{
    TDeleteDlg1 dialog(parent);
    dialog.setAction(action);
    return dialog.exec() == QDialog::Accepted;
}

void TDeleteDlg1::accept()
{
    if (Edit1->text() == confirmation)
        QDialog::accept();
    else
        reject();
}

void TDeleteDlg1::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}
