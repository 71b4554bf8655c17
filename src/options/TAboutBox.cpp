#include "TAboutBox.h"

#include "store/ProgramTexts.h"

#include <algorithm>
#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int iconSize = 70;
}

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_icon(new QLabel), m_title(new QLabel),
      m_version(new QLabel), m_ok(new QPushButton(QStringLiteral("&OK")))
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("About"));
    QPalette silver = palette();
    silver.setColor(QPalette::Window, Qt::lightGray);
    setPalette(silver);
    setAutoFillBackground(true);

    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(frame);

    // The icon grows inside a fixed frame, so the box keeps its size while it animates.
    auto* iconFrame = new QWidget;
    iconFrame->setFixedSize(iconSize, iconSize);
    m_icon->setParent(iconFrame);
    m_icon->setPixmap(QIcon(QStringLiteral(":/tessary.svg")).pixmap(iconSize, iconSize));
    m_icon->setScaledContents(true);
    m_icon->setGeometry(0, 0, iconSize, iconSize);
    m_title->setText(store::windowTitlePrefix);
    m_version->setText(store::versionText);
    for (QLabel* label : {m_title, m_version}) {
        label->setStyleSheet(QStringLiteral("color: blue;"));
        label->setAlignment(Qt::AlignCenter);
    }
    QFont titleFont = m_title->font();
    titleFont.setPointSize(titleFont.pointSize() + 4);
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(24, 18, 24, 14);
    layout->addWidget(iconFrame, 0, Qt::AlignHCenter);
    layout->addSpacing(8);
    layout->addWidget(m_title);
    layout->addWidget(m_version);
    layout->addSpacing(10);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    m_timer.setInterval(20);
    connect(&m_timer, &QTimer::timeout, this, &TAboutBox::growIcon);
}

void TAboutBox::makeSplash()
{
    m_animate = false;
    m_ok->hide();
    setWindowTitle(store::splashCaption);
}

void TAboutBox::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (m_animate) {
        // The icon grows from its top-left corner to full size, one pixel a tick.
        m_icon->resize(1, 1);
        m_timer.start();
    }
}

void TAboutBox::growIcon()
{
    const QSize size = m_icon->size();
    if (size.width() >= iconSize && size.height() >= iconSize) {
        m_timer.stop();
        return;
    }
    m_icon->resize(std::min(size.width() + 1, iconSize), std::min(size.height() + 1, iconSize));
}
