#include "settings/ListFile.h"
#include "ValueStreamFixture.h"

using settings::LoadListFile;
using settings::ReadListItems;
using settings::SaveListFile;
using settings::StreamError;
using settings::ValueReader;
using settings::ValueWriter;

namespace {

// The shape of the named template lists: a name and the file that holds the content.
struct NamedTemplate
{
    QString name;
    QString contentFile;

    bool operator==(const NamedTemplate&) const = default;
};

void PrintTo(const NamedTemplate& t, std::ostream* out)
{
    *out << t.name.toStdString() << " -> " << t.contentFile.toStdString();
}

NamedTemplate readTemplate(ValueReader& reader)
{
    NamedTemplate item;
    item.name = reader.ReadString();
    item.contentFile = reader.ReadString();
    return item;
}

void writeTemplate(ValueWriter& writer, const NamedTemplate& item)
{
    writer.WriteString(item.name);
    writer.WriteString(item.contentFile);
}

const QList<NamedTemplate> threeTemplates = {
    {QStringLiteral("Mint"), QStringLiteral("tml1.dat")},
    {QStringLiteral("Zürich issues"), QStringLiteral("tml2.dat")},
    {QStringLiteral("Used"), QStringLiteral("tml3.dat")},
};

class ListFileTest : public ValueStreamTest
{
protected:
    QString listPath() const { return pathOf("labels.tml"); }
    QList<NamedTemplate> load() const { return LoadListFile(listPath(), readTemplate); }
};

TEST_F(ListFileTest, RoundTrips)
{
    SaveListFile(listPath(), threeTemplates, writeTemplate);
    EXPECT_EQ(load(), threeTemplates);
}

TEST_F(ListFileTest, EmptyListIsTwoBytesAndLoadsEmpty)
{
    SaveListFile(listPath(), QList<NamedTemplate>{}, writeTemplate);
    EXPECT_EQ(bytesOf("labels.tml"), Bytes({1, 0}));
    EXPECT_TRUE(load().isEmpty());
}

TEST_F(ListFileTest, MissingFileLoadsEmpty)
{
    EXPECT_TRUE(load().isEmpty());
}

TEST_F(ListFileTest, SavingIntoAMissingFolderThrows)
{
    EXPECT_THROW(SaveListFile(pathOf("gone/labels.tml"), threeTemplates, writeTemplate), StreamError);
}

// A file cut anywhere inside its third item keeps the first two.
TEST_F(ListFileTest, FileCutInsideTheThirdItemLoadsTheFirstTwo)
{
    SaveListFile(listPath(), threeTemplates, writeTemplate);
    const QByteArray whole = bytesOf("labels.tml");
    const qsizetype firstTwoEnd = 1 + (2 + 4) + (2 + 8) + (2 + 13) + (2 + 8);
    const qsizetype thirdEnd = firstTwoEnd + (2 + 4) + (2 + 8);
    ASSERT_EQ(whole.size(), thirdEnd + 1);
    for (qsizetype cut = firstTwoEnd; cut < thirdEnd; ++cut) {
        writeBytes("labels.tml", whole.left(cut));
        EXPECT_EQ(load(), threeTemplates.mid(0, 2)) << "cut at " << cut;
    }
}

TEST_F(ListFileTest, FileWithoutItsListEndKeepsEveryItem)
{
    SaveListFile(listPath(), threeTemplates, writeTemplate);
    const QByteArray whole = bytesOf("labels.tml");
    writeBytes("labels.tml", whole.left(whole.size() - 1));
    EXPECT_EQ(load(), threeTemplates);
}

TEST_F(ListFileTest, WrongTagInTheSecondItemKeepsTheFirst)
{
    writeBytes("labels.tml", Bytes({1, 6, 1, 'a', 6, 1, 'b', 6, 1, 'c', 2, 7, 0}));
    EXPECT_EQ(load(), (QList<NamedTemplate>{{QStringLiteral("a"), QStringLiteral("b")}}));
}

TEST_F(ListFileTest, FileThatIsNoListLoadsEmpty)
{
    writeBytes("labels.tml", QByteArray("not a list"));
    EXPECT_TRUE(load().isEmpty());
}

TEST_F(ListFileTest, ReadingInsideALargerFileThrowsButKeepsTheItemsRead)
{
    writeBytes("report.dat", Bytes({1, 2, 5, 2, 6, 8}));
    ValueReader reader(pathOf("report.dat"));
    QList<int> numbers;
    EXPECT_THROW(ReadListItems(reader, numbers, [](ValueReader& r) { return r.ReadInteger(); }), StreamError);
    EXPECT_EQ(numbers, (QList<int>{5, 6}));
}

} // namespace
