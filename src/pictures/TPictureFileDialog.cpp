#include "TPictureFileDialog.h"

#include "DialogFilter.h"
#include "PictureFile.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>

namespace {

constexpr int previewSide = 160;

const QString loadFilter = QStringLiteral("All Images|*.jpg;*.gif;*.pcx;*.bmp;*.png;|BMP Images|*.bmp|GIF "
                                          "Images|*.gif|PCX Images|*.pcx|JPG Images|*.jpg|PNG Images|*.png");
const QString saveFilter =
    QStringLiteral("BMP Images|*.bmp|GIF Images|*.gif|PCX Images|*.pcx|JPG Images|*.jpg|PNG Images|*.png");

} // namespace

TPictureFileDialog::TPictureFileDialog(Purpose purpose, QWidget* parent)
    : QFileDialog(parent), m_preview(new QLabel(this))
{
    // Qt's own dialog, because the preview lives in its layout.
    setOption(QFileDialog::DontUseNativeDialog);
    const bool load = purpose == Purpose::Load;
    setWindowTitle(load ? QStringLiteral("Load Image From") : QStringLiteral("Save Image As"));
    setAcceptMode(load ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(load ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setNameFilters(pictures::nameFilters(load ? loadFilter : saveFilter));
    if (!load) {
        // A name typed without extension takes that of the chosen format.
        setDefaultSuffix(pictures::singleExtension(selectedNameFilter()));
        connect(this, &QFileDialog::filterSelected, this,
                [this](const QString& filter) { setDefaultSuffix(pictures::singleExtension(filter)); });
    }

    m_preview->setObjectName(QStringLiteral("Preview"));
    m_preview->setFixedSize(previewSide, previewSide);
    m_preview->setAlignment(Qt::AlignCenter);
    m_preview->setFrameShape(QFrame::StyledPanel);
    if (auto* grid = qobject_cast<QGridLayout*>(layout()))
        grid->addWidget(m_preview, 0, grid->columnCount(), grid->rowCount(), 1);
    connect(this, &QFileDialog::currentChanged, this, &TPictureFileDialog::showPreview);
}

QString TPictureFileDialog::choosePath(Purpose purpose, QWidget* parent)
{
    TPictureFileDialog dialog(purpose, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void TPictureFileDialog::showPreview(const QString& path)
{
    const QImage picture = QFileInfo(path).isFile()
                               ? pictures::PictureFile::readPreview(path, m_preview->contentsRect().size())
                               : QImage();
    if (picture.isNull())
        m_preview->clear();
    else
        m_preview->setPixmap(QPixmap::fromImage(picture));
}
