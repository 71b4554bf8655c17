#include "TForm3.h"

#include "editors/TCurrencyEdit.h"
#include "editors/TDateEdit.h"
#include "editors/TLookup.h"
#include "editors/TMultiMediaEdit.h"
#include "pictures/TDbMultiImgControl.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>

namespace {

// Page geometry: caption labels sit above their fields; two half-width columns share a row. The pages
// are drawn for the narrowest right pane; the record window stretches them to the room it has.
constexpr int margin = 8;
constexpr int pageWidth = 220;
constexpr int labelHeight = 16;
constexpr int fieldHeight = 24;
constexpr int rowHeight = labelHeight + fieldHeight + 6;
constexpr int pageHeight = 7 * rowHeight + margin;
constexpr int halfWidth = (pageWidth - 3 * margin) / 2;
constexpr int rightColumn = margin + halfWidth + margin;

class PageBuilder
{
public:
    PageBuilder(QTabWidget* pages, const QString& caption) : m_panel(new QWidget)
    {
        m_panel->setObjectName(QStringLiteral("Panel") + caption.right(1));
        m_panel->resize(pageWidth, pageHeight);
        pages->addTab(m_panel, caption);
    }

    // One field with its caption label. Width and height 0 mean the rest of the row and one line.
    template <typename Control>
    Control* field(int number, const QString& caption, int left, int row, int width = 0, int height = 0)
    {
        auto* label = new QLabel(caption, m_panel);
        label->setObjectName(QStringLiteral("Label%1").arg(number));
        label->setProperty("tag", number);
        const int top = margin + row * rowHeight;
        label->setGeometry(left, top, width ? width : pageWidth - margin - left, labelHeight);

        auto* control = new Control(m_panel);
        control->setObjectName(QStringLiteral("L%1").arg(number));
        control->setProperty("tag", number);
        control->setGeometry(left, top + labelHeight, width ? width : pageWidth - margin - left,
                             height ? height : fieldHeight);
        return control;
    }

    QLineEdit* text(int number, const QString& caption, int left, int row, int width = 0)
    {
        auto* edit = field<QLineEdit>(number, caption, left, row, width);
        edit->setToolTip(QStringLiteral("Enter Text Here"));
        return edit;
    }

    TLookup* list(int number, const QString& caption, int listNumber, int left, int row, int width = 0)
    {
        auto* lookup = field<TLookup>(number, caption, left, row, width);
        lookup->setSource(QStringLiteral("list%1.dbf").arg(listNumber));
        return lookup;
    }

private:
    QWidget* m_panel;
};

} // namespace

TForm3::TForm3(store::Session& session, QWidget* parent) : TForm1(session, &TForm3::buildRecordPages, parent)
{}

void TForm3::buildRecordPages(QTabWidget* pages)
{
    PageBuilder part1(pages, QStringLiteral("Part 1"));
    part1.text(1, QStringLiteral("Stamp Description:"), margin, 0);
    part1.list(2, QStringLiteral("Country:"), 1, margin, 1, halfWidth);
    part1.text(3, QStringLiteral("Short Note:"), margin, 2);
    part1.text(4, QStringLiteral("Catalog #:"), margin, 3, halfWidth);
    part1.list(5, QStringLiteral("Condition:"), 2, rightColumn, 1, halfWidth);
    part1.field<TDateEdit>(6, QStringLiteral("Date Issued:"), rightColumn, 3, halfWidth);
    part1.text(7, QStringLiteral("Face Value:"), margin, 4, halfWidth);
    part1.field<TCurrencyEdit>(8, QStringLiteral("Cost:"), margin, 5, halfWidth);
    part1.field<TCurrencyEdit>(9, QStringLiteral("Market Value:"), margin, 6, halfWidth);
    part1
        .field<TDbMultiImgControl>(10, QStringLiteral("Small Picture:"), rightColumn, 4, halfWidth,
                                   2 * rowHeight + fieldHeight)
        ->setSpeedBarVisible(false);

    PageBuilder part2(pages, QStringLiteral("Part 2"));
    part2.text(11, QStringLiteral("Paper Color:"), margin, 0, halfWidth);
    part2.text(12, QStringLiteral("Watermark:"), rightColumn, 0, halfWidth);
    part2.text(13, QStringLiteral("Errors:"), margin, 1);
    part2.text(14, QStringLiteral("Comment:"), margin, 2);
    part2.list(15, QStringLiteral("Type:"), 3, margin, 3, halfWidth);
    part2.list(16, QStringLiteral("Format:"), 4, rightColumn, 3, halfWidth);
    part2.list(17, QStringLiteral("Paper:"), 5, margin, 4, halfWidth);
    part2.list(18, QStringLiteral("Gum:"), 6, rightColumn, 4, halfWidth);
    part2.list(19, QStringLiteral("Cancellation:"), 7, margin, 5, halfWidth);
    part2.list(20, QStringLiteral("Perforation:"), 8, rightColumn, 5, halfWidth);

    PageBuilder part3(pages, QStringLiteral("Part 3"));
    auto* notes =
        part3.field<QPlainTextEdit>(21, QStringLiteral("Notes:"), margin, 0, 0, 2 * rowHeight + fieldHeight);
    notes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    part3.field<TMultiMediaEdit>(22, QStringLiteral("Attachment:"), margin, 3);
    part3.text(23, QStringLiteral("Custom 1:"), margin, 4);
    part3.list(24, QStringLiteral("Custom 2:"), 9, margin, 5, halfWidth);
    part3.list(25, QStringLiteral("Custom 3:"), 10, rightColumn, 5, halfWidth);
    part3.field<TDateEdit>(26, QStringLiteral("Custom 4:"), margin, 6, halfWidth);
    part3.field<TCurrencyEdit>(27, QStringLiteral("Custom 5:"), rightColumn, 6, halfWidth);

    PageBuilder part4(pages, QStringLiteral("Part 4"));
    part4
        .field<TDbMultiImgControl>(28, QStringLiteral("Picture:"), margin, 0, 0, 6 * rowHeight + fieldHeight)
        ->setSpeedBarHeight(24);
}
