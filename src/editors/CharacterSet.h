#pragma once

#include <bitset>
#include <optional>
#include <QChar>
#include <QString>

namespace editors {

// A set of the 256 single-byte characters written the way a set constant is written: "[]" for the
// empty set, otherwise "[" items "]" with comma-separated items, each a character or a range "a..z",
// any character optionally in single quotes ("'" doubled inside quotes), e.g. "['0'..'9','.']".
class CharacterSet
{
public:
    // Nothing when the text is not such a set.
    static std::optional<CharacterSet> parse(const QString& text);

    bool isEmpty() const { return m_members.none(); }
    bool contains(QChar c) const { return c.unicode() < 256 && m_members.test(c.unicode()); }

private:
    std::bitset<256> m_members;
};

} // namespace editors
