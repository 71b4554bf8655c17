#include "TPercentDlg.h"

#include "TPercent.h"

#include <cmath>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TPercentDlg::TPercentDlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Progress"));
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_message = new QLabel(this);
    m_message->hide();
    layout->addWidget(m_message);
    m_bar = new TPercent(this);
    m_bar->setPercentColor(QColor(0, 128, 0));
    m_bar->setFixedSize(260, 20);
    layout->addWidget(m_bar);
    m_stop = new QPushButton(QStringLiteral("&Stop"), this);
    m_stop->setAutoDefault(false);
    m_stop->hide();
    layout->addWidget(m_stop, 0, Qt::AlignHCenter);
    connect(m_stop, &QPushButton::clicked, this, &TPercentDlg::requestStop);

    show();
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - frameGeometry().center() + pos());
}

void TPercentDlg::setTotal(int total)
{
    m_total = total;
    showPercentage();
}

bool TPercentDlg::SetPosition(int position)
{
    if (position != m_position) {
        m_position = position;
        showPercentage();
    }
    return keepResponsive();
}

void TPercentDlg::showPercentage()
{
    const int percent =
        m_total == 0 ? 100 : static_cast<int>(std::lround(static_cast<double>(m_position) * 100.0 / m_total));
    if (qBound(0, percent, 100) != m_bar->PercentShaded())
        m_bar->setPercentShaded(percent);
}

void TPercentDlg::allowStop(const QString& caption)
{
    m_stop->setText(caption);
    m_stop->show();
}

bool TPercentDlg::keepResponsive()
{
    if (!m_sinceEvents.isValid() || m_sinceEvents.elapsed() >= eventIntervalMs) {
        QCoreApplication::processEvents();
        m_sinceEvents.start();
    }
    return !m_stopRequested;
}

void TPercentDlg::setMessage(const QString& text)
{
    m_message->setText(text);
    m_message->setVisible(!text.isEmpty());
}

void TPercentDlg::setBarVisible(bool visible)
{
    m_bar->setVisible(visible);
}

void TPercentDlg::requestStop()
{
    if (m_stop->isHidden() || m_stopRequested)
        return;
    m_stopRequested = true;
    m_stop->setEnabled(false);
    emit stopClicked();
}

void TPercentDlg::reject()
{
    // The owner ends the run and frees the window; Esc only asks for the stop.
    requestStop();
}

void TPercentDlg::closeEvent(QCloseEvent* event)
{
    requestStop();
    event->ignore();
}
