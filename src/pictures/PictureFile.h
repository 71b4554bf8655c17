#pragma once

#include <QImage>
#include <QString>

namespace pictures {

// Picture files of the five formats the picture fields know.
namespace PictureFile {

enum class Format
{
    None,
    Bmp,
    Gif,
    Pcx,
    Jpeg,
    Png
};

constexpr int jpegQuality = 75;

// The format a save writes, by the path's extension compared in capitals: ".BMP", ".GIF", ".JPG", ".PNG",
// ".PCX"; any other extension (".jpeg" too) gives None.
Format formatForSaving(const QString& path);

// The picture in the file, recognised by its content (a file named .pcx, or one that begins like a PCX
// header, goes to the PCX reader); a null image when it cannot be read.
QImage read(const QString& path);
// A small version of the picture for a file dialog's preview, decoded at reduced size where the format
// allows.
QImage readPreview(const QString& path, const QSize& bounds);

// Writes the picture in the format of the extension: JPEG at quality 75 from true colour. The file is
// replaced only when the whole picture was written, so a failed save keeps the old file. False for an
// unknown extension, a null image or a failed write.
bool write(const QImage& image, const QString& path);

} // namespace PictureFile

} // namespace pictures
