// The frame of the record window: its regions, how they are laid out when the window or the panes change
// size, the record-page stretch, the splitter and the view options.
#include "mainwindow/controls/THotBtn.h"
#include "mainwindow/controls/THotSpeedBtn.h"
#include "mainwindow/controls/TKestoHeader.h"
#include "mainwindow/controls/TSortButton.h"
#include "mainwindow/controls/TSplitControl.h"
#include "pictures/TDbMultiImgControl.h"
#include "store/ProgramTexts.h"
#include "TForm1.h"
#include "TSpeedBar.h"

#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

namespace {

// The size the window opens with when no bounds are stored, and the right pane's share of it.
constexpr int designWidth = 760;
constexpr int designHeight = 560;
constexpr int designRightPaneWidth = 460;

// Taller than wide: the splitter drag then draws a vertical line as wide as the grip.
constexpr int gripWidth = 8;
constexpr int gripHeight = 12;

// Left pane: the sort bar and the header at the top, the navigation bar at the bottom.
constexpr int paneMargin = 4;
constexpr int sortBarHeight = 20;
constexpr int headerHeight = 20;
constexpr int navigationBarHeight = 28;
constexpr int navigationGap = 2;
constexpr int navigationSpare = 12;

// Letter column: a scroll button above and below the letter tabs.
constexpr int scrollButtonHeight = 16;

// Right pane: the status bar above the record pages, the record speed bar below them.
constexpr int rightMargin = 2;
constexpr int statusBarHeight = 24;
constexpr int templateButtonWidth = 72;
constexpr int recordSpeedBarHeight = 30;
constexpr int recordButtonSize = 24;
constexpr int positionLabelWidth = 44;
constexpr int positionLabelGap = 2;

recordpage::ItemKind kindOf(const QWidget* widget)
{
    if (qobject_cast<const QLabel*>(widget))
        return recordpage::ItemKind::Caption;
    if (qobject_cast<const QPlainTextEdit*>(widget))
        return recordpage::ItemKind::MultiLine;
    if (qobject_cast<const TDbMultiImgControl*>(widget))
        return recordpage::ItemKind::Picture;
    return recordpage::ItemKind::OneLine;
}

// The splitter grip hands its mouse to the window's splitter drag.
class SplitterGrip : public QWidget
{
public:
    SplitterGrip(QWidget* parent, TSplitControl* split, QWidget* panel, std::function<void()> dropped)
        : QWidget(parent), m_split(split), m_panel(panel), m_dropped(std::move(dropped))
    {
        setObjectName(QStringLiteral("SplitterGrip"));
        setToolTip(QStringLiteral("Resize Left and Right Pages"));
        setCursor(Qt::SplitHCursor);
        setAutoFillBackground(true);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton)
            m_split->Start(this, m_panel);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        const QPoint at = event->position().toPoint();
        m_split->Move(at.x(), at.y());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (event->button() == Qt::LeftButton && m_split->IsDragging()) {
            m_split->Stop();
            m_dropped();
        }
    }

private:
    TSplitControl* m_split;
    QWidget* m_panel;
    std::function<void()> m_dropped;
};

} // namespace

void TForm1::buildWindow(RecordPagesBuilder buildPages)
{
    setWindowTitle(store::windowTitlePrefix);
    setMinimumSize(minimumWindowWidth, minimumWindowHeight);
    setWindowFlag(Qt::WindowStaysOnTopHint, m_session.database.stayOnTop);
    m_client = new QWidget;
    m_client->setObjectName(QStringLiteral("ClientArea"));
    m_client->setAutoFillBackground(true);
    setCentralWidget(m_client);

    createCommands();
    m_speedBar = new TSpeedBar(m_client);
    m_speedBar->setObjectName(QStringLiteral("SpeedBar"));
    buildSpeedBar();
    buildLeftPane();
    buildLetterColumn();
    buildRightPane(buildPages);
    buildSplitterGrip();
    buildMenus();
    buildWindowMenu();
    buildRecordPageMenu();
    m_pages->setCurrentIndex(0);
    m_speedBar->setCurrentIndex(0);
    resize(designWidth, designHeight);
    m_rightPane->resize(designRightPaneWidth, m_rightPane->height());
    // The window sees keys, hints, resizes and pop-up requests of its controls before they do.
    qApp->installEventFilter(this);
}

void TForm1::buildLeftPane()
{
    m_leftPane = new QFrame(m_client);
    m_leftPane->setObjectName(QStringLiteral("LeftPane"));
    m_leftPane->setAutoFillBackground(true);
    m_sortBar = new TSortButton(m_leftPane);
    m_sortBar->setObjectName(QStringLiteral("SortBar"));
    m_header = new TKestoHeader(m_leftPane);
    m_header->setObjectName(QStringLiteral("Header"));

    m_navigationBar = new QWidget(m_leftPane);
    m_navigationBar->setObjectName(QStringLiteral("NavigationBar"));
    const struct
    {
        Command command;
        const char* caption;
    } buttons[] = {{Command::First, "First"},
                   {Command::PageUp, "PgUp"},
                   {Command::HomePage, ""},
                   {Command::PageDown, "PgDn"},
                   {Command::Last, "Last"}};
    for (const auto& [which, caption] : buttons) {
        QAction* action = command(which);
        auto* button = new THotBtn(QString::fromLatin1(caption), m_navigationBar);
        button->setObjectName(QStringLiteral("Navigation") + action->objectName());
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(action->isEnabled());
        connect(button, &QPushButton::clicked, action, &QAction::trigger);
        connect(action, &QAction::changed, button,
                [button, action] { button->setEnabled(action->isEnabled()); });
        m_navigationButtons.append(button);
    }
    QAbstractButton* home = m_navigationButtons[2];
    home->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));
    home->setToolTip(QStringLiteral("Click to visit Kestovan home page"));
    home->setContextMenuPolicy(Qt::PreventContextMenu);
    m_navigationButtons[0]->setToolTip(QStringLiteral("GoTo First Page [Ctrl+Home]"));
    m_navigationButtons[1]->setToolTip(QStringLiteral("GoTo Previous Page [Ctrl+PgUp]"));
    m_navigationButtons[3]->setToolTip(QStringLiteral("GoTo Next Page [Ctrl+PgDn]"));
    m_navigationButtons[4]->setToolTip(QStringLiteral("GoTo Last Page [Ctrl+End]"));
    for (QAbstractButton* button : m_navigationButtons)
        m_navigationWidths.append(button->fontMetrics().horizontalAdvance(button->text()) + 16);
}

void TForm1::buildLetterColumn()
{
    m_letterColumn = new QWidget(m_client);
    m_letterColumn->setObjectName(QStringLiteral("LetterColumn"));
    auto scrollButton = [this](const QString& name, Qt::ArrowType arrow, const QString& hint) {
        auto* button = new QToolButton(m_letterColumn);
        button->setObjectName(name);
        button->setArrowType(arrow);
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus);
        button->setEnabled(false);
        return button;
    };
    m_scrollUp =
        scrollButton(QStringLiteral("ScrollLettersUp"), Qt::UpArrow, QStringLiteral("Scroll Letter Bar Up"));
    m_letterTabs = new QWidget(m_letterColumn);
    m_letterTabs->setObjectName(QStringLiteral("LetterTabs"));
    m_letterTabs->setToolTip(QStringLiteral("If Letter Tabs are disabled select Primary Sort Field"));
    m_scrollDown = scrollButton(QStringLiteral("ScrollLettersDown"), Qt::DownArrow,
                                QStringLiteral("Scroll Letter Bar Down"));
    buildLetterTabs();
}

void TForm1::buildRightPane(RecordPagesBuilder buildPages)
{
    m_rightPane = new QWidget(m_client);
    m_rightPane->setObjectName(QStringLiteral("RightPane"));
    m_rightPane->setAutoFillBackground(true);

    m_statusBar = new QWidget(m_rightPane);
    m_statusBar->setObjectName(QStringLiteral("StatusBar"));
    m_status = new QLabel(m_statusBar);
    m_status->setObjectName(QStringLiteral("StatusText"));
    m_status->setFrameShape(QFrame::StyledPanel);
    m_status->setAutoFillBackground(true);
    m_templateButton = new THotSpeedBtn(m_statusBar);
    m_templateButton->setObjectName(QStringLiteral("TemplateButton"));
    m_templateButton->setText(QStringLiteral("Blank"));
    m_templateButton->setToolTip(
        QStringLiteral("Left Click - Select New Record Template; Right Click - Popup Menu"));
    buildTemplateMenu();

    m_pages = new QTabWidget(m_rightPane);
    m_pages->setObjectName(QStringLiteral("RecordPages"));
    m_pages->tabBar()->setToolTip(QStringLiteral("Use Drag and Drop to change the Tab Order"));
    m_pages->setMovable(true);
    buildPages(m_pages);
    for (int i = 0; i < m_pages->count(); ++i)
        m_pages->widget(i)->setAutoFillBackground(true);
    buildRecordSpeedBar();
}

void TForm1::buildRecordSpeedBar()
{
    m_recordSpeedBar = new QWidget(m_rightPane);
    m_recordSpeedBar->setObjectName(QStringLiteral("RecordSpeedBar"));
    m_recordSpeedBar->setToolTip(QStringLiteral("This is a Speed Bar for the Current Record (above)"));
    m_recordSpeedBar->setAutoFillBackground(true);
    for (Command which :
         {Command::PrintRecord, Command::DeleteRecord, Command::CopyRecord, Command::PasteRecord,
          Command::UndoChanges, Command::Synchronize, Command::Previous, Command::Next}) {
        auto* button = new THotSpeedBtn(m_recordSpeedBar);
        button->setDefaultAction(command(which));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
        button->setObjectName(QStringLiteral("RecordButton") + command(which)->objectName());
        m_recordButtons.append(button);
    }
    auto positionLabel = [this](const QString& name) {
        auto* label = new QLabel(m_recordSpeedBar);
        label->setObjectName(name);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setAutoFillBackground(true);
        QFont small = label->font();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        label->setFont(small);
        return label;
    };
    m_positionLabel = positionLabel(QStringLiteral("PositionLabel"));
    m_percentLabel = positionLabel(QStringLiteral("PercentLabel"));
}

void TForm1::buildSplitterGrip()
{
    m_split = new TSplitControl(m_client);
    m_splitterGrip = new SplitterGrip(m_client, m_split, m_rightPane, [this] { endSplitterDrag(); });
    m_splitterGrip->resize(gripWidth, gripHeight);
}

// The controls of each record page as the form designed them; the stretch starts from there.
void TForm1::collectPageItems()
{
    m_pageLayouts.clear();
    for (int page = 0; page < m_pages->count(); ++page) {
        QWidget* panel = m_pages->widget(page);
        PageLayout layout;
        layout.panel = panel;
        layout.designWidth = panel->width();
        for (QWidget* control : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            const int tag = control->property("tag").toInt();
            if (tag <= 0)
                continue;
            layout.widgets.append(control);
            layout.design.append({kindOf(control), tag, control->geometry()});
        }
        layout.base = layout.design;
        panel->setProperty("pageLayout", page);
        m_pageLayouts.append(layout);
    }
}

void TForm1::stretchPage(int page)
{
    if (page < 0 || page >= m_pageLayouts.size())
        return;
    const PageLayout& layout = m_pageLayouts[page];
    const QList<QRect> geometry = recordpage::Stretch(layout.base, layout.designWidth, layout.panel->size());
    for (qsizetype i = 0; i < layout.widgets.size(); ++i)
        layout.widgets[i]->setGeometry(geometry[i]);
}

void TForm1::LayoutWindow()
{
    if (m_layoutSuspended)
        return;
    m_layoutSuspended = true;
    // 1. The left pane takes what the letters and the right pane leave; it keeps 180 pixels at least.
    int clientWidth = m_client->width();
    int rightWidth = m_rightPane->width();
    int leftWidth = clientWidth - letterColumnWidth - rightWidth;
    if (leftWidth < minimumLeftPaneWidth) {
        const int missing = minimumLeftPaneWidth - leftWidth;
        const int givenUp = std::clamp(rightWidth - m_rightPaneMinimum, 0, missing);
        rightWidth -= givenUp;
        const int stillMissing = missing - givenUp;
        if (stillMissing > 0) {
            clientWidth += stillMissing;
            resize(width() + stillMissing, height());
        }
        leftWidth = clientWidth - letterColumnWidth - rightWidth;
    }
    m_leftPane->resize(leftWidth, m_leftPane->height());
    m_rightPane->resize(rightWidth, m_rightPane->height());
    m_letterColumn->resize(letterColumnWidth, m_letterColumn->height());
    // 3. The speed bar spans the window.
    m_speedBar->resize(clientWidth, TSpeedBar::barHeight);
    m_speedBar->arrangeButtons();
    // 4. and 5. Heights and places.
    placePanesVertically();
    // 2. and 6. Inside the panes.
    layoutNavigationBar();
    layoutRecordButtons();
    layoutLetterTabs();
    layoutRightPane();
    m_layoutSuspended = false;
    RefreshRecordList();
}

void TForm1::placePanesVertically()
{
    const bool speedBarShown = !m_speedBar->isHidden();
    const int clientHeight = m_client->height();
    const int paneHeight =
        std::max(0, clientHeight - (speedBarShown ? TSpeedBar::barHeight : 0) - gripHeight);
    const bool speedBarBelow = speedBarShown && m_session.database.speedBarLocation == 1;
    const int panesTop = speedBarShown && !speedBarBelow ? TSpeedBar::barHeight : 0;
    m_speedBar->move(0, speedBarBelow ? paneHeight + gripHeight : 0);

    const int leftWidth = m_leftPane->width();
    const int rightWidth = m_rightPane->width();
    const bool lettersOnRight = m_session.database.letterTabsLocation == 1;
    m_leftPane->setGeometry(0, panesTop, leftWidth, paneHeight);
    const int rightLeft = lettersOnRight ? leftWidth : leftWidth + letterColumnWidth;
    m_rightPane->setGeometry(rightLeft, panesTop, rightWidth, paneHeight);
    m_letterColumn->setGeometry(lettersOnRight ? rightLeft + rightWidth : leftWidth, panesTop,
                                letterColumnWidth, paneHeight);
    m_scrollUp->setGeometry(0, 0, letterColumnWidth, scrollButtonHeight);
    m_letterTabs->setGeometry(0, scrollButtonHeight, letterColumnWidth,
                              std::max(0, paneHeight - 2 * scrollButtonHeight));
    m_scrollDown->setGeometry(0, paneHeight - scrollButtonHeight, letterColumnWidth, scrollButtonHeight);
    m_splitterGrip->move(rightLeft - letterColumnWidth / 2 - gripWidth / 2, panesTop + paneHeight);
    m_splitterGrip->raise();
}

void TForm1::layoutNavigationBar()
{
    const int paneWidth = m_leftPane->width();
    const int paneHeight = m_leftPane->height();
    const int innerWidth = paneWidth - 10;
    m_sortBar->setGeometry(paneMargin, paneMargin, innerWidth, sortBarHeight);
    m_header->setGeometry(paneMargin, paneMargin + sortBarHeight + 2, innerWidth, headerHeight);
    m_navigationBar->setGeometry(0, paneHeight - navigationBarHeight, paneWidth, navigationBarHeight);

    // The four paging buttons lose their captions when the bar cannot hold them with the home button.
    const int buttonHeight = navigationBarHeight - 2 * navigationGap;
    const int homeWidth = buttonHeight;
    int fullWidth = homeWidth + navigationSpare;
    for (int i : {0, 1, 3, 4})
        fullWidth += m_navigationWidths[i];
    const QStringList captions = {QStringLiteral("First"), QStringLiteral("PgUp"), QString(),
                                  QStringLiteral("PgDn"), QStringLiteral("Last")};
    const bool wideEnough = paneWidth >= fullWidth;
    if (wideEnough != m_navigationCaptions) {
        m_navigationCaptions = wideEnough;
        for (int i : {0, 1, 3, 4})
            m_navigationButtons[i]->setText(wideEnough ? captions[i] : QString());
    }
    auto widthOf = [&](int i) { return m_navigationCaptions ? m_navigationWidths[i] : buttonHeight; };
    QAbstractButton* const* b = m_navigationButtons.constData();
    b[0]->setGeometry(paneMargin, navigationGap, widthOf(0), buttonHeight);
    b[1]->setGeometry(b[0]->geometry().right() + 1 + navigationGap, navigationGap, widthOf(1), buttonHeight);
    b[4]->setGeometry(paneWidth - paneMargin - widthOf(4), navigationGap, widthOf(4), buttonHeight);
    b[3]->setGeometry(b[4]->x() - navigationGap - widthOf(3), navigationGap, widthOf(3), buttonHeight);
    const int between = b[1]->geometry().right() + 1;
    b[2]->setGeometry(between + (b[3]->x() - between - homeWidth) / 2, navigationGap, homeWidth,
                      buttonHeight);
}

void TForm1::layoutRightPane()
{
    const int width = m_rightPane->width();
    const int height = m_rightPane->height();
    const int inner = width - 2 * rightMargin;
    m_statusBar->setGeometry(rightMargin, rightMargin, inner, statusBarHeight);
    m_status->setGeometry(0, 0, inner - templateButtonWidth - rightMargin, statusBarHeight);
    m_templateButton->setGeometry(inner - templateButtonWidth, 0, templateButtonWidth, statusBarHeight);
    const int pagesTop = rightMargin + statusBarHeight + rightMargin;
    const int pagesHeight = std::max(0, height - pagesTop - recordSpeedBarHeight - rightMargin);
    m_pages->setGeometry(rightMargin, pagesTop, inner, pagesHeight);
    m_recordSpeedBar->setGeometry(rightMargin, pagesTop + pagesHeight, inner, recordSpeedBarHeight);
    layoutRecordSpeedBar();
}

void TForm1::layoutRecordSpeedBar()
{
    const int width = m_recordSpeedBar->width();
    // The position labels, one above the other, 2 pixels from the right edge; Next and Previous before them.
    const int labelsLeft = width - positionLabelGap - positionLabelWidth;
    const int labelHeight = recordSpeedBarHeight / 2;
    m_positionLabel->setGeometry(labelsLeft, 0, positionLabelWidth, labelHeight);
    m_percentLabel->setGeometry(labelsLeft, labelHeight, positionLabelWidth,
                                recordSpeedBarHeight - labelHeight);
    // In a narrow pane the buttons get smaller rather than cover each other.
    const auto buttons = static_cast<int>(m_recordButtons.size());
    const int size = std::clamp((labelsLeft - rightMargin) / buttons, 1, recordButtonSize);
    const int top = (recordSpeedBarHeight - size) / 2;
    QAbstractButton* next = m_recordButtons.last();
    QAbstractButton* previous = m_recordButtons[buttons - 2];
    next->setGeometry(labelsLeft - size, top, size, size);
    previous->setGeometry(next->x() - size, top, size, size);
    int left = rightMargin;
    for (int i = 0; i < buttons - 2; ++i) {
        m_recordButtons[i]->setGeometry(left, top, size, size);
        left += size;
    }
}

void TForm1::endSplitterDrag()
{
    // The split control has put the right pane's left edge at the line; the minimums then have their say.
    const int available = m_client->width() - letterColumnWidth - minimumLeftPaneWidth;
    const int rightWidth = std::max(m_rightPaneMinimum, std::min(m_rightPane->width(), available));
    m_rightPane->resize(rightWidth, m_rightPane->height());
    LayoutWindow();
    m_speedBar->update();
    m_splitterGrip->update();
}

void TForm1::setMenuBarShown(bool shown)
{
    if (menuBar()->isHidden() != shown)
        return;
    // The window's height changes by what the menu takes, so that the client area keeps its size.
    const int clientBefore = m_client->height();
    menuBar()->setVisible(shown);
    layout()->activate();
    resize(width(), height() + clientBefore - m_client->height());
    layout()->activate();
}

void TForm1::setSpeedBarShown(bool shown)
{
    if (m_speedBar->isHidden() != shown)
        return;
    m_speedBar->setVisible(shown);
    resize(width(), height() + (shown ? TSpeedBar::barHeight : -TSpeedBar::barHeight));
    layout()->activate();
}

void TForm1::ApplyViewOptions()
{
    const bool wasSuspended = m_layoutSuspended;
    m_layoutSuspended = true;
    const int option = m_session.database.menusAndSpeedBars;
    if (option == 1) {
        setSpeedBarShown(false);
        setMenuBarShown(true);
    } else {
        setSpeedBarShown(true);
        m_speedBar->setCurrentIndex(0);
        setMenuBarShown(option == 0);
    }
    ApplyDateFormats();
    placePanesVertically();
    ApplyCaptions();
    m_layoutSuspended = wasSuspended;
    LayoutWindow();
}

void TForm1::showRecordPage(int number)
{
    if (number >= 1 && number <= m_pages->count())
        m_pages->setCurrentIndex(number - 1);
}
