#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QPainter;

// A custom-painted button with its own colours, used for the letter tabs (and, through TFormatedButton,
// the record buttons). With StayDown a click leaves it selected, and within one parent at most one
// button is selected.
class TColorButton : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(QColor TextColor READ TextColor WRITE setTextColor)
    Q_PROPERTY(QColor BgndColor READ BgndColor WRITE setBgndColor)
    Q_PROPERTY(QColor SelTextColor READ SelTextColor WRITE setSelTextColor)
    Q_PROPERTY(QColor SelBgndColor READ SelBgndColor WRITE setSelBgndColor)
    Q_PROPERTY(bool StayDown READ StayDown WRITE setStayDown)
    Q_PROPERTY(bool Selected READ Selected WRITE setSelected)
    Q_PROPERTY(bool IsDefault READ IsDefault WRITE setIsDefault)
    Q_PROPERTY(int tag READ tag WRITE setTag)

public:
    explicit TColorButton(QWidget* parent = nullptr);

    QString Caption() const { return m_caption; }
    void setCaption(const QString& caption);
    QColor TextColor() const { return m_textColor; }
    void setTextColor(const QColor& color);
    QColor BgndColor() const { return m_bgndColor; }
    void setBgndColor(const QColor& color);
    QColor SelTextColor() const { return m_selTextColor; }
    void setSelTextColor(const QColor& color);
    QColor SelBgndColor() const { return m_selBgndColor; }
    void setSelBgndColor(const QColor& color);
    bool StayDown() const { return m_stayDown; }
    void setStayDown(bool stayDown);
    bool Selected() const { return m_selected; }
    // Selecting unselects the button of the same parent that was selected before.
    void setSelected(bool selected);
    bool IsDefault() const { return m_isDefault; }
    void setIsDefault(bool isDefault);
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    // Selects (with StayDown) or repaints, then emits clicked().
    void Click();

    // The pressed look: the mouse or Space holds the button down.
    bool isPressed() const { return m_pressed; }
    // Drawn sunken: pressed, or selected with StayDown, and enabled.
    bool isSunken() const;
    // The colours the face is painted in now.
    QColor effectiveBackground() const;
    QColor effectiveTextColor() const;

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    // What goes on the face: the centred caption here, the text columns in TFormatedButton.
    virtual void paintContent(QPainter& painter, bool sunken);

    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void paintFace(QPainter& painter, bool sunken) const;
    void paintFocusMark(QPainter& painter, bool sunken) const;
    void setPressed(bool pressed);
    void setColor(QColor& member, const QColor& color);

    QString m_caption;
    QColor m_textColor = Qt::black;
    QColor m_bgndColor = QColor(192, 192, 192);
    QColor m_selTextColor = Qt::black;
    QColor m_selBgndColor = QColor(192, 192, 192);
    bool m_stayDown = false;
    bool m_selected = false;
    bool m_isDefault = false;
    int m_tag = 0;

    bool m_pressed = false;
    bool m_mouseHeld = false;
    bool m_spaceHeld = false;
};
