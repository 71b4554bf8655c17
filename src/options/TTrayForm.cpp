#include "TTrayForm.h"

#include <QWidget>

TTrayForm::TTrayForm(QObject* parent) : QObject(parent) {}

bool TTrayForm::close()
{
    // The record window's own close comes back here once it is hidden.
    if (m_closing || m_closed)
        return true;
    m_closing = true;
    if (m_front && m_front->isVisible() && !m_front->close()) {
        m_closing = false;
        return false;
    }
    m_closing = false;
    m_closed = true;
    emit closed();
    return true;
}
