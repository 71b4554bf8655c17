#include "ModalWatcher.h"
#include "NextModal.h"
#include "pictures/PictureGeometry.h"
#include "pictures/SaneScanner.h"
#include "pictures/TCaptureWindow.h"
#include "pictures/TDbMultiImgControl.h"
#include "pictures/TFullScreenView.h"
#include "pictures/TImageView.h"
#include "pictures/TPictureFileDialog.h"
#include "PictureTestSupport.h"
#include "SaneTestConfig.h"

#include <gtest/gtest.h>
#include <QClipboard>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace picturetests;

namespace {

QStringList menuTexts(QMenu* menu)
{
    QStringList texts;
    for (QAction* action : menu->actions())
        texts.append(action->isSeparator() ? QStringLiteral("-") : action->text());
    return texts;
}

QAction* menuItem(QMenu* menu, const QString& text)
{
    for (QAction* action : menu->actions())
        if (action->text() == text)
            return action;
    ADD_FAILURE() << "no menu item " << text.toStdString();
    return nullptr;
}

// Runs what the menu does just before it opens.
QMenu* openedMenu(TMultiImgControl& control)
{
    QMenu* menu = control.popupMenu();
    emit menu->aboutToShow();
    return menu;
}

QImage solidPicture(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A control in a window of its own, shown, so that layouts and visibility are real.
struct ShownControl
{
    QWidget window;
    TDbMultiImgControl* control = new TDbMultiImgControl(&window);

    explicit ShownControl(QSize size = {TMultiImgControl::defaultWidth, TMultiImgControl::defaultHeight})
    {
        window.resize(size + QSize(20, 20));
        control->move(10, 10);
        control->resize(size);
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
};

} // namespace

TEST(TMultiImgControl, HasItsPartsAndDefaults)
{
    TDbMultiImgControl control;
    EXPECT_EQ(control.size(), QSize(210, 200));
    EXPECT_EQ(control.speedBarHeight(), 24);
    EXPECT_TRUE(control.isSpeedBarVisible());
    EXPECT_EQ(control.property("SpeedBarHeight").toInt(), 24);
    EXPECT_EQ(control.ScrollBox->objectName(), "ScrollBox");
    EXPECT_EQ(control.Panel->objectName(), "Panel");
    EXPECT_EQ(control.Image->objectName(), "Image");
    EXPECT_EQ(control.Image->palette().color(QPalette::Window), QColor(192, 192, 192));
    EXPECT_EQ(control.toolTip(), "Graphical Field - Right Click to display Popup Menu");
    EXPECT_TRUE(control.isEmpty());
    EXPECT_FALSE(control.isChanged());

    // The buttons, left to right, with their hints; square, as high as the bar less 4.
    const QStringList order = {"Btn1", "Btn2", "Btn3", "Btn4", "Btn5",
                               "Btn8", "Btn6", "Btn7", "Btn9", "Btn10"};
    const QStringList hints = {"Clear",          "Load",  "Save", "Copy",        "Paste",
                               "Screen Capture", "Print", "Scan", "Full Screen", "Auto Stretch"};
    auto* row = qobject_cast<QHBoxLayout*>(control.Panel->layout());
    ASSERT_NE(row, nullptr);
    for (int i = 0; i < order.size(); ++i) {
        auto* button = qobject_cast<QToolButton*>(row->itemAt(i)->widget());
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->objectName(), order[i]);
        EXPECT_EQ(button->toolTip(), hints[i]);
        EXPECT_EQ(button->size(), QSize(20, 20));
        EXPECT_EQ(button->font().family(), "Arial");
        EXPECT_FALSE(button->icon().isNull());
    }
    EXPECT_TRUE(control.button(10)->isCheckable());
    control.setSpeedBarHeight(30);
    EXPECT_EQ(control.button(3)->size(), QSize(26, 26));
    EXPECT_EQ(control.Panel->height(), 30);
}

TEST(TMultiImgControl, SpeedBarNeedsTwoHundredAndTenPixels)
{
    ShownControl shown;
    TMultiImgControl& control = *shown.control;
    EXPECT_TRUE(control.Panel->isVisible());
    control.resize(200, 200);
    EXPECT_FALSE(control.Panel->isVisible()) << "200 pixels wide hides the bar";
    control.resize(210, 200);
    EXPECT_TRUE(control.Panel->isVisible());
    control.setSpeedBarVisible(false);
    EXPECT_FALSE(control.Panel->isVisible());
    control.resize(400, 200);
    EXPECT_FALSE(control.Panel->isVisible());
}

TEST(TMultiImgControl, MenuOffersWhatTheStateAllows)
{
    ShownControl shown;
    TMultiImgControl& control = *shown.control;
    QMenu* menu = openedMenu(control);
    EXPECT_EQ(menuTexts(menu), QStringList({"&Clear", "&Load", "&Save", "C&opy", "P&aste", "Sc&reen Capture",
                                            "&Print", "Sca&n", "S&elect Scanner", "&Full Screen",
                                            "A&uto Stretch", "Hide &Tool Bar", "-", "&Help"}));

    QGuiApplication::clipboard()->setText("no picture");
    emit menu->aboutToShow();
    EXPECT_FALSE(menuItem(menu, "P&aste")->isEnabled());
    QGuiApplication::clipboard()->setImage(solidPicture(5, 5, qRgb(1, 2, 3)));
    emit menu->aboutToShow();
    EXPECT_TRUE(menuItem(menu, "P&aste")->isEnabled());
    EXPECT_TRUE(menuItem(menu, "Sca&n")->isEnabled()) << "SANE and its test backend are there";
    EXPECT_TRUE(menuItem(menu, "S&elect Scanner")->isEnabled());
    EXPECT_FALSE(menuItem(menu, "&Help")->isEnabled()) << "no help topic";

    // The tool bar item hides the bar, then offers to show it again.
    menuItem(menu, "Hide &Tool Bar")->trigger();
    EXPECT_FALSE(control.Panel->isVisible());
    emit menu->aboutToShow();
    ASSERT_NE(menuItem(menu, "Show &Tool Bar"), nullptr);
    menuItem(menu, "Show &Tool Bar")->trigger();
    EXPECT_TRUE(control.Panel->isVisible());
    control.setSpeedBarVisible(false);
    emit menu->aboutToShow();
    EXPECT_FALSE(menu->actions().at(11)->isVisible()) << "no tool bar item without a speed bar";

    control.setProperty("helpContext", 132);
    emit menu->aboutToShow();
    EXPECT_TRUE(menuItem(menu, "&Help")->isEnabled());

    // Without a scanner interface the scan items and the scan button are off.
    pictures::SaneScanner missing(QStringLiteral("no-such-scanner-library"));
    control.setScanner(&missing);
    emit menu->aboutToShow();
    EXPECT_FALSE(menuItem(menu, "Sca&n")->isEnabled());
    EXPECT_FALSE(menuItem(menu, "S&elect Scanner")->isEnabled());
    EXPECT_FALSE(control.button(7)->isEnabled());

    // A window's own menu replaces the control's.
    QMenu own;
    own.addAction("Mine");
    control.setPopupMenu(&own);
    EXPECT_EQ(control.popupMenu(), &own);
}

TEST(TMultiImgControl, DisabledControlStaysUsableForViewingOnly)
{
    ShownControl shown;
    TMultiImgControl& control = *shown.control;
    control.setPicture(solidPicture(500, 400, qRgb(10, 20, 30)));
    control.setEnabled(false);
    EXPECT_TRUE(control.isEnabled()) << "it enables itself again";
    EXPECT_TRUE(control.isReadOnly());
    for (int number : {1, 2, 5, 7, 8})
        EXPECT_FALSE(control.button(number)->isEnabled()) << "Btn" << number;
    for (int number : {3, 4, 6, 9, 10})
        EXPECT_TRUE(control.button(number)->isEnabled()) << "Btn" << number;
    QMenu* menu = openedMenu(control);
    QGuiApplication::clipboard()->setImage(solidPicture(5, 5, qRgb(1, 2, 3)));
    emit menu->aboutToShow();
    for (const char* text : {"&Clear", "&Load", "P&aste", "Sc&reen Capture", "Sca&n", "S&elect Scanner"})
        EXPECT_FALSE(menuItem(menu, text)->isEnabled()) << text;
    for (const char* text : {"&Save", "C&opy", "&Print", "&Full Screen", "A&uto Stretch"})
        EXPECT_TRUE(menuItem(menu, text)->isEnabled()) << text;

    // It still scrolls and copies; it does not clear or paste.
    EXPECT_GT(control.ScrollBox->horizontalScrollBar()->maximum(), 0);
    control.ScrollBox->horizontalScrollBar()->setValue(50);
    EXPECT_EQ(control.ScrollBox->horizontalScrollBar()->value(), 50);
    control.copyToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(500, 400));
    QGuiApplication::clipboard()->setImage(solidPicture(5, 5, qRgb(1, 2, 3)));
    control.pasteFromClipboard();
    control.button(1)->click();
    EXPECT_EQ(control.picture().size(), QSize(500, 400));

    // Disabling the whole window is not the window disabling the control.
    control.setReadOnly(false);
    shown.window.setEnabled(false);
    shown.window.setEnabled(true);
    EXPECT_FALSE(control.isReadOnly());
    EXPECT_TRUE(control.button(1)->isEnabled());
}

TEST(TMultiImgControl, LoadClearAndSaveKeepTheirStates)
{
    QTemporaryDir folder;
    const QString png = folder.filePath("stamp.png");
    ASSERT_TRUE(gradientPicture(60, 40).save(png));
    TMultiImgControl control;

    EXPECT_TRUE(control.loadFile(png));
    EXPECT_EQ(control.fileName(), png);
    EXPECT_TRUE(control.isLoadedFromFile());
    EXPECT_FALSE(control.isModified());
    EXPECT_FALSE(control.isChanged());
    EXPECT_TRUE(samePixels(gradientPicture(60, 40), control.picture()));

    const QString garbage = folder.filePath("garbage.png");
    writeFile(garbage, "no picture in here");
    EXPECT_FALSE(control.loadFile(garbage));
    EXPECT_EQ(control.fileName(), png) << "a file that cannot be read changes nothing";
    EXPECT_FALSE(control.isEmpty());

    control.clear();
    EXPECT_TRUE(control.isEmpty());
    EXPECT_TRUE(control.fileName().isEmpty());
    EXPECT_TRUE(control.isModified());
    EXPECT_FALSE(control.isLoadedFromFile());
    EXPECT_FALSE(control.isChanged()) << "an empty picture is no change to keep";

    control.setPicture(solidPicture(30, 20, qRgb(200, 0, 0)));
    EXPECT_TRUE(control.isChanged());
    EXPECT_FALSE(control.saveToFile(folder.filePath("four-letters.jpeg")));
    EXPECT_FALSE(QFile::exists(folder.filePath("four-letters.jpeg")));
    EXPECT_TRUE(control.isChanged());
    const QString saved = folder.filePath("saved.pcx");
    EXPECT_TRUE(control.saveToFile(saved));
    EXPECT_FALSE(control.isChanged());
    EXPECT_EQ(control.fileName(), saved) << "the first file saved to becomes the file name";
    EXPECT_TRUE(control.saveToFile(folder.filePath("again.gif")));
    EXPECT_EQ(control.fileName(), saved) << "later saves keep it";

    control.loadFile(folder.filePath("missing.png"));
    EXPECT_TRUE(control.isEmpty()) << "loading a file that is not there clears";
    EXPECT_FALSE(control.saveToFile(folder.filePath("empty.png")));
}

TEST(TMultiImgControl, AutoStretchFitsThePictureIntoTheBox)
{
    ShownControl shown(QSize(300, 260));
    TMultiImgControl& control = *shown.control;
    const QSize box = control.ScrollBox->maximumViewportSize();
    EXPECT_EQ(control.Image->size(), box - QSize(4, 4)) << "an empty view fills the box";

    control.setPicture(gradientPicture(800, 300));
    EXPECT_EQ(control.Image->size(), QSize(800, 300));
    EXPECT_FALSE(control.Image->isStretched());
    EXPECT_GT(control.ScrollBox->horizontalScrollBar()->maximum(), 0);

    control.button(10)->click();
    EXPECT_TRUE(control.isAutoStretch());
    EXPECT_TRUE(control.button(10)->isChecked());
    EXPECT_TRUE(control.Image->isStretched());
    EXPECT_EQ(control.Image->size(),
              pictures::fittedSize({800, 300}, control.ScrollBox->maximumViewportSize()));
    EXPECT_EQ(control.ScrollBox->horizontalScrollBar()->maximum(), 0);
    QMenu* menu = openedMenu(control);
    EXPECT_TRUE(menuItem(menu, "A&uto Stretch")->isChecked());

    shown.window.resize(700, 600);
    control.resize(660, 560);
    EXPECT_EQ(control.Image->size(),
              pictures::fittedSize({800, 300}, control.ScrollBox->maximumViewportSize()));

    control.clear();
    EXPECT_FALSE(control.Image->isStretched()) << "an empty picture is never stretched";
    menuItem(menu, "A&uto Stretch")->trigger();
    EXPECT_FALSE(control.isAutoStretch());
    EXPECT_FALSE(control.button(10)->isChecked());
}

TEST(TMultiImgControl, CopiesAndPastesThroughTheClipboard)
{
    TMultiImgControl source;
    TMultiImgControl target;
    source.copyToClipboard();
    QGuiApplication::clipboard()->setText("text only");
    target.pasteFromClipboard();
    EXPECT_TRUE(target.isEmpty());

    source.setPicture(palettePicture(21, 13, {qRgb(255, 0, 0), qRgb(0, 0, 255)}));
    source.copyToClipboard();
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasImage());
    target.pasteFromClipboard();
    EXPECT_TRUE(samePixels(source.picture(), target.picture()));
    EXPECT_TRUE(target.isModified());
    EXPECT_FALSE(target.isLoadedFromFile());
}

TEST(TFullScreenView, ShowsThePictureCentredAndClosesOnAClickOrKey)
{
    const QImage picture = solidPicture(200, 100, qRgb(0, 128, 0));
    TFullScreenView view(picture);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.size(), screen.size());
    EXPECT_TRUE(view.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(view.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(view.pictureRect().size(), QSize(200, 100));
    EXPECT_EQ(view.pictureRect().center(), view.rect().center());
    const QImage shot = view.grab().toImage();
    EXPECT_EQ(shot.pixel(view.rect().center()), qRgb(0, 128, 0));
    EXPECT_EQ(shot.pixel(2, 2), qRgb(0, 0, 0));

    view.popupMenu()->actions().first()->trigger();
    EXPECT_TRUE(view.isFitted());
    EXPECT_EQ(view.pictureRect().size(), pictures::fittedSize({200, 100}, screen.size()));

    QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(view.isVisible());
    EXPECT_EQ(view.result(), QDialog::Accepted);

    TFullScreenView keyed(picture);
    keyed.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&keyed));
    QTest::keyClick(&keyed, Qt::Key_Space);
    EXPECT_FALSE(keyed.isVisible());
}

TEST(TMultiImgControl, FullScreenShowsOnlyAPicture)
{
    TMultiImgControl control;
    control.showPictureFullScreen(); // empty: nothing opens, nothing waits
    control.setPicture(solidPicture(40, 30, qRgb(1, 1, 1)));
    bool shown = false;
    onNextModal<TFullScreenView>([&](TFullScreenView* view) {
        shown = view->pictureRect().size() == QSize(40, 30);
        QTest::keyClick(view, Qt::Key_Escape);
    });
    control.showPictureFullScreen();
    EXPECT_TRUE(shown);
}

TEST(TCaptureWindow, DraggedRectangleBecomesThePicture)
{
    const QImage screen = gradientPicture(320, 240);
    struct Case
    {
        const char* name;
        QPoint from;
        QPoint to;
        QRect area;
    };
    const Case cases[] = {
        {"down and right", {10, 20}, {40, 60}, {10, 20, 30, 40}},
        {"up and left: corners ordered", {40, 60}, {10, 20}, {10, 20, 30, 40}},
        {"up and right", {10, 60}, {40, 20}, {10, 20, 30, 40}},
        {"a click without moving", {50, 50}, {50, 50}, {}},
        {"a line", {10, 50}, {90, 50}, {}},
    };
    for (const Case& c : cases) {
        TCaptureWindow window(screen);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        EXPECT_EQ(window.cursor().shape(), Qt::CrossCursor);
        QTest::mousePress(&window, Qt::LeftButton, {}, c.from);
        QTest::mouseMove(&window, (c.from + c.to) / 2);
        QTest::mouseMove(&window, c.to);
        QTest::mouseRelease(&window, Qt::LeftButton, {}, c.to);
        EXPECT_EQ(window.result(), QDialog::Accepted) << c.name;
        if (c.area.isEmpty())
            EXPECT_TRUE(window.captured().isNull()) << c.name;
        else
            EXPECT_TRUE(samePixels(screen.copy(c.area), window.captured())) << c.name;
    }
}

TEST(TMultiImgControl, ScreenCaptureHidesItsWindowMeanwhile)
{
    ShownControl shown;
    TMultiImgControl& control = *shown.control;
    bool hiddenMeanwhile = false;
    int tagMeanwhile = 0;
    const auto dragOn = [&](QPoint from, QPoint to) {
        onNextModal<TCaptureWindow>([&, from, to](TCaptureWindow* window) {
            hiddenMeanwhile = !shown.window.isVisible();
            tagMeanwhile = shown.window.property("tag").toInt();
            QTest::mousePress(window, Qt::LeftButton, {}, from);
            QTest::mouseMove(window, to);
            QTest::mouseRelease(window, Qt::LeftButton, {}, to);
        });
    };
    dragOn({5, 5}, {55, 45});
    control.captureScreen();
    EXPECT_TRUE(hiddenMeanwhile);
    EXPECT_EQ(tagMeanwhile, 1000);
    EXPECT_TRUE(shown.window.isVisible());
    EXPECT_EQ(shown.window.property("tag").toInt(), 0);
    EXPECT_EQ(control.picture().size(), QSize(50, 40));
    EXPECT_TRUE(control.isModified());

    ModalWatcher boxes;
    const QImage before = control.picture();
    dragOn({30, 30}, {30, 80});
    control.captureScreen();
    QTest::qWait(50);
    EXPECT_EQ(boxes.texts(), QStringList{"Both Width and Height of Captured Area must be > 0 !"});
    EXPECT_EQ(control.picture(), before);
}

TEST(TMultiImgControl, ScreenCaptureFromADialogLeavesTheDialogRunning)
{
    // The table view's field editor is a modal dialog: taking it out of the way must not end it.
    QDialog editor;
    auto* control = new TMultiImgControl(&editor);
    int tagMeanwhile = 0;
    QTimer::singleShot(0, &editor, [&] {
        onNextModal<TCaptureWindow>([&](TCaptureWindow* window) {
            tagMeanwhile = editor.property("tag").toInt();
            QTest::mousePress(window, Qt::LeftButton, {}, QPoint(1, 1));
            QTest::mouseMove(window, QPoint(21, 11));
            QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(21, 11));
        });
        control->captureScreen();
        // Still running a moment later, when the event loop has had its say.
        QTimer::singleShot(50, &editor, [&] { editor.done(42); });
    });
    EXPECT_EQ(editor.exec(), 42);
    EXPECT_EQ(tagMeanwhile, 1000);
    EXPECT_EQ(control->picture().size(), QSize(20, 10));
}

TEST(TMultiImgControl, PrintsAtTheUpperLeftOfThePage)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath("picture.pdf");
    TMultiImgControl control;
    control.setPicture(solidPicture(100, 50, qRgb(255, 0, 0)));
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        printer.setPageSize(QPageSize(QPageSize::A4));
        QPainter painter(&printer);
        control.printInto(painter, printer.pageLayout().paintRectPixels(printer.resolution()).size());
    }
    QProcess render;
    render.start("pdftoppm", {"-r", "72", "-png", "-singlefile", pdf, folder.filePath("page")});
    ASSERT_TRUE(render.waitForFinished(60000)) << "pdftoppm (poppler-utils) did not run";
    const QImage page(folder.filePath("page.png"));
    ASSERT_FALSE(page.isNull());

    // The picture is placed on the printer's own pixels: this small one is enlarged until it is a fifth of
    // the page high, in proportion. The page is looked at in 72 dots an inch.
    QPrinter reference(QPrinter::HighResolution);
    reference.setPageSize(QPageSize(QPageSize::A4));
    const QRect area = reference.pageLayout().paintRectPixels(reference.resolution());
    const QRect placed = pictures::printRectangle({100, 50}, area.size());
    EXPECT_EQ(placed.height(), qRound(area.height() / 5.0));
    const double scale = 72.0 / reference.resolution();
    const QRect printed(QPoint(qRound(area.left() * scale), qRound(area.top() * scale)),
                        QSize(qRound(placed.width() * scale), qRound(placed.height() * scale)));
    const auto isRed = [&](QPoint at) {
        const QRgb pixel = page.pixel(at);
        return qRed(pixel) > 200 && qGreen(pixel) < 60 && qBlue(pixel) < 60;
    };
    EXPECT_TRUE(isRed(printed.topLeft() + QPoint(2, 2)));
    EXPECT_TRUE(isRed(printed.bottomRight() - QPoint(2, 2)));
    EXPECT_FALSE(isRed(printed.topRight() + QPoint(3, 0)));
    EXPECT_FALSE(isRed(printed.bottomLeft() + QPoint(0, 3)));
    EXPECT_FALSE(isRed(printed.topLeft() - QPoint(3, 3)));
}

TEST(TMultiImgControl, ScansThroughSane)
{
    pictures::SaneScanner scanner;
    scanner.selectDevice("test:0");
    scanner.setOption("read-return-value", "Default");
    scanner.setOption("resolution", 25);
    scanner.setOption("test-picture", "Color pattern");
    TMultiImgControl control;
    control.setScanner(&scanner);

    control.setReadOnly(true);
    control.scan();
    EXPECT_TRUE(control.picture().isNull()) << "no scanning into a read-only field";
    control.setReadOnly(false);

    ASSERT_TRUE(control.button(7)->isEnabled());
    control.button(7)->click();
    EXPECT_FALSE(control.scanFailed());
    EXPECT_EQ(control.picture().size(), QSize(78, 98));
    EXPECT_TRUE(control.isModified());

    // A failed scan keeps the picture and whether it still has to be stored.
    const QImage kept = control.picture();
    scanner.setOption("read-return-value", "SANE_STATUS_IO_ERROR");
    ModalWatcher boxes;
    control.scan();
    EXPECT_TRUE(control.scanFailed());
    EXPECT_EQ(control.picture(), kept);
    EXPECT_TRUE(control.isModified());
    ASSERT_EQ(boxes.texts().size(), 1);
    EXPECT_TRUE(boxes.texts().first().startsWith("The scanner reported an error: "));

    // A cancelled one says nothing.
    scanner.setOption("read-return-value", "SANE_STATUS_CANCELLED");
    control.scan();
    EXPECT_TRUE(control.scanFailed());
    EXPECT_EQ(boxes.texts().size(), 1);
}

TEST(TMultiImgControl, SelectsTheScannerFromTheDevicesFound)
{
    pictures::SaneScanner scanner;
    TMultiImgControl control;
    control.setScanner(&scanner);
    onNextModal<QInputDialog>([](QInputDialog* dialog) {
        EXPECT_EQ(dialog->windowTitle(), "Select Scanner");
        EXPECT_EQ(dialog->comboBoxItems().size(), 2);
        dialog->setTextValue(dialog->comboBoxItems().at(1));
        dialog->accept();
    });
    control.selectScanner();
    EXPECT_EQ(scanner.selectedDevice(), "test:1");
}

TEST(TMultiImgControl, LoadAndSaveCommandsGoThroughTheirDialogs)
{
    QTemporaryDir folder;
    const QString gif = folder.filePath("stamp.gif");
    TMultiImgControl source;
    source.setPicture(palettePicture(30, 20, {qRgb(200, 0, 0), qRgb(0, 0, 200)}));
    ASSERT_TRUE(source.saveToFile(gif));
    const auto typeInNextDialog = [](const QString& path) {
        onNextModal<TPictureFileDialog>([path](TPictureFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(name, nullptr);
            name->setText(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
    };

    TMultiImgControl control;
    typeInNextDialog(gif);
    control.button(2)->click();
    EXPECT_EQ(control.fileName(), gif);
    EXPECT_TRUE(control.isLoadedFromFile());
    EXPECT_TRUE(samePixels(source.picture(), control.picture()));

    // A name typed without extension is saved in the chosen format, BMP at first.
    control.setPicture(gradientPicture(12, 12));
    typeInNextDialog(folder.filePath("copy"));
    control.button(3)->click();
    EXPECT_TRUE(samePixels(gradientPicture(12, 12), QImage(folder.filePath("copy.bmp"))));
    EXPECT_EQ(control.fileName(), folder.filePath("copy.bmp"));

    ModalWatcher boxes;
    const QString garbage = folder.filePath("garbage.png");
    writeFile(garbage, "no picture");
    typeInNextDialog(garbage);
    control.loadWithDialog();
    QTest::qWait(50);
    EXPECT_EQ(boxes.texts(), QStringList{"The file holds no picture that can be read:\n" + garbage});
    EXPECT_TRUE(samePixels(gradientPicture(12, 12), control.picture()));
}

TEST(TMultiImgControl, PrintCommandPrintsThroughThePrintDialog)
{
    QTemporaryDir folder;
    const QString pdf = folder.filePath("printed.pdf");
    TMultiImgControl control;
    control.setPicture(solidPicture(64, 48, qRgb(0, 0, 255)));
    bool asked = false;
    onNextModal<QPrintDialog>([&](QPrintDialog* dialog) {
        asked = true;
        // No printer here: Qt's own dialog offers printing to a file, named in its "filename" box.
        auto* file = dialog->findChild<QLineEdit*>("filename");
        ASSERT_NE(file, nullptr);
        file->setText(pdf);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    control.printWithDialog();
    EXPECT_TRUE(asked);
    EXPECT_TRUE(readFile(pdf).startsWith("%PDF"));
}

TEST(TPictureFileDialog, HasTheTitlesFiltersAndPreview)
{
    TPictureFileDialog load(TPictureFileDialog::Purpose::Load);
    EXPECT_EQ(load.windowTitle(), "Load Image From");
    EXPECT_EQ(
        load.nameFilters(),
        QStringList({"All Images (*.jpg *.gif *.pcx *.bmp *.png)", "BMP Images (*.bmp)", "GIF Images (*.gif)",
                     "PCX Images (*.pcx)", "JPG Images (*.jpg)", "PNG Images (*.png)"}));
    EXPECT_EQ(load.acceptMode(), QFileDialog::AcceptOpen);

    TPictureFileDialog save(TPictureFileDialog::Purpose::Save);
    EXPECT_EQ(save.windowTitle(), "Save Image As");
    EXPECT_EQ(save.nameFilters().first(), "BMP Images (*.bmp)");
    EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
    EXPECT_EQ(save.defaultSuffix(), "bmp");
    save.selectNameFilter("JPG Images (*.jpg)");
    emit save.filterSelected("JPG Images (*.jpg)");
    EXPECT_EQ(save.defaultSuffix(), "jpg");

    QTemporaryDir folder;
    const QString pcx = folder.filePath("stamp.pcx");
    TMultiImgControl holder;
    holder.setPicture(gradientPicture(320, 160));
    ASSERT_TRUE(holder.saveToFile(pcx));
    emit load.currentChanged(pcx);
    ASSERT_FALSE(load.preview()->pixmap().isNull());
    EXPECT_LE(load.preview()->pixmap().width(), 160);
    emit load.currentChanged(folder.path());
    EXPECT_TRUE(load.preview()->pixmap().isNull());
}
