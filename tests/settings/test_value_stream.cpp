#include "settings/StreamError.h"
#include "ValueStreamFixture.h"

#include <limits>
#include <stdexcept>

using settings::StreamError;
using settings::ValueReader;
using settings::ValueWriter;

namespace {

struct IntegerCase
{
    qint32 value;
    QByteArray bytes;
};

void PrintTo(const IntegerCase& c, std::ostream* out)
{
    *out << c.value;
}

class IntegerForms : public ValueStreamTest, public ::testing::WithParamInterface<IntegerCase>
{
};

TEST_P(IntegerForms, UseTheSmallestFormAndReadBack)
{
    const IntegerCase& c = GetParam();
    EXPECT_EQ(written([&](ValueWriter& w) { w.WriteInteger(c.value); }), c.bytes);
    ValueReader reader = readerOn(c.bytes);
    EXPECT_EQ(reader.ReadInteger(), c.value);
    EXPECT_TRUE(reader.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(
    Boundaries, IntegerForms,
    ::testing::Values(IntegerCase{0, Bytes({2, 0})}, IntegerCase{-1, Bytes({2, 0xFF})},
                      IntegerCase{127, Bytes({2, 0x7F})}, IntegerCase{128, Bytes({3, 0x80, 0x00})},
                      IntegerCase{-128, Bytes({2, 0x80})}, IntegerCase{-129, Bytes({3, 0x7F, 0xFF})},
                      IntegerCase{32767, Bytes({3, 0xFF, 0x7F})}, IntegerCase{-32768, Bytes({3, 0x00, 0x80})},
                      IntegerCase{32768, Bytes({4, 0x00, 0x80, 0x00, 0x00})},
                      IntegerCase{-32769, Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF})},
                      IntegerCase{std::numeric_limits<qint32>::max(), Bytes({4, 0xFF, 0xFF, 0xFF, 0x7F})},
                      IntegerCase{std::numeric_limits<qint32>::min(), Bytes({4, 0x00, 0x00, 0x00, 0x80})}));

TEST_F(ValueStreamTest, ReaderAcceptsEveryIntegerFormForAnyValue)
{
    ValueReader reader = readerOn(Bytes({4, 5, 0, 0, 0, 3, 0xFE, 0xFF, 3, 7, 0, 2, 0xFE}));
    EXPECT_EQ(reader.ReadInteger(), 5);
    EXPECT_EQ(reader.ReadInteger(), -2);
    EXPECT_EQ(reader.ReadInteger(), 7);
    EXPECT_EQ(reader.ReadInteger(), -2);
}

TEST_F(ValueStreamTest, StringOf255BytesUsesTheShortForm)
{
    const QString text(255, QLatin1Char('x'));
    const QByteArray bytes = written([&](ValueWriter& w) { w.WriteString(text); });
    ASSERT_EQ(bytes.size(), 2 + 255);
    EXPECT_EQ(bytes.left(2), Bytes({6, 255}));
    EXPECT_EQ(readerOn(bytes).ReadString(), text);
}

TEST_F(ValueStreamTest, StringOf256BytesUsesTheLongFormWithAFourByteLength)
{
    const QString text(256, QLatin1Char('y'));
    const QByteArray bytes = written([&](ValueWriter& w) { w.WriteString(text); });
    ASSERT_EQ(bytes.size(), 5 + 256);
    EXPECT_EQ(bytes.left(5), Bytes({12, 0x00, 0x01, 0x00, 0x00}));
    EXPECT_EQ(readerOn(bytes).ReadString(), text);
}

TEST_F(ValueStreamTest, EmptyStringIsTagAndZeroLength)
{
    EXPECT_EQ(written([](ValueWriter& w) { w.WriteString({}); }), Bytes({6, 0}));
    EXPECT_EQ(readerOn(Bytes({6, 0})).ReadString(), QString());
}

TEST_F(ValueStreamTest, ReaderAcceptsTheLongFormForAShortText)
{
    EXPECT_EQ(readerOn(Bytes({12, 3, 0, 0, 0, 'a', 'b', 'c'})).ReadString(), QStringLiteral("abc"));
}

TEST_F(ValueStreamTest, TextIsWindows1252OnDisk)
{
    const QString text = QStringLiteral("Zürich €5");
    const QByteArray bytes = written([&](ValueWriter& w) { w.WriteString(text); });
    EXPECT_EQ(bytes, QByteArray("\x06\x09Z\xFCrich \x80"
                                "5",
                                11));
    EXPECT_EQ(readerOn(bytes).ReadString(), text);
}

TEST_F(ValueStreamTest, ShortStringHasNoTagAndIsCutAt255Bytes)
{
    EXPECT_EQ(written([](ValueWriter& w) { w.WriteShortString(QStringLiteral("abc")); }), QByteArray("\x03"
                                                                                                     "abc"));

    const QString longText = QString(200, QLatin1Char('a')) + QString(100, QLatin1Char('b'));
    const QByteArray bytes = written([&](ValueWriter& w) { w.WriteShortString(longText); });
    ASSERT_EQ(bytes.size(), 256);
    EXPECT_EQ(static_cast<quint8>(bytes[0]), 255);
    EXPECT_EQ(readerOn(bytes).ReadShortString(), longText.left(255));
}

TEST_F(ValueStreamTest, RawBytesAreCopiedAsTheyAre)
{
    const QByteArray raw = Bytes({0, 1, 0xFF, 12, 6});
    EXPECT_EQ(written([&](ValueWriter& w) { w.WriteRaw(raw); }), raw);
    ValueReader reader = readerOn(raw + Bytes({9}));
    EXPECT_EQ(reader.ReadRaw(5), raw);
    EXPECT_FALSE(reader.AtEnd());
    EXPECT_EQ(reader.ReadRaw(1), Bytes({9}));
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(ValueStreamTest, EmptyListIsTheBytesOneZeroAndYieldsNoItems)
{
    const QByteArray bytes = written([](ValueWriter& w) {
        w.WriteListBegin();
        w.WriteListEnd();
    });
    EXPECT_EQ(bytes, Bytes({1, 0}));
    ValueReader reader = readerOn(bytes);
    reader.ReadListBegin();
    EXPECT_TRUE(reader.EndOfList());
    EXPECT_TRUE(reader.EndOfList()) << "looking must not take the marker";
    reader.ReadListEnd();
    EXPECT_TRUE(reader.AtEnd());
}

TEST_F(ValueStreamTest, MixedValuesReadBackInOrder)
{
    const QByteArray bytes = written([](ValueWriter& w) {
        w.WriteListBegin();
        w.WriteString(QStringLiteral("name"));
        w.WriteInteger(40000);
        w.WriteShortString(QStringLiteral("short"));
        w.WriteListEnd();
        w.WriteInteger(-3);
    });
    ValueReader reader = readerOn(bytes);
    reader.ReadListBegin();
    EXPECT_FALSE(reader.EndOfList());
    EXPECT_EQ(reader.ReadString(), QStringLiteral("name"));
    EXPECT_EQ(reader.ReadInteger(), 40000);
    EXPECT_EQ(reader.ReadShortString(), QStringLiteral("short"));
    EXPECT_TRUE(reader.EndOfList());
    reader.ReadListEnd();
    EXPECT_EQ(reader.ReadInteger(), -3);
    EXPECT_TRUE(reader.AtEnd());
}

// A reader meeting the wrong tag, or the end of the file, fails with the stream error of that kind.
struct FaultCase
{
    const char* name;
    QByteArray bytes;
    std::function<void(ValueReader&)> read;
    StreamError::Kind kind;
    const char* message;
};

void PrintTo(const FaultCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadFaults : public ValueStreamTest, public ::testing::WithParamInterface<FaultCase>
{
};

TEST_P(ReadFaults, RaiseTheirStreamError)
{
    const FaultCase& c = GetParam();
    ValueReader reader = readerOn(c.bytes);
    ExpectStreamError([&] { c.read(reader); }, c.kind, QString::fromUtf8(c.message));
}

constexpr auto invalid = StreamError::Kind::InvalidValue;
constexpr auto readError = StreamError::Kind::ReadError;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadFaults,
    ::testing::Values(
        FaultCase{"tag 8 for an integer", Bytes({8, 1, 2, 3, 4}), [](ValueReader& r) { r.ReadInteger(); },
                  invalid, "Invalid property value"},
        FaultCase{"string tag for an integer", Bytes({6, 0}), [](ValueReader& r) { r.ReadInteger(); },
                  invalid, "Invalid property value"},
        FaultCase{"integer tag for a string", Bytes({2, 5}), [](ValueReader& r) { r.ReadString(); }, invalid,
                  "Invalid property value"},
        FaultCase{"list end for a list begin", Bytes({0}), [](ValueReader& r) { r.ReadListBegin(); }, invalid,
                  "Invalid property value"},
        FaultCase{"value for a list end", Bytes({2, 1}), [](ValueReader& r) { r.ReadListEnd(); }, invalid,
                  "Invalid property value"},
        FaultCase{"empty file", {}, [](ValueReader& r) { r.ReadInteger(); }, readError, "Stream read error"},
        FaultCase{"cut 16-bit payload", Bytes({3, 1}), [](ValueReader& r) { r.ReadInteger(); }, readError,
                  "Stream read error"},
        FaultCase{"cut 32-bit payload", Bytes({4, 1, 2, 3}), [](ValueReader& r) { r.ReadInteger(); },
                  readError, "Stream read error"},
        FaultCase{"cut short string", Bytes({6, 5, 'a', 'b'}), [](ValueReader& r) { r.ReadString(); },
                  readError, "Stream read error"},
        FaultCase{"huge long-string length", Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}),
                  [](ValueReader& r) { r.ReadString(); }, readError, "Stream read error"},
        FaultCase{"cut untagged string", Bytes({200, 'a'}), [](ValueReader& r) { r.ReadShortString(); },
                  readError, "Stream read error"},
        FaultCase{"cut raw bytes", Bytes({1, 2, 3}), [](ValueReader& r) { r.ReadRaw(4); }, readError,
                  "Stream read error"},
        FaultCase{"end of list at end of file", Bytes({1}),
                  [](ValueReader& r) {
                      r.ReadListBegin();
                      r.EndOfList();
                  },
                  readError, "Stream read error"}));

TEST_F(ValueStreamTest, MissingFileCannotBeOpened)
{
    const QString path = pathOf("missing.dat");
    ExpectStreamError([&] { ValueReader reader(path); }, StreamError::Kind::CannotOpen,
                      QStringLiteral("Cannot open file ") + path);
}

TEST_F(ValueStreamTest, FileInAMissingFolderCannotBeCreated)
{
    const QString path = pathOf("no-such-folder/out.dat");
    ExpectStreamError([&] { ValueWriter writer(path); }, StreamError::Kind::CannotCreate,
                      QStringLiteral("Cannot create file ") + path);
}

TEST_F(ValueStreamTest, ReaderFindsTheFileWithoutCase)
{
    writeBytes("HEADER.DAT", Bytes({2, 42}));
    ValueReader reader(pathOf("header.dat"));
    EXPECT_EQ(reader.ReadInteger(), 42);
}

TEST_F(ValueStreamTest, WriterReplacesTheFileOfAnotherCaseInsteadOfAddingOne)
{
    writeBytes("Header.DAT", Bytes({2, 1}));
    {
        ValueWriter writer(pathOf("header.dat"));
        writer.WriteInteger(2);
        writer.Commit();
    }
    EXPECT_EQ(filesInFolder(), QStringList{QStringLiteral("Header.DAT")});
    EXPECT_EQ(bytesOf("Header.DAT"), Bytes({2, 2}));
}

TEST_F(ValueStreamTest, WriterLeftByAnExceptionKeepsTheOldFile)
{
    writeBytes("list.dat", Bytes({1, 0}));
    try {
        ValueWriter writer(pathOf("list.dat"));
        writer.WriteListBegin();
        writer.WriteString(QStringLiteral("half"));
        throw std::runtime_error("interrupted");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(bytesOf("list.dat"), Bytes({1, 0}));
}

TEST_F(ValueStreamTest, WriterDestroyedWithoutCommitStillWrites)
{
    {
        ValueWriter writer(pathOf("plain.dat"));
        writer.WriteInteger(300);
    }
    EXPECT_EQ(bytesOf("plain.dat"), Bytes({3, 0x2C, 0x01}));
}

} // namespace
