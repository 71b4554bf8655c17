#include "PictureGeometry.h"

#include <QtMath>

namespace pictures {

QSize fittedSize(const QSize& natural, const QSize& box)
{
    if (natural.isEmpty() || box.isEmpty())
        return {};
    const double aspect = double(natural.width()) / natural.height();
    int width = box.width();
    int height = static_cast<int>(box.width() / aspect);
    if (height > box.height()) {
        height = box.height();
        width = static_cast<int>(aspect * box.height());
    }
    return {width, height};
}

QRect printRectangle(const QSize& picture, const QSize& page)
{
    if (picture.isEmpty() || page.isEmpty())
        return {};
    const double ratio = double(picture.height()) / picture.width();
    int width = picture.width();
    int height = picture.height();
    if (width < page.width() / 4.0) {
        width = qRound(page.width() / 4.0);
        height = qRound(ratio * width);
    }
    if (height < page.height() / 5.0) {
        height = qRound(page.height() / 5.0);
        width = qRound(height / ratio);
    }
    if (height > page.height()) {
        height = page.height();
        width = qRound(page.height() / ratio);
    }
    // A picture shrunk to the page height may still be wider than the page; then the width decides.
    if (width > page.width()) {
        width = page.width();
        height = qRound(ratio * page.width());
    }
    return {0, 0, width, height};
}

} // namespace pictures
