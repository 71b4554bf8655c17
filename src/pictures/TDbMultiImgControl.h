#pragma once

#include <QByteArray>
#include <QImage>
#include <QWidget>

class QLabel;

// A picture field of the record: shows the picture stored in its column and keeps the stored bytes, so
// a picture that was not changed goes back to the table exactly as it came.
class TDbMultiImgControl : public QWidget
{
    Q_OBJECT
public:
    explicit TDbMultiImgControl(QWidget* parent = nullptr);

    // The stored form: a BMP file image, optionally behind an 8-byte header.
    QByteArray pictureData() const { return m_data; }
    void setPictureData(const QByteArray& data);
    void clear() { setPictureData({}); }
    bool isEmpty() const { return m_data.isEmpty(); }

    // The BMP bytes inside a stored value: the 8-byte header (1, 256, length) is skipped when it matches.
    static QByteArray bitmapBytes(const QByteArray& stored);

signals:
    void pictureChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showPicture();

    QByteArray m_data;
    QImage m_image;
    QLabel* m_view;
};
