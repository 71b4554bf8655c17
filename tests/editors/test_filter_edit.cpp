#include "editors/CharacterSet.h"
#include "editors/TFilterEdit.h"
#include "EditorTestSupport.h"

namespace {

using editors::CharacterSet;

struct SetCase
{
    const char* text;
    bool valid;
    const char* members;
    const char* outsiders;
};

class CharacterSets : public ::testing::TestWithParam<SetCase>
{
};

TEST_P(CharacterSets, AreReadLikeSetConstants)
{
    const SetCase& c = GetParam();
    const std::optional<CharacterSet> set = CharacterSet::parse(QString::fromLatin1(c.text));
    ASSERT_EQ(set.has_value(), c.valid) << c.text;
    if (!set)
        return;
    for (char member : std::string(c.members))
        EXPECT_TRUE(set->contains(QLatin1Char(member))) << c.text << " should hold " << member;
    for (char outsider : std::string(c.outsiders))
        EXPECT_FALSE(set->contains(QLatin1Char(outsider))) << c.text << " should not hold " << outsider;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CharacterSets,
    ::testing::Values(SetCase{"[]", true, "", "a0 "}, SetCase{"['0'..'9','.']", true, "0159.", "a,-/:"},
                      SetCase{"[a..c, x]", true, "abcx", "dABw "}, SetCase{"[0..9]", true, "09", "a."},
                      SetCase{"[',',']','.']", true, ",].", "'a"}, SetCase{"['''']", true, "'", "a"},
                      SetCase{"[' ']", true, " ", "a"}, SetCase{"[.]", true, ".", ","},
                      SetCase{"abc", false, "", ""}, SetCase{"[abc", false, "", ""},
                      SetCase{"[a..]", false, "", ""}, SetCase{"[a,]", false, "", ""},
                      SetCase{"[a b]", false, "", ""}, SetCase{"[,]", false, "", ""},
                      SetCase{"['ab']", false, "", ""}));

TEST(CharacterSets, TheEmptySetIsNoRestriction)
{
    EXPECT_TRUE(CharacterSet::parse(QStringLiteral("[]"))->isEmpty());
    EXPECT_FALSE(CharacterSet::parse(QStringLiteral("[a]"))->isEmpty());
    EXPECT_FALSE(CharacterSet::parse(QStringLiteral("[a..z]"))->contains(QChar(0x0101)));
}

struct TypingCase
{
    const char* validChars;
    const char* typed;
    const char* text;
    int beeps;
};

class FilterTyping : public ::testing::TestWithParam<TypingCase>
{
};

TEST_P(FilterTyping, RefusesCharactersOutsideTheSetWithABeep)
{
    const TypingCase& c = GetParam();
    TFilterEdit edit;
    edit.setValidChars(QString::fromLatin1(c.validChars));
    BeepCounter beeps;
    QTest::keyClicks(&edit, QString::fromLatin1(c.typed));
    EXPECT_EQ(edit.text(), QString::fromLatin1(c.text));
    EXPECT_EQ(beeps.count(), c.beeps);
}

INSTANTIATE_TEST_SUITE_P(Cases, FilterTyping,
                         ::testing::Values(TypingCase{"[]", "a1 .x", "a1 .x", 0},
                                           TypingCase{"['0'..'9','.']", "1a2.b", "12.", 2},
                                           TypingCase{"[A..Z]", "AbC", "AC", 1},
                                           TypingCase{"not a set", "abc", "abc", 0}));

TEST(FilterTyping, BackspaceDeleteAndEnterAreNotCharacters)
{
    TFilterEdit edit;
    edit.setValidChars(QStringLiteral("['0'..'9']"));
    BeepCounter beeps;
    QTest::keyClicks(&edit, QStringLiteral("123"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClick(&edit, Qt::Key_Return);
    EXPECT_EQ(edit.text(), "2");
    EXPECT_EQ(beeps.count(), 0);
}

TEST(FilterSet, ANewSetRemovesCharactersOutsideIt)
{
    TFilterEdit edit;
    edit.setText(QStringLiteral("ab12.c3"));
    edit.setValidChars(QStringLiteral("['0'..'9']"));
    EXPECT_EQ(edit.text(), "123");
    EXPECT_EQ(edit.validChars(), "['0'..'9']");
}

TEST(FilterSet, ATextThatIsNoSetIsIgnored)
{
    TFilterEdit edit;
    EXPECT_EQ(edit.validChars(), "[]");
    edit.setValidChars(QStringLiteral("['a']"));
    edit.setValidChars(QStringLiteral("'0'..'9'"));
    EXPECT_EQ(edit.validChars(), "['a']");
    edit.setValidChars(QStringLiteral("[]"));
    edit.setText(QStringLiteral("xyz"));
    EXPECT_EQ(edit.text(), "xyz");
    QTest::keyClicks(&edit, QStringLiteral("!"));
    EXPECT_EQ(edit.text(), "xyz!");
}

TEST(FilterSet, KeepsItsAlignment)
{
    TFilterEdit edit;
    EXPECT_TRUE(edit.alignment().testFlag(Qt::AlignLeft));
    edit.setAlignment(Qt::AlignRight);
    EXPECT_TRUE(edit.alignment().testFlag(Qt::AlignRight));
}

} // namespace
