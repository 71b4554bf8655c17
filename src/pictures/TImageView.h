#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

// The picture view of a picture field: the picture at its natural size from the upper left corner, or
// stretched over the whole view, on a silver background.
class TImageView : public QWidget
{
    Q_OBJECT
public:
    explicit TImageView(QWidget* parent = nullptr);

    const QImage& picture() const { return m_picture; }
    void setPicture(const QImage& picture);
    bool isStretched() const { return m_stretch; }
    void setStretched(bool stretch);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
    bool m_stretch = false;
    // The stretched picture, made again only when the view's size or the picture changes.
    QPixmap m_stretched;
};
