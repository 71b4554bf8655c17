#include "PictureFile.h"

#include "GifWriter.h"
#include "PcxCodec.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QSaveFile>

namespace pictures::PictureFile {

namespace {

bool namedPcx(const QString& path)
{
    return QFileInfo(path).suffix().toUpper() == QLatin1String("PCX");
}

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray encodeWithQt(const QImage& image, const char* format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    return writer.write(image) ? bytes : QByteArray();
}

QByteArray encode(const QImage& image, Format format)
{
    switch (format) {
    case Format::Bmp:
        return encodeWithQt(image, "BMP", -1);
    case Format::Png:
        return encodeWithQt(image, "PNG", -1);
    case Format::Jpeg:
        return encodeWithQt(image.convertToFormat(QImage::Format_RGB32), "JPEG", jpegQuality);
    case Format::Gif:
        return GifWriter::write(image);
    case Format::Pcx:
        return PcxCodec::write(image);
    case Format::None:
        break;
    }
    return {};
}

} // namespace

Format formatForSaving(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    if (suffix == QLatin1String("BMP"))
        return Format::Bmp;
    if (suffix == QLatin1String("GIF"))
        return Format::Gif;
    if (suffix == QLatin1String("JPG"))
        return Format::Jpeg;
    if (suffix == QLatin1String("PNG"))
        return Format::Png;
    if (suffix == QLatin1String("PCX"))
        return Format::Pcx;
    return Format::None;
}

QImage read(const QString& path)
{
    const QByteArray bytes = readAll(path);
    if (bytes.isEmpty())
        return {};
    if (namedPcx(path) || PcxCodec::looksLikePcx(bytes)) {
        QImage image = PcxCodec::read(bytes);
        if (!image.isNull())
            return image;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    return reader.read();
}

QImage readPreview(const QString& path, const QSize& bounds)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    if (!namedPcx(path) && reader.canRead()) {
        const QSize size = reader.size();
        if (size.isValid() && (size.width() > bounds.width() || size.height() > bounds.height()))
            reader.setScaledSize(size.scaled(bounds, Qt::KeepAspectRatio));
        return reader.read();
    }
    const QImage image = read(path);
    if (image.width() <= bounds.width() && image.height() <= bounds.height())
        return image;
    return image.scaled(bounds, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

bool write(const QImage& image, const QString& path)
{
    const Format format = formatForSaving(path);
    if (format == Format::None || image.isNull())
        return false;
    const QByteArray bytes = encode(image, format);
    if (bytes.isEmpty())
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

} // namespace pictures::PictureFile
