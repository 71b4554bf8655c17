#include "SpeedBarGlyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace pictures {

namespace {

// Each glyph is drawn on a 16 by 16 grid and scaled to the button.
void drawClear(QPainter& p)
{
    p.setPen(QPen(QColor(176, 0, 0), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 4), QPointF(12, 12));
    p.drawLine(QPointF(12, 4), QPointF(4, 12));
}

void drawLoad(QPainter& p)
{
    p.setPen(QColor(96, 72, 0));
    p.setBrush(QColor(240, 200, 80));
    p.drawPolygon(QPolygonF({{1.5, 4.5}, {6, 4.5}, {7.5, 6}, {13.5, 6}, {13.5, 13.5}, {1.5, 13.5}}));
    p.setBrush(QColor(255, 228, 130));
    p.drawPolygon(QPolygonF({{3.5, 8}, {15, 8}, {13.5, 13.5}, {1.5, 13.5}}));
}

void drawSave(QPainter& p)
{
    p.setPen(QColor(0, 0, 96));
    p.setBrush(QColor(40, 60, 170));
    p.drawRect(QRectF(2.5, 2.5, 11, 11));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 2.5, 7, 5));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(5.5, 10, 5, 3.5));
}

void drawPage(QPainter& p, const QRectF& page)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(Qt::white);
    p.drawRect(page);
    p.setPen(QColor(128, 128, 128));
    for (double y = page.top() + 2.5; y < page.bottom() - 1; y += 2)
        p.drawLine(QPointF(page.left() + 1.5, y), QPointF(page.right() - 1.5, y));
}

void drawCopy(QPainter& p)
{
    drawPage(p, QRectF(1.5, 1.5, 8, 10));
    drawPage(p, QRectF(6.5, 4.5, 8, 10));
}

void drawPaste(QPainter& p)
{
    p.setPen(QColor(96, 64, 0));
    p.setBrush(QColor(200, 150, 70));
    p.drawRect(QRectF(1.5, 2.5, 10, 12));
    p.setBrush(QColor(160, 160, 160));
    p.drawRect(QRectF(4.5, 1.5, 4, 2.5));
    drawPage(p, QRectF(7.5, 6.5, 7, 8));
}

void drawCapture(QPainter& p)
{
    p.setPen(QPen(Qt::black, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(2.5, 2.5, 11, 9));
    p.setPen(QPen(QColor(176, 0, 0), 1.5));
    p.drawLine(QPointF(10, 9), QPointF(10, 15));
    p.drawLine(QPointF(7, 12), QPointF(13, 12));
}

// The grey box of a printer or a scanner.
void drawMachine(QPainter& p)
{
    p.setPen(QColor(48, 48, 48));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(1.5, 7.5, 13, 5));
}

void drawPrint(QPainter& p)
{
    drawPage(p, QRectF(4.5, 1.5, 7, 6));
    drawMachine(p);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

void drawScan(QPainter& p)
{
    drawMachine(p);
    p.setBrush(QColor(90, 160, 230));
    p.drawRect(QRectF(1.5, 5.5, 13, 2));
    p.setPen(QPen(QColor(60, 200, 60), 1.5));
    p.drawLine(QPointF(3, 10), QPointF(13, 10));
}

void drawArrowHeads(QPainter& p, bool outwards)
{
    p.setPen(QPen(Qt::black, 1.5));
    const double in = outwards ? 6 : 2;
    const double out = outwards ? 2 : 6;
    for (int corner = 0; corner < 4; ++corner) {
        const double sx = (corner & 1) ? -1 : 1;
        const double sy = (corner & 2) ? -1 : 1;
        const auto at = [&](double x, double y) { return QPointF(8 + sx * (8 - x), 8 + sy * (8 - y)); };
        p.drawLine(at(in, in), at(out, out));
        p.drawLine(at(out, out), at(out + (outwards ? 3 : -3), out));
        p.drawLine(at(out, out), at(out, out + (outwards ? 3 : -3)));
    }
}

void drawFullScreen(QPainter& p)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(30, 30, 30));
    p.drawRect(QRectF(3.5, 4.5, 9, 7));
    drawArrowHeads(p, true);
}

void drawAutoStretch(QPainter& p)
{
    p.setPen(QColor(64, 64, 64));
    p.setBrush(QColor(120, 190, 120));
    p.drawRect(QRectF(1.5, 1.5, 13, 13));
    drawArrowHeads(p, false);
}

} // namespace

QIcon speedBarGlyph(const QString& resourceName, int size)
{
    using Draw = void (*)(QPainter&);
    static const QList<QPair<QString, Draw>> glyphs = {
        {"XBITMAP_1", drawClear},        {"XBITMAP_2", drawLoad},    {"XBITMAP_3", drawSave},
        {"XBITMAP_4", drawCopy},         {"XBITMAP_5", drawPaste},   {"XBITMAP_6", drawPrint},
        {"XBITMAP_7", drawScan},         {"XBITMAP_8", drawCapture}, {"XBITMAP_9", drawFullScreen},
        {"XBITMAP_10", drawAutoStretch},
    };
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    for (const auto& [name, draw] : glyphs) {
        if (name != resourceName)
            continue;
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        draw(painter);
    }
    return QIcon(pixmap);
}

} // namespace pictures
