#include "TMultiMediaEdit.h"

#include "mainwindow/controls/HelpPages.h"

#include <QMenu>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

constexpr int attachmentHelpContext = 36;
// The edit's own inner margin around its text.
constexpr int textMargin = 2;

} // namespace

TMultiMediaEdit::TMultiMediaEdit(QWidget* parent) : TMyBtnEdit(parent)
{
    setAutoSelect(false);
    setLockWhenDisabled(true);
    // Nothing may change the path but the dialog and the menu.
    setReadOnly(true);
    setToolTip(QStringLiteral("Attachment Field - see help for more information"));
    setButtonHint(QStringLiteral("Click Here To Set/Run the Attachment"));

    auto* menu = new QMenu(this);
    menu->addAction(QStringLiteral("Clear"), this, [this] { clear(); });
    menu->addAction(QStringLiteral("Set/Run"), this, [this] { buttonClick(); });
    menu->addSeparator();
    menu->addAction(QStringLiteral("Set Font..."), this, &TMultiMediaEdit::fontRequested);
    menu->addAction(QStringLiteral("Set Color..."), this, &TMultiMediaEdit::colorRequested);
    menu->addSeparator();
    menu->addAction(QStringLiteral("&Help"), this, [] { help::showContext(attachmentHelpContext); });
    setPopupMenu(menu);
    connect(this, &QLineEdit::textChanged, this, qOverload<>(&QWidget::update));
}

QString TMultiMediaEdit::shownName() const
{
    const QString path = text();
    const qsizetype delimiter =
        std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    return path.mid(delimiter + 1);
}

bool TMultiMediaEdit::takeAttachedFile(const QString& file)
{
    if (isLocked())
        return false;
    setText(file);
    return true;
}

bool TMultiMediaEdit::isValidChar(QChar) const
{
    return false;
}

void TMultiMediaEdit::buttonClick()
{
    emit attachmentDialogRequested();
}

void TMultiMediaEdit::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect area = style()
                           ->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                           .marginsRemoved(textMargins())
                           .adjusted(textMargin, 0, -textMargin, 0);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    const Qt::Alignment horizontal =
        QStyle::visualAlignment(layoutDirection(), alignment()) & Qt::AlignHorizontal_Mask;
    painter.drawText(area, static_cast<int>(horizontal | Qt::AlignVCenter),
                     fontMetrics().elidedText(shownName(), Qt::ElideRight, area.width()));
}
