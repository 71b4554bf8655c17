#include "TFieldFilterDlg.h"

#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "editors/TFilterEdit.h"
#include "editors/TfrmCalPop.h"
#include "FilterValues.h"
#include "mainwindow/controls/HelpPages.h"
#include "store/Prompts.h"
#include "TFilterList.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using search::FieldClass;
using search::TFilter;

namespace {

QLineEdit* valueBox(FieldClass kind, int dateFormat)
{
    if (kind == FieldClass::Number)
        return new TCurrencyEdit;
    if (kind == FieldClass::Date) {
        auto* box = new TDateEdit;
        box->setDateFormat(dateFormat >= 0 && dateFormat <= 2 ? dateFormat : TDateEdit::YearOnly);
        box->hideFontColorItems();
        return box;
    }
    return new TFilterEdit;
}

int kindOf(FieldClass kind)
{
    return kind == FieldClass::Number ? TFilter::FloatKind
           : kind == FieldClass::Date ? TFilter::DateKind
                                      : TFilter::TextKind;
}

} // namespace

TFieldFilterDlg::TFieldFilterDlg(TFilter& condition, search::TFilterList& filters,
                                 const search::SearchField& field, const FilterDialogContext& context,
                                 store::Prompts& prompts, QWidget* parent)
    : QDialog(parent), Value1(valueBox(field.kind, context.dateFormat())),
      Value2(valueBox(field.kind, context.dateFormat())), WordLabel(new QLabel),
      ValueList(new QPlainTextEdit), RemoveBtn(new QPushButton(QStringLiteral("&Remove"))),
      PopulateBtn(new QPushButton(QStringLiteral("&Populate"))),
      AddDatesBtn(new QPushButton(QStringLiteral("&Add"))), OkBtn(new QPushButton(QStringLiteral("&OK"))),
      CancelBtn(new QPushButton(QStringLiteral("&Cancel"))),
      HelpBtn(new QPushButton(QStringLiteral("&Help"))), m_condition(condition), m_filters(filters),
      m_field(field), m_context(context), m_prompts(prompts)
{
    setObjectName(QStringLiteral("FieldFilterDlg"));
    setWindowTitle(QStringLiteral("Filter For ") + field.caption);
    setProperty("helpContext", helpContext);
    buildWindow(field.caption);
    presetFromCondition();
    operatorChosen();
}

void TFieldFilterDlg::buildWindow(const QString& caption)
{
    auto* group = new QGroupBox(QStringLiteral("Is"));
    auto* operators = new QVBoxLayout(group);
    for (const char* name : {"<", "<=", "=", ">=", ">", "Between", "One Of"}) {
        Operators.append(new QRadioButton(QString::fromLatin1(name)));
        operators->addWidget(Operators.last());
        connect(Operators.last(), &QRadioButton::toggled, this, &TFieldFilterDlg::operatorChosen);
    }
    ValueList->setToolTip(QStringLiteral("Enter One Value Per Line Here"));
    RemoveBtn->setToolTip(QStringLiteral("Remove Current Line"));
    PopulateBtn->setToolTip(QStringLiteral("Fill The List With All Values"));
    AddDatesBtn->setToolTip(QStringLiteral("Add Dates From Calendar"));
    OkBtn->setDefault(true);
    if (auto* date = qobject_cast<TDateEdit*>(Value1))
        connect(date, &TDateEdit::formatChanged, this, [this](int format) {
            qobject_cast<TDateEdit*>(Value2)->setDateFormat(format);
            if (m_context.setDateFormat)
                m_context.setDateFormat(format >= 0 && format <= 2 ? format : TDateEdit::YearOnly);
        });

    auto* values = new QGridLayout;
    values->addWidget(new QLabel(QStringLiteral("Select Records For Which Value Of")), 0, 0, 1, 3);
    values->addWidget(new QLabel(caption), 1, 0, 1, 3);
    values->addWidget(Value1, 2, 0);
    values->addWidget(WordLabel, 2, 1);
    values->addWidget(Value2, 2, 2);
    values->addWidget(ValueList, 3, 0, 1, 3);
    auto* listButtons = new QHBoxLayout;
    for (QPushButton* button : {RemoveBtn, PopulateBtn, AddDatesBtn})
        listButtons->addWidget(button);
    values->addLayout(listButtons, 4, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* button : {OkBtn, CancelBtn, HelpBtn})
        buttons->addWidget(button);
    auto* top = new QHBoxLayout;
    top->addWidget(group);
    top->addLayout(values, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);

    // Remove works on the line of the caret, so it takes no focus and is offered while the list has it.
    RemoveBtn->setFocusPolicy(Qt::NoFocus);
    RemoveBtn->setEnabled(false);
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { RemoveBtn->setEnabled(now == ValueList); });
    connect(RemoveBtn, &QPushButton::clicked, this, &TFieldFilterDlg::removeCaretLine);
    connect(PopulateBtn, &QPushButton::clicked, this, [this] {
        ValueList->setPlainText(m_context.lookupItems(m_field.column).join(QLatin1Char('\n')));
    });
    connect(AddDatesBtn, &QPushButton::clicked, this, &TFieldFilterDlg::addDatesFromCalendar);
    connect(OkBtn, &QPushButton::clicked, this, &TFieldFilterDlg::okClicked);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(HelpBtn, &QPushButton::clicked, this, [] { help::showContext(helpContext); });
}

void TFieldFilterDlg::presetFromCondition()
{
    Operators.at(std::min<int>(m_condition.Operator, TFilter::OneOf))->setChecked(true);
    const QList<QPair<QLineEdit*, QString>> boxes{{Value1, m_condition.Value1}, {Value2, m_condition.Value2}};
    for (const auto& [box, value] : boxes) {
        auto* money = qobject_cast<TCurrencyEdit*>(box);
        if (money && !value.isEmpty())
            money->setValue(search::readFilterNumber(value));
        else if (auto* date = qobject_cast<TDateEdit*>(box))
            date->setDateText(value);
        else
            box->setText(value);
    }
    ValueList->setPlainText(m_condition.Values.join(QLatin1Char('\n')));
}

int TFieldFilterDlg::chosenOperator() const
{
    for (int i = 0; i < Operators.size(); ++i)
        if (Operators.at(i)->isChecked())
            return i;
    return TFilter::Equal;
}

void TFieldFilterDlg::operatorChosen()
{
    const int op = chosenOperator();
    const bool oneOf = op == TFilter::OneOf;
    Value1->setVisible(!oneOf);
    WordLabel->setVisible(!oneOf);
    Value2->setVisible(op == TFilter::Between);
    WordLabel->setText(op == TFilter::Between                          ? QStringLiteral("AND")
                       : op == TFilter::Less || op == TFilter::Greater ? QStringLiteral("THAN")
                                                                       : QStringLiteral("TO"));
    ValueList->setVisible(oneOf);
    RemoveBtn->setVisible(oneOf);
    const bool hasLookup = m_context.lookupItems && !m_context.lookupItems(m_field.column).isEmpty();
    PopulateBtn->setVisible(oneOf && hasLookup);
    AddDatesBtn->setVisible(oneOf && !hasLookup && m_field.kind == FieldClass::Date);
}

void TFieldFilterDlg::removeCaretLine()
{
    QStringList lines = ValueList->toPlainText().split(QLatin1Char('\n'));
    const int line = ValueList->textCursor().blockNumber();
    if (line < lines.size())
        lines.removeAt(line);
    ValueList->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFieldFilterDlg::addDatesFromCalendar()
{
    TDateEdit picked;
    picked.setDateFormat(qobject_cast<TDateEdit*>(Value1)->dateFormat());
    for (;;) {
        TfrmCalPop calendar(&picked);
        const int result = calendar.exec();
        if (result == TfrmCalPop::TodayChosen)
            picked.setDate(QDate::currentDate());
        else if (result != QDialog::Accepted)
            return;
        ValueList->appendPlainText(picked.dateText());
    }
}

bool TFieldFilterDlg::isEmptyValue(QLineEdit* box) const
{
    if (auto* date = qobject_cast<TDateEdit*>(box))
        return date->isBlank();
    return box->text().trimmed().isEmpty();
}

QString TFieldFilterDlg::valueText(QLineEdit* box) const
{
    if (auto* money = qobject_cast<TCurrencyEdit*>(box))
        money->reformat();
    return box->text();
}

void TFieldFilterDlg::okClicked()
{
    const int op = chosenOperator();
    QStringList lines;
    if (op == TFilter::OneOf) {
        for (const QString& line : ValueList->toPlainText().split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines.append(line);
        if (lines.isEmpty()) {
            m_prompts.error(QString::fromLatin1(EmptyExpressionMessage));
            return;
        }
    } else {
        if (isEmptyValue(Value1)) {
            reject();
            return;
        }
        if (op == TFilter::Between && isEmptyValue(Value2)) {
            m_prompts.error(QString::fromLatin1(EmptyExpressionMessage));
            return;
        }
    }
    m_condition.Values = lines;
    m_filters.SetCondition(m_condition, op == TFilter::OneOf ? QString() : valueText(Value1),
                           op == TFilter::Between ? valueText(Value2) : QString(), kindOf(m_field.kind), op);
    accept();
}
