#include "settings/FieldTexts.h"
#include "settings/TextFile.h"
#include "settings/ValueWriter.h"
#include "store/ContentTemplateLists.h"
#include "store/TLabelTemplateList.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// A settings folder and the caption list a caption template list works on.
struct CaptionTemplates
{
    QString file(const QString& name) const { return folder.filePath(name); }
    QStringList contentFiles() const
    {
        return QDir(folder.path()).entryList({"tml*"}, QDir::Files, QDir::Name);
    }
    QByteArray read(const QString& name) const
    {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(file(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir folder;
    QStringList captions{"Stamp Description:", "Country:", "Cost:"};
    store::TLabelTemplateList list{captions, folder.path()};
};

// Writes a list file of the given entries, as another run of the program would have.
void writeListFile(const QString& path, const QList<store::TTemplate>& entries)
{
    settings::ValueWriter writer(path);
    writer.WriteListBegin();
    for (const store::TTemplate& entry : entries) {
        writer.WriteString(entry.Name);
        writer.WriteString(entry.FileName);
    }
    writer.WriteListEnd();
    writer.Commit();
}

} // namespace

TEST(TemplateList, ContentFilesTakeTheSmallestFreeNumber)
{
    CaptionTemplates t;
    for (const char* name : {"A", "B", "C"})
        ASSERT_TRUE(t.list.Add(QString::fromLatin1(name)));
    EXPECT_EQ(t.contentFiles(), (QStringList{"tml1.lab", "tml2.lab", "tml3.lab"}));
    EXPECT_EQ(t.read("tml1.lab"), "Stamp Description:\r\nCountry:\r\nCost:\r\n");

    t.list.Delete(t.list.IndexOfName("B"));
    EXPECT_EQ(t.contentFiles(), (QStringList{"tml1.lab", "tml3.lab"}));
    ASSERT_TRUE(t.list.Add("D"));
    EXPECT_EQ(t.list.Items(2), (store::TTemplate{"D", "tml2.lab"}));
    EXPECT_EQ(t.list.Names(), (QStringList{"A", "C", "D"}));

    t.list.Delete(3);
    t.list.Delete(-1);
    EXPECT_EQ(t.list.Count(), 3) << "an index out of range is ignored";
}

TEST(TemplateList, NamesAreComparedExactly)
{
    CaptionTemplates t;
    ASSERT_TRUE(t.list.Add("A"));
    EXPECT_TRUE(t.list.Add("a"));
    EXPECT_FALSE(t.list.Add("A"));
    EXPECT_EQ(t.contentFiles().size(), 2) << "a refused name writes no file";
    EXPECT_EQ(t.list.IndexOfName("a"), 1);
    EXPECT_EQ(t.list.IndexOfName("A "), -1);
}

TEST(TemplateList, TheListFileHoldsNameAndFileOfEachEntry)
{
    CaptionTemplates t;
    ASSERT_TRUE(t.list.Add("Mine"));
    ASSERT_TRUE(t.list.SaveList(t.file("labels.tml")));
    EXPECT_EQ(t.read("labels.tml"), QByteArray("\x01\x06\x04Mine\x06\x08tml1.lab\x00", 18));

    QStringList otherCaptions;
    store::TLabelTemplateList again(otherCaptions, t.folder.path());
    again.LoadList(t.file("labels.tml"));
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Items(0), (store::TTemplate{"Mine", "tml1.lab"}));

    again.LoadList(t.file("missing.tml"));
    EXPECT_EQ(again.Count(), 0) << "a missing list file leaves the list empty";
}

TEST(TemplateList, ADamagedThirdEntryLoadsTheFirstTwo)
{
    CaptionTemplates t;
    writeListFile(t.file("labels.tml"), {{"A", "tml1.lab"}, {"B", "tml2.lab"}, {"C", "tml3.lab"}});
    const QByteArray whole = t.read("labels.tml");
    t.write("labels.tml", whole.left(whole.size() - 6)); // inside the third file name
    t.list.LoadList(t.file("labels.tml"));
    EXPECT_EQ(t.list.Names(), (QStringList{"A", "B"}));
}

TEST(TemplateList, FileNamesAreCutToTwelveCharactersAndKeptInsideTheFolder)
{
    QTemporaryDir root;
    ASSERT_TRUE(QDir(root.path()).mkdir("settings"));
    QFile precious(root.filePath("x.lab"));
    ASSERT_TRUE(precious.open(QIODevice::WriteOnly));
    precious.close();
    QStringList captions{"A:"};
    store::TLabelTemplateList list(captions, root.filePath("settings"));
    writeListFile(root.filePath("settings/labels.tml"),
                  {{"Long", "tml123456789.lab"}, {"Escape", "../x.lab"}});
    list.LoadList(root.filePath("settings/labels.tml"));
    EXPECT_EQ(list.Items(0).FileName, "tml123456789");
    EXPECT_FALSE(list.LoadByName("Escape"));
    list.Delete(1);
    EXPECT_TRUE(precious.exists()) << "a list file must not delete files elsewhere";
    EXPECT_TRUE(list.ContentPath("a\\x.lab").isEmpty());
    EXPECT_EQ(list.ContentPath("tml1.lab"), root.filePath("settings/tml1.lab"));
}

TEST(TemplateList, AddFailsWhenEveryFileNameIsTakenOrTheContentCannotBeWritten)
{
    CaptionTemplates t;
    QList<store::TTemplate> full;
    for (int n = 1; n <= store::TTemplateList::MaxContentFiles; ++n)
        full.append({QString::number(n), QStringLiteral("TML%1.LAB").arg(n)});
    writeListFile(t.file("labels.tml"), full);
    t.list.LoadList(t.file("labels.tml"));
    ASSERT_EQ(t.list.Count(), store::TTemplateList::MaxContentFiles);
    EXPECT_FALSE(t.list.Add("one more")) << "names are taken without regard to case";

    QStringList captions{"A:"};
    store::TLabelTemplateList nowhere(captions, t.file("no such folder"));
    EXPECT_FALSE(nowhere.Add("A"));
    EXPECT_EQ(nowhere.Count(), 0);

    store::THeaderTemplateList headers(t.folder.path());
    EXPECT_FALSE(headers.Add("no header named")) << "without its content a list saves nothing";
    EXPECT_FALSE(headers.LoadByName("no header named"));
}

TEST(TemplateList, ACaptionTemplateLoadsBackItsCaptions)
{
    CaptionTemplates t;
    ASSERT_TRUE(t.list.Add("English"));
    t.captions = QStringList{"Beschreibung:", "Land:", "Preis:"};
    ASSERT_TRUE(t.list.Add("German"));
    ASSERT_TRUE(t.list.LoadByName("English"));
    EXPECT_EQ(t.captions, (QStringList{"Stamp Description:", "Country:", "Cost:"}));
    ASSERT_TRUE(t.list.LoadContent(t.list.ContentPath(t.list.Items(1).FileName)));
    EXPECT_EQ(t.captions, (QStringList{"Beschreibung:", "Land:", "Preis:"}));
    EXPECT_FALSE(t.list.LoadByName("French"));
}

TEST(TemplateList, ACaptionTemplateThatCannotNameTheFieldsLeavesTheStoredCaptions)
{
    struct Case
    {
        const char* what;
        QByteArray content; // nothing: no file at all
    };
    const QList<Case> cases{{"missing", {}},
                            {"too few captions", "A:\r\nB:\r\n"},
                            {"an empty caption", "A:\r\n   \r\nC:\r\n"},
                            {"two equal captions", "A:\r\nB:\r\nA:\r\n"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CaptionTemplates t;
        ASSERT_TRUE(settings::SaveCaptions(t.folder.path(), {"One:", "Two:", "Three:"}));
        if (!c.content.isNull())
            t.write("tml1.lab", c.content);
        EXPECT_FALSE(t.list.LoadContent(t.file("tml1.lab")));
        EXPECT_EQ(t.captions, (QStringList{"One:", "Two:", "Three:"})) << "those of labels.dat";
    }
    CaptionTemplates withoutLabelsFile;
    EXPECT_FALSE(withoutLabelsFile.list.LoadContent(withoutLabelsFile.file("tml1.lab")));
    EXPECT_EQ(withoutLabelsFile.captions.size(), 3) << "no labels.dat: the captions held stay";
}

TEST(TemplateList, EachKindNamesItsContentFilesWithItsExtension)
{
    QTemporaryDir folder;
    // The simplest content there is: one line of text.
    struct Line : store::TemplateContent
    {
        bool SaveContent(const QString& path) override { return settings::WriteTextLines(path, {text}); }
        bool LoadContent(const QString& path) override
        {
            const auto lines = settings::ReadTextLines(path);
            if (lines && lines->size() == 1)
                text = lines->first();
            return lines.has_value();
        }
        QString text;
    } line;
    store::THeaderTemplateList headers(folder.path());
    store::TFilterTemplateList filters(folder.path());
    for (store::TContentTemplateList* list : {static_cast<store::TContentTemplateList*>(&headers),
                                              static_cast<store::TContentTemplateList*>(&filters)}) {
        list->setContent(&line);
        line.text = "first";
        ASSERT_TRUE(list->Add("T"));
        line.text = "changed";
        ASSERT_TRUE(list->LoadByName("T"));
        EXPECT_EQ(line.text, "first");
    }
    EXPECT_EQ(headers.Items(0).FileName, "tml1.hdr");
    EXPECT_EQ(filters.Items(0).FileName, "tml1.flt");
    EXPECT_EQ(store::TLabelTemplateList::ListFileName, "labels.tml");
    EXPECT_EQ(store::THeaderTemplateList::ListFileName, "headers.tml");
    EXPECT_EQ(store::TFilterTemplateList::ListFileName, "filters.tml");
}
