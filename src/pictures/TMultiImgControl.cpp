// The picture field: its parts, its state, its layout and its record binding. The commands of its speed
// bar and menu are in TMultiImgControlCommands.cpp.
#include "TMultiImgControl.h"

#include "dbase/Table.h"
#include "mainwindow/controls/HelpPages.h"
#include "PictureGeometry.h"
#include "SaneScanner.h"
#include "SpeedBarGlyphs.h"
#include "store/ColumnValues.h"
#include "StoredPicture.h"
#include "TImageView.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

using pictures::StoredPicture;

namespace {

constexpr int viewMargin = 4;
constexpr int buttonMargin = 4;
const QString defaultHint = QStringLiteral("Graphical Field - Right Click to display Popup Menu");

} // namespace

TMultiImgControl::TMultiImgControl(QWidget* parent)
    : QFrame(parent), ScrollBox(new QScrollArea(this)), Panel(new QFrame(this)), Image(new TImageView)
{
    ScrollBox->setObjectName(QStringLiteral("ScrollBox"));
    ScrollBox->setWidget(Image);
    ScrollBox->setWidgetResizable(false);
    ScrollBox->installEventFilter(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ScrollBox, 1);
    layout->addWidget(Panel);
    buildSpeedBar();

    setToolTip(defaultHint);
    setFocusPolicy(Qt::StrongFocus);
    resize(defaultWidth, defaultHeight);
    updateButtons();
    updateSpeedBar();
}

void TMultiImgControl::buildSpeedBar()
{
    struct ButtonSpec
    {
        int number;
        const char* hint;
        void (TMultiImgControl::*command)();
    };
    static const ButtonSpec specs[] = {
        {1, "Clear", &TMultiImgControl::clear},
        {2, "Load", &TMultiImgControl::loadWithDialog},
        {3, "Save", &TMultiImgControl::saveWithDialog},
        {4, "Copy", &TMultiImgControl::copyToClipboard},
        {5, "Paste", &TMultiImgControl::pasteFromClipboard},
        {8, "Screen Capture", &TMultiImgControl::captureScreen},
        {6, "Print", &TMultiImgControl::printWithDialog},
        {7, "Scan", &TMultiImgControl::scan},
        {9, "Full Screen", &TMultiImgControl::showPictureFullScreen},
        {10, "Auto Stretch", &TMultiImgControl::toggleAutoStretch},
    };
    auto* row = new QHBoxLayout(Panel);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(0);
    for (const ButtonSpec& spec : specs) {
        auto* button = new QToolButton(Panel);
        button->setObjectName(QStringLiteral("Btn%1").arg(spec.number));
        button->setToolTip(QString::fromLatin1(spec.hint));
        button->setFont(QFont(QStringLiteral("Arial"), 8));
        button->setCheckable(spec.number == 10);
        connect(button, &QToolButton::clicked, this, spec.command);
        row->addWidget(button);
        m_buttons[static_cast<std::size_t>(spec.number - 1)] = button;
    }
    row->addStretch();
    setSpeedBarHeight(m_speedBarHeight);
}

void TMultiImgControl::setSpeedBarHeight(int height)
{
    m_speedBarHeight = height;
    Panel->setFixedHeight(height);
    const int side = std::max(1, height - buttonMargin);
    for (std::size_t i = 0; i < m_buttons.size(); ++i) {
        m_buttons[i]->setFixedSize(side, side);
        m_buttons[i]->setIconSize(QSize(side - buttonMargin, side - buttonMargin));
        m_buttons[i]->setIcon(
            pictures::speedBarGlyph(QStringLiteral("XBITMAP_%1").arg(i + 1), side - buttonMargin));
    }
}

void TMultiImgControl::setSpeedBarVisible(bool visible)
{
    m_speedBarVisible = visible;
    updateSpeedBar();
}

bool TMultiImgControl::isSpeedBarShown() const
{
    return !Panel->isHidden();
}

void TMultiImgControl::updateSpeedBar()
{
    Panel->setVisible(m_speedBarVisible && !m_barHiddenByUser && width() >= smallestWidthWithSpeedBar);
}

QMenu* TMultiImgControl::popupMenu()
{
    if (!m_popupMenu) {
        m_popupMenu = createPopupMenu();
        m_ownMenu = true;
    }
    return m_popupMenu;
}

void TMultiImgControl::setPopupMenu(QMenu* menu)
{
    if (m_ownMenu)
        delete m_popupMenu;
    m_items = {};
    m_popupMenu = menu;
    m_ownMenu = false;
}

QMenu* TMultiImgControl::createPopupMenu()
{
    auto* menu = new QMenu(this);
    const auto item = [this, menu](const char* text, auto command) {
        QAction* action = menu->addAction(QString::fromLatin1(text));
        connect(action, &QAction::triggered, this, command);
        return action;
    };
    m_items.clear = item("&Clear", &TMultiImgControl::clear);
    m_items.load = item("&Load", &TMultiImgControl::loadWithDialog);
    item("&Save", &TMultiImgControl::saveWithDialog);
    item("C&opy", &TMultiImgControl::copyToClipboard);
    m_items.paste = item("P&aste", &TMultiImgControl::pasteFromClipboard);
    m_items.capture = item("Sc&reen Capture", &TMultiImgControl::captureScreen);
    item("&Print", &TMultiImgControl::printWithDialog);
    m_items.scan = item("Sca&n", &TMultiImgControl::scan);
    m_items.selectScanner = item("S&elect Scanner", &TMultiImgControl::selectScanner);
    item("&Full Screen", &TMultiImgControl::showPictureFullScreen);
    m_items.autoStretch = item("A&uto Stretch", &TMultiImgControl::toggleAutoStretch);
    m_items.autoStretch->setCheckable(true);
    m_items.toolBar = item("&Hide Toolbar", [this] {
        m_barHiddenByUser = isSpeedBarShown();
        updateSpeedBar();
    });
    menu->addSeparator();
    m_items.help = item("&Help", [this] { help::showContext(property("helpContext").toInt()); });
    connect(menu, &QMenu::aboutToShow, this, &TMultiImgControl::updateMenu);
    return menu;
}

void TMultiImgControl::updateMenu()
{
    if (!m_ownMenu)
        return;
    m_items.toolBar->setVisible(m_speedBarVisible);
    m_items.toolBar->setText(isSpeedBarShown() ? QStringLiteral("Hide &Tool Bar")
                                               : QStringLiteral("Show &Tool Bar"));
    const bool scanning = isScannerAvailable() && !m_readOnly;
    m_items.scan->setEnabled(scanning);
    m_items.selectScanner->setEnabled(scanning);
    const QMimeData* clipboard = QGuiApplication::clipboard()->mimeData();
    m_items.paste->setEnabled(!m_readOnly && clipboard && clipboard->hasImage());
    m_items.clear->setEnabled(!m_readOnly);
    m_items.load->setEnabled(!m_readOnly);
    m_items.capture->setEnabled(!m_readOnly);
    m_items.autoStretch->setChecked(m_autoStretch);
    m_items.help->setEnabled(property("helpContext").toInt() > 0);
}

void TMultiImgControl::updateButtons()
{
    for (int number : {1, 2, 5, 8})
        button(number)->setEnabled(!m_readOnly);
    button(7)->setEnabled(isScannerAvailable() && !m_readOnly);
    button(10)->setChecked(m_autoStretch);
}

void TMultiImgControl::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    updateButtons();
}

void TMultiImgControl::setScanner(pictures::SaneScanner* scanner)
{
    m_scanner = scanner;
    updateButtons();
}

bool TMultiImgControl::isScannerAvailable() const
{
    return (m_scanner ? *m_scanner : pictures::SaneScanner::shared()).isAvailable();
}

void TMultiImgControl::setAutoStretch(bool on)
{
    m_autoStretch = on;
    updateButtons();
    layoutPicture();
}

void TMultiImgControl::layoutPicture()
{
    const QSize box = ScrollBox->maximumViewportSize();
    const bool stretch = m_autoStretch && !m_picture.isNull();
    Image->setStretched(stretch);
    if (m_picture.isNull())
        Image->resize((box - QSize(viewMargin, viewMargin)).expandedTo(QSize(0, 0)));
    else if (stretch)
        Image->resize(pictures::fittedSize(m_picture.size(), box));
    else
        Image->resize(m_picture.size());
}

void TMultiImgControl::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    updateSpeedBar();
}

bool TMultiImgControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ScrollBox && event->type() == QEvent::Resize)
        layoutPicture();
    return QFrame::eventFilter(watched, event);
}

void TMultiImgControl::changeEvent(QEvent* event)
{
    QFrame::changeEvent(event);
    // Disabled by its window, the control turns read-only and enables itself again, so that the picture
    // can still be scrolled, copied, printed and shown full screen.
    if (event->type() == QEvent::EnabledChange && !m_enablingItself && !isEnabled() &&
        testAttribute(Qt::WA_ForceDisabled)) {
        setReadOnly(true);
        m_enablingItself = true;
        setEnabled(true);
        m_enablingItself = false;
    }
}

void TMultiImgControl::contextMenuEvent(QContextMenuEvent* event)
{
    popupMenu()->exec(event->globalPos());
}

bool TMultiImgControl::isEmpty() const
{
    return m_picture.isNull() && (m_differsFromStored || m_stored.isEmpty());
}

void TMultiImgControl::showPicture(const QImage& picture)
{
    m_picture = picture;
    m_encoded.clear();
    Image->setPicture(picture);
    layoutPicture();
    emit pictureChanged();
}

void TMultiImgControl::markChanged(bool fromFile)
{
    m_modified = !fromFile;
    m_loadedFromFile = fromFile;
    m_differsFromStored = true;
}

void TMultiImgControl::clear()
{
    m_fileName.clear();
    markChanged(false);
    showPicture({});
}

void TMultiImgControl::setPicture(const QImage& picture)
{
    markChanged(false);
    showPicture(StoredPicture::asBitmap(picture));
}

QByteArray TMultiImgControl::pictureData() const
{
    if (!m_differsFromStored)
        return m_stored;
    if (m_picture.isNull())
        return {};
    if (m_encoded.isEmpty())
        m_encoded = StoredPicture::encode(m_picture, m_storedWithHeader);
    return m_encoded;
}

void TMultiImgControl::setPictureData(const QByteArray& stored)
{
    m_stored = stored;
    m_storedAt = {};
    m_storedWithHeader = StoredPicture::hasHeader(stored);
    m_differsFromStored = false;
    m_modified = false;
    m_loadedFromFile = false;
    showPicture(StoredPicture::decode(stored));
}

void TMultiImgControl::loadFromColumn(const dbase::Table& table, int column)
{
    setPictureData(store::columnBlob(table, column));
    m_storedAt = {table.path(), table.recordNumber(), column};
}

void TMultiImgControl::storeToColumn(dbase::Table& table, int column)
{
    const Place target{table.path(), table.recordNumber(), column};
    if (m_differsFromStored || m_storedAt != target) {
        QByteArray value = m_stored;
        bool withHeader = m_storedWithHeader;
        if (m_differsFromStored) {
            withHeader =
                table.fieldDescriptor(static_cast<std::size_t>(column)).type == dbase::FieldType::General;
            value = StoredPicture::encode(m_picture, withHeader);
        }
        store::setColumnBlob(table, column, value);
        m_stored = value;
        m_storedWithHeader = withHeader;
        m_differsFromStored = false;
        m_encoded.clear();
    }
    // An appended row has its number only once it is posted; its place is known from the next load.
    m_storedAt = target.record ? target : Place{};
    m_modified = false;
}
