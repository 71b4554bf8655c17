#include "settings/FileAccess.h"
#include "settings/ScrambledText.h"
#include "ValueStreamFixture.h"

using settings::ReadScrambledText;
using settings::ScrambleText;
using settings::ValueReader;
using settings::ValueWriter;
using settings::WriteScrambledText;

namespace {

TEST(ScrambleText, KeyHasTenBytesFrom1To31)
{
    // Scrambling zero bytes shows the key itself.
    const QString key = ScrambleText(QString(20, QChar(0)));
    for (int i = 0; i < 20; ++i) {
        EXPECT_GE(key[i].unicode(), 1) << i;
        EXPECT_LE(key[i].unicode(), 31) << i;
        EXPECT_EQ(key[i], key[i % 10]) << "the key repeats every 10 bytes";
    }
}

TEST(ScrambleText, AppliedTwiceGivesTheTextBack)
{
    QByteArray everyByte;
    for (int byte = 0; byte < 256; ++byte)
        everyByte.append(static_cast<char>(byte));
    for (const QString& text :
         {QString(), QStringLiteral("secret"), QStringLiteral("Zürich"), QStringLiteral("C:/Stamps/Data"),
          QStringLiteral("€ and Œ"), settings::FromCp1252(everyByte)}) {
        EXPECT_NE(ScrambleText(text), text.isEmpty() ? QStringLiteral("x") : text);
        EXPECT_EQ(ScrambleText(ScrambleText(text)), text);
    }
}

TEST(ScrambleText, PrintableTextNeverScramblesToAZeroByte)
{
    QString printable;
    for (int code = 0x20; code < 0x7F; ++code)
        printable += QChar(code);
    printable += QStringLiteral("äöüßéÿ€");
    for (int shift = 0; shift < 10; ++shift)
        EXPECT_FALSE(ScrambleText(QString(shift, QLatin1Char(' ')) + printable).contains(QChar(0))) << shift;
}

class ScrambledFieldTest : public ValueStreamTest
{
};

TEST_F(ScrambledFieldTest, FieldIsALengthByteAndScrambledBytes)
{
    const QByteArray bytes = written([](ValueWriter& w) { WriteScrambledText(w, QStringLiteral("pass")); });
    ASSERT_EQ(bytes.size(), 5);
    EXPECT_EQ(bytes[0], 4);
    EXPECT_NE(bytes.mid(1), QByteArray("pass"));
    ValueReader reader = readerOn(bytes);
    EXPECT_EQ(ReadScrambledText(reader), QStringLiteral("pass"));
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(ScrambledFieldTest, EmptyTextIsOneZeroByte)
{
    EXPECT_EQ(written([](ValueWriter& w) { WriteScrambledText(w, {}); }), Bytes({0}));
}

TEST_F(ScrambledFieldTest, ReaderStopsAtTheFirstZeroByteButTakesTheWholeField)
{
    const QByteArray scrambled = ScrambleText(QStringLiteral("ab")).toLatin1();
    ValueReader reader = readerOn(QByteArray(1, 5) + scrambled + Bytes({0, 'x', 'y', 2, 'o', 'k'}));
    EXPECT_EQ(ReadScrambledText(reader), QStringLiteral("ab"));
    EXPECT_EQ(reader.ReadShortString(), QStringLiteral("ok"));
}

TEST_F(ScrambledFieldTest, LongTextIsCutTo255Bytes)
{
    const QString text(300, QLatin1Char('p'));
    const QByteArray bytes = written([&](ValueWriter& w) { WriteScrambledText(w, text); });
    ASSERT_EQ(bytes.size(), 256);
    ValueReader reader = readerOn(bytes);
    EXPECT_EQ(ReadScrambledText(reader), text.left(255));
}

TEST_F(ScrambledFieldTest, Windows1252TextSurvives)
{
    const QByteArray bytes = written([](ValueWriter& w) { WriteScrambledText(w, QStringLiteral("Zürich")); });
    ValueReader reader = readerOn(bytes);
    EXPECT_EQ(ReadScrambledText(reader), QStringLiteral("Zürich"));
}

} // namespace
