// Times a 4000 x 3000 picture through the picture field and prints a Markdown table: each step's median
// over a few runs, with Qt's own BMP reading and writing of the same picture as the reference.
//   pictures_bench [runs]
#include "dbase/Table.h"
#include "pictures/PictureFile.h"
#include "pictures/StoredPicture.h"
#include "pictures/TDbMultiImgControl.h"
#include "store/ColumnValues.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImageWriter>
#include <QTemporaryDir>
#include <vector>

namespace {

constexpr int pictureWidth = 4000;
constexpr int pictureHeight = 3000;
constexpr int pictureColumn = 1;

// Something like a photograph: smooth gradients, a ripple and a little noise, so that every format has
// real work to do and the GIF writer has millions of colours to reduce.
QImage photograph()
{
    QImage image(pictureWidth, pictureHeight, QImage::Format_RGB32);
    quint32 noise = 12345;
    for (int y = 0; y < pictureHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < pictureWidth; ++x) {
            noise = noise * 1664525u + 1013904223u;
            const int jitter = static_cast<int>(noise >> 28) - 8;
            const int ripple = static_cast<int>(127 * std::sin((x + 2 * y) / 40.0));
            line[x] = qRgb(std::clamp(x * 255 / pictureWidth + jitter, 0, 255),
                           std::clamp(y * 255 / pictureHeight + jitter, 0, 255),
                           std::clamp(128 + ripple + jitter, 0, 255));
        }
    }
    return image;
}

// Wall-clock time is what the user waits; processor time is what this program spent, and moves less
// when other programs share the machine.
struct Timing
{
    double wall = 0;
    double processor = 0;
};

struct Row
{
    QString step;
    Timing time;
    QString note;
};

double processorMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Timing medianMilliseconds(int runs, const std::function<void()>& work)
{
    std::vector<double> walls;
    std::vector<double> processors;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        const double processorStart = processorMilliseconds();
        timer.start();
        work();
        walls.push_back(timer.nsecsElapsed() / 1e6);
        processors.push_back(processorMilliseconds() - processorStart);
    }
    std::sort(walls.begin(), walls.end());
    std::sort(processors.begin(), processors.end());
    return {walls[walls.size() / 2], processors[processors.size() / 2]};
}

QString megabytes(qint64 bytes)
{
    return QStringLiteral("%1 MB").arg(bytes / 1e6, 0, 'f', 1);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;

    QTemporaryDir folder;
    const QImage picture = photograph();
    const QString files[] = {"picture.bmp", "picture.png", "picture.jpg", "picture.gif", "picture.pcx"};
    for (const QString& name : files)
        if (!pictures::PictureFile::write(picture, folder.filePath(name))) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(name));
            return 1;
        }
    const std::string tableFolder = folder.path().toStdString();
    dbase::createTable(
        tableFolder, "bench.dbf",
        {{"NUMBER", dbase::FieldType::Numeric, 6, 0}, {"PICTURE", dbase::FieldType::Binary, 10, 0}});
    // The table on its first row, as the record window has it.
    const auto openTable = [&] {
        auto table = std::make_unique<dbase::Table>();
        table->open(tableFolder, "bench.dbf");
        table->first();
        return table;
    };
    {
        const auto table = openTable();
        table->append();
        table->post();
    }

    QWidget window;
    window.resize(820, 620);
    auto* control = new TDbMultiImgControl(&window);
    control->setGeometry(10, 10, 800, 600);
    window.show();
    QCoreApplication::processEvents();

    std::vector<Row> rows;
    const QString bmp = folder.filePath("picture.bmp");
    rows.push_back({"Qt reads the BMP file (reference)",
                    medianMilliseconds(runs, [&] { QImage(bmp).size(); }), megabytes(QFileInfo(bmp).size())});
    rows.push_back({"Qt writes a BMP image in memory (reference)",
                    medianMilliseconds(runs,
                                       [&] {
                                           QByteArray bytes;
                                           QBuffer buffer(&bytes);
                                           buffer.open(QIODevice::WriteOnly);
                                           QImageWriter(&buffer, "BMP").write(picture);
                                       }),
                    {}});
    for (const QString& name : files) {
        const QString path = folder.filePath(name);
        rows.push_back({"Load " + QFileInfo(name).suffix().toUpper() + " file into the field",
                        medianMilliseconds(runs, [&] { control->loadFile(path); }),
                        megabytes(QFileInfo(path).size())});
    }

    rows.push_back({"Store into the record (BMP image, post)",
                    medianMilliseconds(runs,
                                       [&] {
                                           control->setPicture(picture);
                                           const auto table = openTable();
                                           table->edit();
                                           control->storeToColumn(*table, pictureColumn);
                                           table->post();
                                       }),
                    megabytes(control->pictureData().size())});
    rows.push_back({"Open the table and load the field from the record",
                    medianMilliseconds(runs, [&] { control->loadFromColumn(*openTable(), pictureColumn); }),
                    {}});
    // Where those times go: the table engine's part, and the BMP image's.
    rows.push_back({"- of which the engine reads the value",
                    medianMilliseconds(runs, [&] { store::columnBlob(*openTable(), pictureColumn).size(); }),
                    {}});
    const QByteArray stored = control->pictureData();
    rows.push_back({"- of which the BMP image is decoded",
                    medianMilliseconds(runs, [&] { pictures::StoredPicture::decode(stored).size(); }),
                    {}});
    rows.push_back({"- of which the engine writes the value and posts",
                    medianMilliseconds(runs,
                                       [&] {
                                           const auto table = openTable();
                                           table->edit();
                                           store::setColumnBlob(*table, pictureColumn, stored);
                                           table->post();
                                       }),
                    {}});
    rows.push_back({"- of which the BMP image is encoded",
                    medianMilliseconds(runs, [&] { pictures::StoredPicture::encode(picture, false).size(); }),
                    {}});
    rows.push_back({"Read the picture file only (no field)",
                    medianMilliseconds(runs, [&] { pictures::PictureFile::read(bmp).size(); }),
                    {}});
    rows.push_back({"Save an unchanged picture back (skipped)",
                    medianMilliseconds(runs,
                                       [&] {
                                           const auto table = openTable();
                                           control->loadFromColumn(*table, pictureColumn);
                                           table->edit();
                                           control->storeToColumn(*table, pictureColumn);
                                           table->post();
                                       }),
                    "load and post included"});

    control->setAutoStretch(false);
    rows.push_back({"Paint the field, natural size", medianMilliseconds(runs, [&] { window.repaint(); }),
                    "800 x 600 field"});
    rows.push_back({"Switch on auto stretch and paint (scales the picture)",
                    medianMilliseconds(runs,
                                       [&] {
                                           control->setAutoStretch(false);
                                           control->setAutoStretch(true);
                                           window.repaint();
                                       }),
                    {}});
    rows.push_back({"Paint again, stretched", medianMilliseconds(runs, [&] { window.repaint(); }), {}});

    for (const QString& name : files) {
        const QString path = folder.filePath("saved-" + name);
        rows.push_back({"Save as " + QFileInfo(name).suffix().toUpper(),
                        medianMilliseconds(runs, [&] { control->saveToFile(path); }),
                        megabytes(QFileInfo(path).size())});
    }

    std::printf("Picture of %d x %d pixels, median of %d runs\n\n", pictureWidth, pictureHeight, runs);
    std::printf("| Step | wall ms | processor ms | Note |\n|---|---:|---:|---|\n");
    for (const Row& row : rows)
        std::printf("| %s | %.0f | %.0f | %s |\n", qPrintable(row.step), row.time.wall, row.time.processor,
                    qPrintable(row.note));
    return 0;
}
