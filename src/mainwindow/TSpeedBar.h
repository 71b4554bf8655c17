#pragma once

#include <QList>
#include <QTabWidget>

class QAction;
class THotBtn;

// The window's speed bar: pages of hot-tracking buttons with the page tabs at the bottom. The buttons
// of a page sit in a row in the order they were added. When the row of either page is too long for the
// page, every button of both pages drops its caption and becomes a square glyph button; the captions
// come back once both rows fit again.
class TSpeedBar : public QTabWidget
{
    Q_OBJECT

public:
    static constexpr int barHeight = 60;
    static constexpr int spacing = 4;

    explicit TSpeedBar(QWidget* parent = nullptr);

    // Returns the index of the new page.
    int addPage(const QString& caption);
    // A button that runs the command and is enabled while it is; the command's text without its "&" is
    // the caption unless one is given, its tool tip the hint.
    THotBtn* addButton(int page, QAction* command, const QString& caption, const QIcon& glyph);

    const QList<THotBtn*>& buttons(int page) const { return m_buttons.at(page); }
    bool showsCaptions() const { return m_showCaptions; }
    // Places the buttons for the current page width.
    void arrangeButtons();

protected:
    // The pages get their size only once the bar is visible.
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    int pageWidth() const;
    int buttonHeight() const;
    int rowWidth(int page, bool withCaptions) const;
    void setCaptionsShown(bool shown);

    QList<QList<THotBtn*>> m_buttons;
    QList<QList<QString>> m_captions;
    QList<QList<int>> m_fullWidths;
    bool m_showCaptions = true;
};
