#include "dbase/Table.h"
#include "pictures/StoredPicture.h"
#include "pictures/TDbMultiImgControl.h"
#include "pictures/TImageView.h"
#include "PictureTestSupport.h"
#include "SaneTestConfig.h"
#include "store/ColumnValues.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QTemporaryDir>

using pictures::StoredPicture;
using namespace picturetests;

namespace {

constexpr int numberColumn = 0;
constexpr int binaryColumn = 1;
constexpr int graphicColumn = 2;

// The engine writes binary columns only; other programs write graphic ones, type letter 'G' in the column's
// descriptor (after the 32-byte header, 32 bytes a column, the type at offset 11).
void markGraphic(const QString& tablePath, int column)
{
    QFile file(tablePath);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.seek(32 + 32 * column + 11));
    ASSERT_EQ(file.read(1), "B");
    ASSERT_TRUE(file.seek(32 + 32 * column + 11));
    file.write("G");
}

// A record table on disk with one binary and one graphic (General) column, rows appended as asked.
class PictureTable
{
public:
    explicit PictureTable(const char* name = "pictures.dbf") : m_name(name)
    {
        dbase::createTable(folder(), m_name,
                           {{"NUMBER", dbase::FieldType::Numeric, 6, 0},
                            {"PICTURE", dbase::FieldType::Binary, 10, 0},
                            {"GRAPHIC", dbase::FieldType::Binary, 10, 0}});
        markGraphic(m_folder.filePath(QString::fromStdString(m_name)), graphicColumn);
    }

    std::string folder() const { return m_folder.path().toStdString(); }
    QString memoFile() const
    {
        return QString::fromStdString(dbase::findFileNoCase(
            folder(), QString::fromStdString(m_name).replace(".dbf", ".dbt").toStdString()));
    }

    // Opens the table, positioned on the first row.
    std::unique_ptr<dbase::Table> open() const
    {
        auto table = std::make_unique<dbase::Table>();
        table->open(folder(), m_name);
        table->first();
        return table;
    }

    void appendRow(int number, const QByteArray& binary = {}, const QByteArray& graphic = {}) const
    {
        auto table = open();
        table->append();
        table->setNumber(numberColumn, number);
        store::setColumnBlob(*table, binaryColumn, binary);
        store::setColumnBlob(*table, graphicColumn, graphic);
        table->post();
    }

    dbase::FieldType columnType(int column) const
    {
        return open()->fieldDescriptor(static_cast<std::size_t>(column)).type;
    }

    QByteArray value(int column, int row = 0) const
    {
        auto table = open();
        table->moveBy(row);
        return store::columnBlob(*table, column);
    }

private:
    QTemporaryDir m_folder;
    std::string m_name;
};

// Writes the picture into the column of the first row through the control, and posts it.
void storeThrough(TMultiImgControl& control, const PictureTable& table, int column)
{
    auto opened = table.open();
    opened->edit();
    control.storeToColumn(*opened, column);
    opened->post();
}

} // namespace

TEST(PictureRecords, EachFormatIsStoredAsBmpAndComesBackByteIdentical)
{
    QTemporaryDir files;
    const QImage truecolor = gradientPicture(97, 61);
    const QImage palette = palettePicture(
        80, 50,
        {qRgb(250, 10, 10), qRgb(10, 250, 10), qRgb(10, 10, 250), qRgb(255, 255, 255), qRgb(0, 0, 0)});
    const QString source = files.filePath("source.png");
    ASSERT_TRUE(palette.convertToFormat(QImage::Format_RGB32).save(source));
    struct Case
    {
        const char* name;
        QString path;
        QImage expected; // the picture the file holds, as a reader of its own sees it
    };
    QList<Case> cases;
    const QString bmp = files.filePath("stamp.bmp");
    ASSERT_TRUE(truecolor.save(bmp));
    cases.append({"BMP", bmp, truecolor});
    const QString png = files.filePath("stamp.png");
    ASSERT_TRUE(truecolor.save(png));
    cases.append({"PNG", png, truecolor});
    const QString jpg = files.filePath("stamp.jpg");
    ASSERT_TRUE(truecolor.save(jpg, "JPEG", 90));
    cases.append({"JPEG", jpg, QImage(jpg)});
    // GIF and PCX files from ImageMagick, so the test does not lean on this program's own writers.
    const QString gif = files.filePath("stamp.gif");
    imageMagickConvert({source, gif});
    cases.append({"GIF", gif, palette});
    const QString pcx = files.filePath("stamp.pcx");
    imageMagickConvert({source, "-type", "TrueColor", pcx});
    cases.append({"PCX", pcx, palette});

    for (const Case& c : cases) {
        PictureTable table;
        table.appendRow(1);
        TDbMultiImgControl loading;
        ASSERT_TRUE(loading.loadFile(c.path)) << c.name;
        storeThrough(loading, table, binaryColumn);

        const QByteArray stored = table.value(binaryColumn); // the table was closed and is opened anew
        ASSERT_TRUE(stored.startsWith("BM")) << c.name;
        EXPECT_FALSE(StoredPicture::hasHeader(stored)) << c.name;
        EXPECT_TRUE(samePixels(c.expected, QImage::fromData(stored, "BMP"))) << c.name;

        // Shown again and saved again without a change, in a second control: the same bytes.
        TDbMultiImgControl viewing;
        viewing.loadFromColumn(*table.open(), binaryColumn);
        EXPECT_EQ(viewing.pictureData(), stored) << c.name;
        EXPECT_TRUE(samePixels(c.expected, viewing.picture())) << c.name;
        storeThrough(viewing, table, binaryColumn);
        EXPECT_EQ(table.value(binaryColumn), stored) << c.name;
    }
}

TEST(PictureRecords, ViewingAndSavingLeavesThePictureFieldUntouched)
{
    PictureTable table;
    const QByteArray stored = StoredPicture::encode(gradientPicture(40, 30), false);
    table.appendRow(1, stored);
    const QByteArray memoBefore = readFile(table.memoFile());

    TDbMultiImgControl control;
    control.loadFromColumn(*table.open(), binaryColumn);
    storeThrough(control, table, binaryColumn);
    EXPECT_EQ(readFile(table.memoFile()), memoBefore) << "the memo file was written";

    // A changed picture is written.
    control.setPicture(gradientPicture(10, 10));
    storeThrough(control, table, binaryColumn);
    EXPECT_NE(readFile(table.memoFile()), memoBefore);
    EXPECT_TRUE(samePixels(gradientPicture(10, 10), StoredPicture::decode(table.value(binaryColumn))));
    EXPECT_FALSE(control.isModified());
}

TEST(PictureRecords, HeaderFormFollowsTheColumnTypeAndBothFormsAreRead)
{
    const QImage picture = gradientPicture(23, 17);
    const QByteArray plain = StoredPicture::encode(picture, false);
    const QByteArray headed = StoredPicture::withHeader(plain);
    QByteArray wrongLength = headed;
    wrongLength[4] = static_cast<char>(wrongLength[4] + 1);

    // Written by the control: with the header only into the graphic column.
    {
        PictureTable table;
        ASSERT_EQ(table.columnType(graphicColumn), dbase::FieldType::General);
        table.appendRow(1);
        TDbMultiImgControl control;
        control.setPicture(picture);
        storeThrough(control, table, graphicColumn);
        control.setPicture(picture);
        storeThrough(control, table, binaryColumn);
        EXPECT_EQ(table.value(graphicColumn), headed);
        EXPECT_EQ(table.value(binaryColumn), plain);
    }

    // Read whatever form another writer left in either column; unchanged, it stays as it was.
    struct Case
    {
        const char* name;
        int column;
        QByteArray value;
        bool readable;
    };
    const Case cases[] = {
        {"header in the graphic column", graphicColumn, headed, true},
        {"header in the binary column", binaryColumn, headed, true},
        {"plain BMP in the graphic column", graphicColumn, plain, true},
        {"plain BMP in the binary column", binaryColumn, plain, true},
        // The length does not match, so the whole value is taken for the BMP, which it is not.
        {"header with a wrong length", graphicColumn, wrongLength, false},
    };
    for (const Case& c : cases) {
        PictureTable table;
        table.appendRow(1, c.column == binaryColumn ? c.value : QByteArray(),
                        c.column == graphicColumn ? c.value : QByteArray());
        TDbMultiImgControl control;
        control.loadFromColumn(*table.open(), c.column);
        EXPECT_EQ(!control.picture().isNull(), c.readable) << c.name;
        if (c.readable) {
            EXPECT_TRUE(samePixels(picture, control.picture())) << c.name;
        }
        EXPECT_FALSE(control.isEmpty()) << c.name << ": a value that cannot be shown is still kept";
        EXPECT_EQ(control.pictureData(), c.value) << c.name;
        storeThrough(control, table, c.column);
        EXPECT_EQ(table.value(c.column), c.value) << c.name;
    }
}

TEST(PictureRecords, StoringElsewhereWritesTheUnchangedPictureThere)
{
    // The copy buffer and record templates are written from the form: an unchanged picture must reach
    // them too, byte for byte.
    PictureTable records("records.dbf");
    const QByteArray stored =
        StoredPicture::withHeader(StoredPicture::encode(gradientPicture(30, 20), false));
    records.appendRow(1, stored);
    records.appendRow(2);
    PictureTable copyBuffer("copy.dbf");
    copyBuffer.appendRow(0);

    TDbMultiImgControl control;
    control.loadFromColumn(*records.open(), binaryColumn);
    storeThrough(control, copyBuffer, binaryColumn);
    EXPECT_EQ(copyBuffer.value(binaryColumn), stored);

    // Another row of the same table is another place as well.
    auto table = records.open();
    table->next();
    table->edit();
    control.storeToColumn(*table, binaryColumn);
    table->post();
    table.reset();
    EXPECT_EQ(records.value(binaryColumn, 1), stored);
}

TEST(PictureRecords, EmptyFieldsAndClearedPictures)
{
    PictureTable table;
    table.appendRow(1);
    TDbMultiImgControl control;
    control.setAutoStretch(true);
    control.loadFromColumn(*table.open(), binaryColumn);
    EXPECT_TRUE(control.isEmpty());
    EXPECT_FALSE(control.Image->isStretched()) << "an empty picture is shown unstretched";
    storeThrough(control, table, binaryColumn);
    EXPECT_TRUE(table.value(binaryColumn).isEmpty());
    EXPECT_TRUE(table.open()->isNull(binaryColumn));

    control.setPicture(gradientPicture(8, 8));
    storeThrough(control, table, binaryColumn);
    EXPECT_FALSE(table.value(binaryColumn).isEmpty());

    control.clear();
    storeThrough(control, table, binaryColumn);
    EXPECT_TRUE(table.open()->isNull(binaryColumn));
    EXPECT_TRUE(control.pictureData().isEmpty());
}

TEST(PictureRecords, NewRowsGetTheirPicture)
{
    PictureTable table;
    TDbMultiImgControl control;
    control.setPicture(gradientPicture(12, 9));
    {
        auto opened = table.open();
        opened->append();
        control.storeToColumn(*opened, binaryColumn);
        opened->post();
    }
    EXPECT_TRUE(samePixels(gradientPicture(12, 9), StoredPicture::decode(table.value(binaryColumn))));
}
