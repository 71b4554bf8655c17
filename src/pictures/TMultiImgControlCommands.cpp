// The commands of the picture field's speed bar and menu.
#include "mainwindow/controls/BusyCursor.h"
#include "mainwindow/controls/MessageBoxes.h"
#include "PictureFile.h"
#include "PictureGeometry.h"
#include "SaneScanner.h"
#include "StoredPicture.h"
#include "TCaptureWindow.h"
#include "TFullScreenView.h"
#include "TMultiImgControl.h"
#include "TPictureFileDialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace {

const QString emptyCaptureMessage = QStringLiteral("Both Width and Height of Captured Area must be > 0 !");
const QString unreadableFileMessage = QStringLiteral("The file holds no picture that can be read:\n");
const QString failedSaveMessage = QStringLiteral("The picture could not be saved to\n");
const QString failedScanMessage = QStringLiteral("The scanner reported an error: ");
const QString noScannerMessage = QStringLiteral("No scanner was found.");
constexpr int hiddenWindowTag = 1000;

// Takes the window out of the way of a screen capture and brings it back; its tag tells its show handler
// that this is no first showing. A modal dialog is minimised rather than hidden, since hiding one ends it.
class WindowOutOfTheWay
{
public:
    explicit WindowOutOfTheWay(QWidget* window) : m_window(window)
    {
        m_window->setProperty("tag", hiddenWindowTag);
        m_window->lower();
        if (isDialog())
            m_window->showMinimized();
        else
            m_window->hide();
    }
    ~WindowOutOfTheWay()
    {
        if (isDialog())
            m_window->showNormal();
        else
            m_window->show();
        m_window->raise();
        m_window->activateWindow();
        m_window->setProperty("tag", 0);
    }
    WindowOutOfTheWay(const WindowOutOfTheWay&) = delete;
    WindowOutOfTheWay& operator=(const WindowOutOfTheWay&) = delete;

private:
    bool isDialog() const { return qobject_cast<QDialog*>(m_window) != nullptr; }

    QWidget* m_window;
};

} // namespace

bool TMultiImgControl::loadFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        clear();
        return false;
    }
    const BusyCursor busy;
    const QImage picture = pictures::PictureFile::read(path);
    if (picture.isNull())
        return false;
    m_fileName = path;
    markChanged(true);
    showPicture(pictures::StoredPicture::asBitmap(picture));
    return true;
}

void TMultiImgControl::loadWithDialog()
{
    if (m_readOnly)
        return;
    const QString path = TPictureFileDialog::choosePath(TPictureFileDialog::Purpose::Load, this);
    if (!path.isEmpty() && !loadFile(path))
        messages::error(this, unreadableFileMessage + path);
}

bool TMultiImgControl::saveToFile(const QString& path)
{
    const BusyCursor busy;
    if (!pictures::PictureFile::write(m_picture, path))
        return false;
    m_modified = false;
    if (m_fileName.isEmpty())
        m_fileName = path;
    return true;
}

void TMultiImgControl::saveWithDialog()
{
    if (m_picture.isNull())
        return;
    const QString path = TPictureFileDialog::choosePath(TPictureFileDialog::Purpose::Save, this);
    if (path.isEmpty())
        return;
    if (saveToFile(path))
        m_fileName = path;
    else
        messages::error(this, failedSaveMessage + path);
}

void TMultiImgControl::copyToClipboard()
{
    if (m_picture.isNull())
        return;
    const BusyCursor busy;
    QGuiApplication::clipboard()->setImage(m_picture);
}

void TMultiImgControl::pasteFromClipboard()
{
    if (m_readOnly)
        return;
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasImage())
        return;
    const QImage picture = qvariant_cast<QImage>(data->imageData());
    if (!picture.isNull())
        setPicture(picture);
}

void TMultiImgControl::captureScreen()
{
    if (m_readOnly)
        return;
    QImage captured;
    {
        const WindowOutOfTheWay hidden(window());
        captured = TCaptureWindow::captureScreen();
    }
    if (captured.width() <= 0 || captured.height() <= 0) {
        messages::error(this, emptyCaptureMessage);
        return;
    }
    QGuiApplication::clipboard()->setImage(captured);
    pasteFromClipboard();
}

void TMultiImgControl::printWithDialog()
{
    if (m_picture.isNull())
        return;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QPainter painter;
    if (!painter.begin(&printer))
        return;
    printInto(painter, printer.pageLayout().paintRectPixels(printer.resolution()).size());
    painter.end();
}

void TMultiImgControl::printInto(QPainter& painter, const QSize& printableArea) const
{
    if (!m_picture.isNull())
        painter.drawImage(pictures::printRectangle(m_picture.size(), printableArea), m_picture);
}

void TMultiImgControl::scan()
{
    if (m_readOnly || !isScannerAvailable())
        return;
    pictures::SaneScanner& scanner = m_scanner ? *m_scanner : pictures::SaneScanner::shared();
    pictures::SaneScanner::Result result;
    {
        const BusyCursor busy;
        result = scanner.acquire();
    }
    // A failed or cancelled scan leaves the picture, and whether it still has to be stored, as they were.
    m_scanError = result.image.isNull();
    if (m_scanError) {
        if (!result.error.isEmpty())
            messages::error(this, failedScanMessage + result.error);
        return;
    }
    setPicture(result.image);
}

void TMultiImgControl::selectScanner()
{
    if (m_readOnly || !isScannerAvailable())
        return;
    pictures::SaneScanner& scanner = m_scanner ? *m_scanner : pictures::SaneScanner::shared();
    const QList<pictures::SaneScanner::Device> devices = scanner.devices();
    if (devices.isEmpty()) {
        messages::information(this, noScannerMessage);
        return;
    }
    QStringList descriptions;
    int current = 0;
    for (const pictures::SaneScanner::Device& device : devices) {
        if (device.name == scanner.selectedDevice())
            current = static_cast<int>(descriptions.size());
        descriptions.append(device.description);
    }
    bool chosen = false;
    const QString choice =
        QInputDialog::getItem(this, QStringLiteral("Select Scanner"), QStringLiteral("Scanner:"),
                              descriptions, current, false, &chosen);
    if (chosen)
        scanner.selectDevice(devices.at(descriptions.indexOf(choice)).name);
}

void TMultiImgControl::showPictureFullScreen()
{
    if (m_picture.isNull())
        return;
    TFullScreenView view(m_picture, this);
    view.exec();
}

void TMultiImgControl::toggleAutoStretch()
{
    setAutoStretch(!m_autoStretch);
}
