#include "TCalcDlg.h"

#include "TMyBtnEdit.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLocale>
#include <QPainter>
#include <QPushButton>

namespace {

const QColor silver(0xC0, 0xC0, 0xC0);
const QColor gray(0x80, 0x80, 0x80);
constexpr QSize keySize(32, 26);
const char* const keyProperty = "tag";

} // namespace

TCalcDlg::TCalcDlg(TMyBtnEdit* edit, double start)
    : QDialog(edit, Qt::Dialog | Qt::FramelessWindowHint), m_edit(edit),
      m_engine(static_cast<long double>(start)), m_okButton(new QPushButton(QStringLiteral("OK"), this)),
      m_cancelButton(new QPushButton(QStringLiteral("Cancel"), this))
{
    setWindowTitle(QStringLiteral("Calculator"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(6, 6, 6, 6);
    grid->setSpacing(3);

    addKey(0, 0, QStringLiteral("C"), QLatin1Char('C'), QStringLiteral("Clear"));
    addKey(0, 1, QStringLiteral("<-"), editors::CalculatorEngine::backspaceKey, QStringLiteral("Backspace"));
    addKey(0, 2, QStringLiteral("+/-"), editors::CalculatorEngine::signKey, QStringLiteral("Switch Sign"));
    addKey(0, 3, QStringLiteral("/"), QLatin1Char('/'), QStringLiteral("Divide"));
    const char* const digitRows[] = {"789", "456", "123"};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const QChar digit = QLatin1Char(digitRows[row][column]);
            addKey(row + 1, column, QString(digit), digit, QString());
        }
    }
    addKey(1, 3, QStringLiteral("*"), QLatin1Char('*'), QStringLiteral("Multiply"));
    addKey(2, 3, QStringLiteral("-"), QLatin1Char('-'), QStringLiteral("Subtract"));
    addKey(3, 3, QStringLiteral("+"), QLatin1Char('+'), QStringLiteral("Add"));
    addKey(4, 0, QStringLiteral("0"), QLatin1Char('0'), QString());
    addKey(4, 1, QStringLiteral("."), QLatin1Char('.'), QStringLiteral("Decimal Point"));
    addKey(4, 2, QStringLiteral("%"), QLatin1Char('%'), QStringLiteral("Percent"));
    addKey(4, 3, QStringLiteral("="), QLatin1Char('='), QStringLiteral("Equals"));

    m_okButton->setToolTip(QStringLiteral("Close and Update the edit field"));
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    m_cancelButton->setToolTip(QStringLiteral("Close and don't Update the edit field"));
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    grid->addWidget(m_okButton, 5, 0, 1, 2);
    grid->addWidget(m_cancelButton, 5, 2, 1, 2);

    adjustSize();
    setFixedSize(size());
    edit->placeUnder(this);
    m_okButton->setFocus();
}

void TCalcDlg::addKey(int row, int column, const QString& caption, QChar key, const QString& hint)
{
    auto* button = new QPushButton(caption, this);
    button->setProperty(keyProperty, static_cast<int>(key.unicode()));
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setFixedSize(keySize);
    connect(button, &QPushButton::clicked, this, [this, key] {
        press(key);
        m_okButton->setFocus();
    });
    static_cast<QGridLayout*>(layout())->addWidget(button, row, column);
}

QPushButton* TCalcDlg::keyButton(QChar key) const
{
    for (QPushButton* button : findChildren<QPushButton*>()) {
        if (button->property(keyProperty).toInt() == key.unicode())
            return button;
    }
    return nullptr;
}

void TCalcDlg::press(QChar key)
{
    m_engine.press(key);
    m_edit->setText(m_engine.text());
}

void TCalcDlg::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        press(editors::CalculatorEngine::backspaceKey);
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        press(editors::CalculatorEngine::carriageReturnKey);
        return;
    case Qt::Key_Escape:
        QDialog::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString typed = event->text();
    if (typed.size() != 1) {
        QDialog::keyPressEvent(event);
        return;
    }
    // The locale's decimal separator types the point too.
    const QChar key = typed == QLocale().decimalPoint() ? QLatin1Char('.') : typed.at(0);
    press(key);
}

void TCalcDlg::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), silver);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.setPen(Qt::white);
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(gray);
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());
}
