#include "TKestoHeader.h"

#include "settings/ListFile.h"

#include <algorithm>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionHeader>

namespace {

constexpr int defaultFirstWidth = 50;
constexpr int defaultSecondWidth = 100;
constexpr int widthWorthHalving = 20;

} // namespace

TKestoHeader::TKestoHeader(QWidget* parent) : QWidget(parent), m_menu(new QMenu(this))
{
    setMouseTracking(true);
    connect(m_menu, &QMenu::aboutToShow, this, &TKestoHeader::fillMenu);
}

void TKestoHeader::setFields(const controls::FieldList& fields)
{
    m_fields = fields;
    // Sections that already know their field keep it, so that a renamed caption still finds it.
    for (Section& section : m_sections) {
        if (section.fieldIndex >= m_fields.size())
            section.fieldIndex = -1;
    }
    lookUpFieldIndexes();
}

void TKestoHeader::lookUpFieldIndexes()
{
    for (Section& section : m_sections) {
        if (section.fieldIndex >= 0)
            continue;
        for (int i = 0; i < m_fields.size(); ++i) {
            if (m_fields[i].caption == section.caption) {
                section.fieldIndex = i;
                break;
            }
        }
    }
}

bool TKestoHeader::LoadFromFile(const QString& path)
{
    m_sections.clear();
    bool readWhole = true;
    try {
        settings::ValueReader reader(path);
        settings::ReadListItems(reader, m_sections, [](settings::ValueReader& item) {
            Section section;
            section.caption = item.ReadString();
            section.width = item.ReadInteger();
            return section;
        });
    } catch (const settings::StreamError&) {
        readWhole = false; // the sections read whole stay
    }
    if (m_sections.isEmpty()) {
        const int widths[] = {defaultFirstWidth, defaultSecondWidth};
        for (int i = 0; i < 2 && i < m_fields.size(); ++i)
            m_sections.append({m_fields[i].caption, widths[i], i, 0});
    }
    lookUpFieldIndexes();
    UpdatePercents();
    return readWhole;
}

void TKestoHeader::SaveToFile(const QString& path) const
{
    settings::SaveListFile(path, m_sections, [](settings::ValueWriter& writer, const Section& section) {
        writer.WriteString(section.caption);
        writer.WriteInteger(section.width);
    });
}

int TKestoHeader::SectionPercent(int index) const
{
    return index >= 0 && index < m_sections.size() ? m_sections[index].percent : 0;
}

void TKestoHeader::RefreshCaptions(const QStringList& captions)
{
    for (int i = 0; i < m_fields.size() && i < captions.size(); ++i)
        m_fields[i].caption = captions[i];
    for (Section& section : m_sections) {
        if (section.fieldIndex >= 0 && section.fieldIndex < captions.size())
            section.caption = captions[section.fieldIndex];
    }
    UpdatePercents();
}

void TKestoHeader::UpdatePercents()
{
    for (Section& section : m_sections)
        section.percent = width() > 0 ? qRound(section.width * 100.0 / width()) : 0;
    update();
    emit hChanged();
}

int TKestoHeader::makeRoomForNewSection()
{
    int used = 0;
    for (const Section& section : m_sections)
        used += section.width;
    const int room = width() - used;
    if (room > 3)
        return room;
    // No room at the right end: sections running past it are cut back to the end first, then the nearest
    // wide section gives up half its width.
    if (room < 0 && width() > 0 && !m_sections.isEmpty())
        m_sections.last().width = qMax(minimumSectionWidth, m_sections.last().width + room);
    for (qsizetype i = m_sections.size() - 1; i >= 0; --i) {
        Section& section = m_sections[i];
        if (section.width >= widthWorthHalving) {
            const int half = section.width / 2;
            section.width -= half;
            return half;
        }
    }
    return minimumSectionWidth;
}

void TKestoHeader::InsertField(int fieldIndex)
{
    if (fieldIndex < 0 || fieldIndex >= m_fields.size())
        return;
    const int width = makeRoomForNewSection();
    m_sections.append({m_fields[fieldIndex].caption, width, fieldIndex, 0});
    UpdatePercents();
}

void TKestoHeader::RemoveField(const QString& caption)
{
    // The record list needs one column at least.
    if (m_sections.size() <= 1)
        return;
    for (qsizetype i = 0; i < m_sections.size(); ++i) {
        if (m_sections[i].caption == caption) {
            m_sections.removeAt(i);
            UpdatePercents();
            return;
        }
    }
}

void TKestoHeader::MoveSection(int from, int to)
{
    if (from < 0 || from >= m_sections.size() || to < 0 || to >= m_sections.size() || from == to)
        return;
    m_sections.move(from, to);
    UpdatePercents();
}

void TKestoHeader::ResizeSection(int index, int width)
{
    if (index < 0 || index >= m_sections.size())
        return;
    m_sections[index].width = qMax(minimumSectionWidth, width);
    UpdatePercents();
}

void TKestoHeader::showPopupMenu(const QPoint& globalPos)
{
    m_menu->popup(globalPos);
}

void TKestoHeader::fillMenu()
{
    controls::ClearMenu(m_menu);
    QMenu* insert = m_menu->addMenu(QStringLiteral("&Insert New Field"));
    for (int i = 0; i < m_fields.size(); ++i) {
        const bool shown = std::any_of(m_sections.cbegin(), m_sections.cend(),
                                       [i](const Section& section) { return section.fieldIndex == i; });
        if (shown || !controls::canBeColumnOrSortField(m_fields[i].kind))
            continue;
        insert->addAction(m_fields[i].caption, this, [this, i] { InsertField(i); });
    }
    insert->menuAction()->setEnabled(!insert->isEmpty());

    QMenu* remove = m_menu->addMenu(QStringLiteral("&Remove Field"));
    for (const Section& section : m_sections) {
        const QString caption = section.caption;
        remove->addAction(caption, this, [this, caption] { RemoveField(caption); });
    }
    remove->menuAction()->setEnabled(m_sections.size() > 1);

    m_menu->addSeparator();
    controls::AddTemplateItems(m_menu, this, m_templates, QStringLiteral("Save Header As Template"), true,
                               {});
    m_menu->addSeparator();
    controls::AddHelpItem(m_menu, this);
}

void TKestoHeader::contextMenuEvent(QContextMenuEvent* event)
{
    showPopupMenu(event->globalPos());
}

QSize TKestoHeader::sizeHint() const
{
    QStyleOptionHeader option;
    option.initFrom(this);
    option.text = QStringLiteral("Ag");
    const QSize section = style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), this);
    return {200, qMax(section.height(), fontMetrics().height() + 4)};
}

int TKestoHeader::sectionAt(int x) const
{
    int left = 0;
    for (int i = 0; i < m_sections.size(); ++i) {
        const int right = left + qMax(0, m_sections[i].width);
        if (x >= left && x < right)
            return i;
        left = right;
    }
    return -1;
}

int TKestoHeader::borderAt(int x) const
{
    // The rightmost border in reach wins, so that a section squeezed to nothing can be widened again.
    int found = -1;
    int right = 0;
    for (int i = 0; i < m_sections.size(); ++i) {
        right += qMax(0, m_sections[i].width);
        if (qAbs(x - right) <= borderGrip)
            found = i;
    }
    return found;
}

void TKestoHeader::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    int left = 0;
    for (int i = 0; i < m_sections.size(); ++i) {
        const int width = qMax(0, m_sections[i].width);
        QStyleOptionHeader option;
        option.initFrom(this);
        option.rect = QRect(left, 0, width, height());
        option.text = m_sections[i].caption;
        option.section = i;
        option.textAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        if (m_sections.size() == 1)
            option.position = QStyleOptionHeader::OnlyOneSection;
        else if (i == 0)
            option.position = QStyleOptionHeader::Beginning;
        else if (i == m_sections.size() - 1)
            option.position = QStyleOptionHeader::End;
        else
            option.position = QStyleOptionHeader::Middle;
        if (m_gesture == Gesture::Dragging && i == m_gestureSection)
            option.state |= QStyle::State_Sunken;
        else
            option.state |= QStyle::State_Raised;
        style()->drawControl(QStyle::CE_Header, &option, &painter, this);
        left += width;
    }
    if (left < width()) {
        QStyleOption rest;
        rest.initFrom(this);
        rest.rect = QRect(left, 0, width() - left, height());
        style()->drawControl(QStyle::CE_HeaderEmptyArea, &rest, &painter, this);
    }
}

void TKestoHeader::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_sections.size() < 2) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPoint pos = event->position().toPoint();
    m_pressPos = pos;
    const int border = borderAt(pos.x());
    if (border >= 0) {
        m_gesture = Gesture::Resizing;
        m_gestureSection = border;
        m_pressWidth = m_sections[border].width;
        return;
    }
    m_gestureSection = sectionAt(pos.x());
    m_gesture = m_gestureSection >= 0 ? Gesture::Pressed : Gesture::None;
}

void TKestoHeader::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    switch (m_gesture) {
    case Gesture::Resizing:
        m_sections[m_gestureSection].width = qMax(0, m_pressWidth + pos.x() - m_pressPos.x());
        update();
        return;
    case Gesture::Pressed:
        if ((pos - m_pressPos).manhattanLength() >= QApplication::startDragDistance()) {
            m_gesture = Gesture::Dragging;
            setCursor(Qt::DragMoveCursor);
            update();
        }
        return;
    case Gesture::Dragging:
        return;
    case Gesture::None:
        if (m_sections.size() >= 2 && borderAt(pos.x()) >= 0)
            setCursor(Qt::SplitHCursor);
        else
            unsetCursor();
        return;
    }
}

void TKestoHeader::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const Gesture gesture = m_gesture;
    const int gestureSection = m_gestureSection;
    m_gesture = Gesture::None;
    m_gestureSection = -1;
    unsetCursor();
    const QPoint pos = event->position().toPoint();
    if (gesture == Gesture::Resizing) {
        ResizeSection(gestureSection, m_sections[gestureSection].width);
    } else if (gesture == Gesture::Dragging) {
        const int target = rect().contains(pos) ? sectionAt(pos.x()) : -1;
        if (target >= 0 && target != gestureSection)
            MoveSection(gestureSection, target);
        else
            update();
    }
}
