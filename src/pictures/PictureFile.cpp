#include "PictureFile.h"

#include "BmpCodec.h"
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
        return BmpCodec::write(image);
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
    // The file is mapped rather than copied: a large picture is read straight from the file cache. Every
    // reader copies what it decodes, so nothing keeps pointing into the mapping once it is gone.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() == 0)
        return {};
    QByteArray copied;
    const uchar* mapped = file.map(0, file.size());
    if (!mapped)
        copied = file.readAll();
    const QByteArray bytes =
        mapped ? QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), file.size()) : copied;
    if (bytes.startsWith("BM")) {
        QImage image = BmpCodec::read(bytes);
        if (!image.isNull())
            return image;
    }
    if (namedPcx(path) || PcxCodec::looksLikePcx(bytes)) {
        QImage image = PcxCodec::read(bytes);
        if (!image.isNull())
            return image;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    // A reader may hand back pixels that still live in its input.
    if (mapped && image.constBits() >= mapped && image.constBits() < mapped + file.size())
        image = image.copy();
    return image;
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
