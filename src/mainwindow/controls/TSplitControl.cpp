#include "TSplitControl.h"

#include <QPainter>

namespace {

// The inverted line: it paints itself white in exclusive-or over what lies beneath, so it shows on any
// background and disappears without trace.
class InvertedLine : public QWidget
{
public:
    explicit InvertedLine(QWidget* parent) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        hide();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        painter.fillRect(rect(), Qt::white);
    }
};

} // namespace

TSplitControl::TSplitControl(QWidget* window) : QObject(window), m_window(window) {}

TSplitControl::~TSplitControl()
{
    delete m_line;
}

void TSplitControl::Start(QWidget* grip, QWidget* panel)
{
    if (!m_window || !grip || !panel || m_dragging)
        return;
    m_grip = grip;
    m_panel = panel;
    m_horizontal = grip->width() > grip->height();
    m_thickness = m_horizontal ? grip->height() : grip->width();
    const QPoint gripCentre = grip->mapTo(m_window, grip->rect().center());
    m_position = m_horizontal ? gripCentre.y() : gripCentre.x();
    if (grip->isVisible())
        grip->grabMouse();
    if (!m_line)
        m_line = new InvertedLine(m_window);
    m_dragging = true;
    showLine();
}

void TSplitControl::Move(int x, int y)
{
    if (!m_dragging || !m_grip || !m_window)
        return;
    const QPoint pointer = m_grip->mapTo(m_window, QPoint(x, y));
    m_position = m_horizontal ? pointer.y() : pointer.x();
    showLine();
}

int TSplitControl::Stop()
{
    if (!m_dragging)
        return 0;
    m_dragging = false;
    if (m_line)
        m_line->hide();
    if (m_grip)
        m_grip->releaseMouse();
    if (!m_panel || !m_window)
        return 0;
    const QPoint inPanel =
        m_panel->mapFrom(m_window, m_horizontal ? QPoint(0, m_position) : QPoint(m_position, 0));
    const int offset = m_horizontal ? inPanel.y() : inPanel.x();
    if (m_horizontal)
        m_panel->resize(m_panel->width(), m_panel->height() - offset);
    else
        m_panel->resize(m_panel->width() - offset, m_panel->height());
    return offset;
}

QRect TSplitControl::lineRect() const
{
    if (!m_panel || !m_window)
        return {};
    const QRect panel(m_panel->mapTo(m_window, QPoint(0, 0)), m_panel->size());
    const int start = m_position - m_thickness / 2;
    if (m_horizontal)
        return QRect(QPoint(panel.left() + 2, start), QPoint(panel.right() - 4, start + m_thickness - 1));
    return QRect(QPoint(start, panel.top() + 2), QPoint(start + m_thickness - 1, panel.bottom() - 4));
}

void TSplitControl::showLine()
{
    m_line->setGeometry(lineRect());
    m_line->raise();
    m_line->show();
}
