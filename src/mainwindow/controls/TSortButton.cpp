#include "TSortButton.h"

#include "store/DatabaseFolder.h"
#include "TNoFocusBitBtn.h"

#include <QMenu>
#include <QPainter>
#include <QPolygon>

namespace {

constexpr int glyphSize = 10;

QPixmap arrowGlyph(bool down)
{
    QPixmap glyph(glyphSize, glyphSize);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    const QPolygon arrow = down ? QPolygon({QPoint(1, 2), QPoint(9, 2), QPoint(5, 8)})
                                : QPolygon({QPoint(1, 8), QPoint(9, 8), QPoint(5, 2)});
    painter.drawPolygon(arrow);
    return glyph;
}

QPixmap funnelGlyph()
{
    QPixmap glyph(glyphSize, glyphSize);
    glyph.fill(Qt::transparent);
    QPainter painter(&glyph);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.drawPolygon(QPolygon({QPoint(0, 1), QPoint(10, 1), QPoint(6, 5), QPoint(4, 5)}));
    painter.drawRect(4, 5, 2, 4);
    return glyph;
}

} // namespace

QString TSortButton::scopeText(int scope)
{
    switch (scope) {
    case NormalFilter:
        return QStringLiteral("Normal Filter");
    case ReversedFilter:
        return QStringLiteral("Reversed Filter");
    default:
        return QStringLiteral("All Records");
    }
}

TSortButton::TSortButton(QWidget* parent)
    : QWidget(parent), m_downBmp(arrowGlyph(true)), m_upBmp(arrowGlyph(false)), m_filterBmp(funnelGlyph())
{
    for (int i = 0; i < 3; ++i) {
        auto* part = new TNoFocusBitBtn(this);
        part->setGlyphMargin(1);
        part->setContextMenuPolicy(Qt::CustomContextMenu);
        m_parts[i] = part;
        auto* menu = new QMenu(this);
        m_menus[i] = menu;
        connect(part, &QWidget::customContextMenuRequested, menu,
                [part, menu](const QPoint& pos) { menu->popup(part->mapToGlobal(pos)); });
    }
    connect(m_parts[0], &QPushButton::clicked, this, &TSortButton::clicked);
    connect(m_parts[1], &QPushButton::clicked, this, &TSortButton::clicked);
    connect(m_parts[2], &QPushButton::clicked, this, &TSortButton::filterClicked);
    connect(m_menus[0], &QMenu::aboutToShow, this, &TSortButton::fillPrimaryMenu);
    connect(m_menus[1], &QMenu::aboutToShow, this, &TSortButton::fillSecondaryMenu);
    connect(m_menus[2], &QMenu::aboutToShow, this, &TSortButton::fillFilterMenu);
    m_parts[2]->setText(scopeText(m_filterState));
    showGlyphs();
    resize(sizeHint());
    layoutParts();
}

QString TSortButton::Label1() const
{
    return m_parts[0]->text();
}

void TSortButton::setLabel1(const QString& label)
{
    m_parts[0]->setText(label);
}

QString TSortButton::Label2() const
{
    return m_parts[1]->text();
}

void TSortButton::setLabel2(const QString& label)
{
    m_parts[1]->setText(label);
}

QString TSortButton::Hint1() const
{
    return m_parts[0]->toolTip();
}

void TSortButton::setHint1(const QString& hint)
{
    m_parts[0]->setToolTip(hint);
}

QString TSortButton::Hint2() const
{
    return m_parts[1]->toolTip();
}

void TSortButton::setHint2(const QString& hint)
{
    m_parts[1]->setToolTip(hint);
}

QString TSortButton::Hint3() const
{
    return m_parts[2]->toolTip();
}

void TSortButton::setHint3(const QString& hint)
{
    m_parts[2]->setToolTip(hint);
}

void TSortButton::setIsDown1(bool down)
{
    m_isDown1 = down;
    showGlyphs();
}

void TSortButton::setIsDown2(bool down)
{
    m_isDown2 = down;
    showGlyphs();
}

void TSortButton::setDownBmp(const QPixmap& glyph)
{
    m_downBmp = glyph;
    showGlyphs();
}

void TSortButton::setUpBmp(const QPixmap& glyph)
{
    m_upBmp = glyph;
    showGlyphs();
}

void TSortButton::setFilterBmp(const QPixmap& glyph)
{
    m_filterBmp = glyph;
    showGlyphs();
}

void TSortButton::setFilterState(int state)
{
    if (state < AllRecords || state > ReversedFilter)
        return;
    m_filterState = state;
    m_parts[2]->setText(scopeText(state));
}

void TSortButton::SetLabels(const QString& label1, bool isDown1, const QString& label2, bool isDown2)
{
    setLabel1(label1);
    setLabel2(label2);
    m_isDown1 = isDown1;
    m_isDown2 = isDown2;
    showGlyphs();
}

void TSortButton::setFields(const controls::FieldList& fields)
{
    m_fields = fields;
}

QString TSortButton::columnCaption(int column) const
{
    const int index = column - store::FirstFieldOffset;
    return index >= 0 && index < m_fields.size() ? m_fields[index].caption : QString();
}

bool TSortButton::isTextColumn(int column) const
{
    const int index = column - store::FirstFieldOffset;
    return index >= 0 && index < m_fields.size() && m_fields[index].kind == controls::FieldKind::Text;
}

void TSortButton::ShowSortSettings(const settings::SortSettings& sort)
{
    m_sort = sort;
    const QString primary = sort.primaryColumn < store::FirstFieldOffset ? QStringLiteral("Entry Order")
                                                                         : columnCaption(sort.primaryColumn);
    const QString secondary = sort.secondaryColumn < store::FirstFieldOffset
                                  ? QStringLiteral("NONE")
                                  : columnCaption(sort.secondaryColumn);
    SetLabels(primary, sort.primaryDescending, secondary, sort.secondaryDescending);
}

void TSortButton::showGlyphs()
{
    m_parts[0]->setGlyph(m_isDown1 ? m_downBmp : m_upBmp);
    m_parts[1]->setGlyph(m_isDown2 ? m_downBmp : m_upBmp);
    m_parts[2]->setGlyph(m_filterBmp);
}

void TSortButton::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layoutParts();
}

void TSortButton::layoutParts()
{
    const int third = width() / 3;
    m_parts[0]->setGeometry(0, 0, third, height());
    m_parts[1]->setGeometry(third, 0, third, height());
    m_parts[2]->setGeometry(2 * third, 0, width() - 2 * third, height());
}

void TSortButton::popupBelow(int part)
{
    m_menus[part]->popup(m_parts[part]->mapToGlobal(QPoint(0, m_parts[part]->height())));
}
