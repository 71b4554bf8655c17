#include "TFieldDlg.h"

#include "dbase/Errors.h"
#include "dbase/Table.h"
#include "pictures/TMultiImgControl.h"
#include "RecordTableModel.h"
#include "store/ColumnValues.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Run-wide memory; nothing of it is stored.
QSize lastSize;
bool autoWrapChosen = false;

constexpr int hiddenWindowTag = 1000;

} // namespace

void TFieldDlg::resetRunMemory()
{
    lastSize = QSize();
    autoWrapChosen = false;
}

QSize TFieldDlg::rememberedSize()
{
    return lastSize;
}

bool TFieldDlg::rememberedAutoWrap()
{
    return autoWrapChosen;
}

TFieldDlg::TFieldDlg(RecordTableModel& model, int row, int column, QWidget* parent)
    : QDialog(parent), m_model(model), m_row(row), m_column(column)
{
    setObjectName(QStringLiteral("FieldDlg"));
    auto* holder = new QWidget;
    auto* buttons = new QDialogButtonBox;
    OKBtn = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    CancelBtn = buttons->addButton(QStringLiteral("&Cancel"), QDialogButtonBox::RejectRole);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    connect(buttons, &QDialogButtonBox::accepted, this, &TFieldDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TFieldDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(holder, 1);
    layout->addWidget(buttons);
    buildEditor(holder);
    resize(460, Memo1 || Picture ? 360 : sizeHint().height());
    loadValue();
}

TFieldDlg::~TFieldDlg()
{
    if (AutoWrap)
        autoWrapChosen = AutoWrap->isChecked();
}

void TFieldDlg::buildEditor(QWidget* holder)
{
    const dbase::FieldDescriptor& field = m_model.field(m_column);
    const bool readOnly = m_model.isReadOnly();
    auto* layout = new QVBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    if (field.isMemo()) {
        Memo1 = new QPlainTextEdit;
        Memo1->setObjectName(QStringLiteral("Memo1"));
        Memo1->setReadOnly(readOnly);
        AutoWrap = new QCheckBox(QStringLiteral("Auto-Wrap"));
        AutoWrap->setObjectName(QStringLiteral("AutoWrap"));
        connect(AutoWrap, &QCheckBox::toggled, this, &TFieldDlg::applyAutoWrap);
        AutoWrap->setChecked(autoWrapChosen);
        applyAutoWrap(autoWrapChosen);
        layout->addWidget(Memo1, 1);
        layout->addWidget(AutoWrap);
    } else if (field.isBinary()) {
        Picture = new TMultiImgControl;
        Picture->setObjectName(QStringLiteral("Picture"));
        Picture->setReadOnly(readOnly);
        layout->addWidget(Picture, 1);
    } else {
        Edit1 = new QLineEdit;
        Edit1->setObjectName(QStringLiteral("Edit1"));
        Edit1->setReadOnly(readOnly);
        if (field.isText())
            Edit1->setMaxLength(field.length);
        layout->addWidget(Edit1);
        layout->addStretch();
    }
}

void TFieldDlg::loadValue()
{
    dbase::Table& record = m_model.recordOf(m_row);
    if (Edit1) {
        Edit1->setText(m_model.data(m_model.index(m_row, m_column), Qt::EditRole).toString());
        return;
    }
    try {
        if (Memo1)
            Memo1->setPlainText(store::columnMemoLines(record, m_column).join(QLatin1Char('\n')));
        else
            Picture->loadFromColumn(record, m_column);
    } catch (const dbase::EngineError&) {
        // The damaged value is not shown; OK replaces it with what the editor holds.
    } catch (const dbase::DatabaseError&) {
        // The row is gone; OK reports why nothing can be written.
    }
}

void TFieldDlg::applyAutoWrap(bool wrap)
{
    Memo1->setLineWrapMode(wrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    Memo1->setHorizontalScrollBarPolicy(wrap ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
}

void TFieldDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (property("tag").toInt() == hiddenWindowTag)
        return;
    if (lastSize.isValid())
        resize(lastSize);
    setWindowTitle(QStringLiteral("Edit Field - ") + QString::fromStdString(m_model.field(m_column).name));
    if (Memo1)
        Memo1->setFocus();
    else if (Edit1)
        Edit1->setFocus();
}

void TFieldDlg::accept()
{
    if (m_model.isReadOnly()) {
        QDialog::accept();
        return;
    }
    bool stored = false;
    if (Edit1) {
        stored = m_model.setData(m_model.index(m_row, m_column), Edit1->text(), Qt::EditRole);
    } else {
        stored = m_model.changeRow(m_row, [this](dbase::Table& record) {
            const QString text = Memo1 ? Memo1->toPlainText() : QString();
            if (Memo1 && text.isEmpty())
                record.clear(static_cast<std::size_t>(m_column));
            else if (Memo1)
                store::setColumnMemoLines(record, m_column, text.split(QLatin1Char('\n')));
            else
                Picture->storeToColumn(record, m_column);
        });
    }
    // What could not be written stays in the editor, so nothing typed is lost.
    if (stored && m_model.postRow())
        QDialog::accept();
}

void TFieldDlg::reject()
{
    if (m_model.editingRow() == m_row)
        m_model.cancelRow();
    QDialog::reject();
}

void TFieldDlg::done(int result)
{
    lastSize = size();
    QDialog::done(result);
}
