#include "TSpeedBar.h"

#include "mainwindow/controls/THotBtn.h"

#include <QAction>
#include <QResizeEvent>
#include <QTabBar>

namespace {

// Room the page frame and the tab row take from the bar's height, besides the tab bar itself.
constexpr int frameRoom = 12;
constexpr int minimumButtonHeight = 20;

QString withoutMnemonic(QString text)
{
    return text.remove(QLatin1Char('&'));
}

} // namespace

TSpeedBar::TSpeedBar(QWidget* parent) : QTabWidget(parent)
{
    setTabPosition(QTabWidget::South);
    setDocumentMode(false);
    tabBar()->setMouseTracking(true);
    setFixedHeight(barHeight);
}

int TSpeedBar::addPage(const QString& caption)
{
    auto* page = new QWidget;
    page->setObjectName(QStringLiteral("SpeedBarPage") + caption);
    page->setAutoFillBackground(true);
    m_buttons.append(QList<THotBtn*>());
    m_captions.append(QStringList());
    m_fullWidths.append(QList<int>());
    return addTab(page, caption);
}

THotBtn* TSpeedBar::addButton(int page, QAction* command, const QString& caption, const QIcon& glyph)
{
    auto* button = new THotBtn(caption.isEmpty() ? withoutMnemonic(command->text()) : caption, widget(page));
    button->setObjectName(QStringLiteral("SpeedButton") + button->text());
    button->setIcon(glyph);
    button->setToolTip(command->toolTip());
    button->setFocusPolicy(Qt::NoFocus);
    button->setEnabled(command->isEnabled());
    connect(button, &QPushButton::clicked, command, &QAction::trigger);
    connect(command, &QAction::changed, button,
            [button, command] { button->setEnabled(command->isEnabled()); });
    m_buttons[page].append(button);
    m_captions[page].append(button->text());
    m_fullWidths[page].append(button->sizeHint().width());
    button->resize(m_fullWidths[page].last(), buttonHeight());
    return button;
}

int TSpeedBar::pageWidth() const
{
    return currentWidget() ? currentWidget()->width() : width();
}

int TSpeedBar::buttonHeight() const
{
    return std::max(minimumButtonHeight, barHeight - tabBar()->sizeHint().height() - frameRoom);
}

int TSpeedBar::rowWidth(int page, bool withCaptions) const
{
    int total = spacing;
    for (int width : m_fullWidths[page])
        total += (withCaptions ? width : buttonHeight()) + spacing;
    return total;
}

void TSpeedBar::setCaptionsShown(bool shown)
{
    m_showCaptions = shown;
    for (qsizetype page = 0; page < m_buttons.size(); ++page) {
        for (qsizetype i = 0; i < m_buttons[page].size(); ++i)
            m_buttons[page][i]->setText(shown ? m_captions[page][i] : QString());
    }
}

void TSpeedBar::arrangeButtons()
{
    const int available = pageWidth();
    bool anyTooLong = false;
    bool allShorter = true;
    for (qsizetype page = 0; page < m_buttons.size(); ++page) {
        const int full = rowWidth(static_cast<int>(page), true);
        anyTooLong = anyTooLong || full > available;
        allShorter = allShorter && full < available;
    }
    if (m_showCaptions && anyTooLong)
        setCaptionsShown(false);
    else if (!m_showCaptions && allShorter)
        setCaptionsShown(true);

    const int height = buttonHeight();
    const int top = std::max(0, ((currentWidget() ? currentWidget()->height() : height) - height) / 2);
    for (qsizetype page = 0; page < m_buttons.size(); ++page) {
        int left = spacing;
        for (qsizetype i = 0; i < m_buttons[page].size(); ++i) {
            const int width = m_showCaptions ? m_fullWidths[page][i] : height;
            m_buttons[page][i]->setGeometry(left, top, width, height);
            left += width + spacing;
        }
    }
}

void TSpeedBar::resizeEvent(QResizeEvent* event)
{
    QTabWidget::resizeEvent(event);
    arrangeButtons();
}

void TSpeedBar::showEvent(QShowEvent* event)
{
    QTabWidget::showEvent(event);
    arrangeButtons();
}
