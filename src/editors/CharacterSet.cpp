#include "CharacterSet.h"

namespace editors {

namespace {

// Reads the items between the brackets one character at a time.
class ItemReader
{
public:
    explicit ItemReader(const QString& items) : m_items(items) {}

    bool atEnd()
    {
        skipSpaces();
        return m_position >= m_items.size();
    }

    bool take(QLatin1String token)
    {
        skipSpaces();
        if (!QStringView(m_items).mid(m_position).startsWith(token))
            return false;
        m_position += token.size();
        return true;
    }

    std::optional<QChar> character()
    {
        skipSpaces();
        if (m_position >= m_items.size())
            return std::nullopt;
        const QChar first = m_items.at(m_position++);
        if (first != QLatin1Char('\''))
            return first == QLatin1Char(',') ? std::nullopt : std::optional<QChar>(first);
        // A quoted character; a doubled quote inside the quotes is the quote itself.
        if (QStringView(m_items).mid(m_position).startsWith(QLatin1String("'''"))) {
            m_position += 3;
            return QLatin1Char('\'');
        }
        if (m_position + 1 >= m_items.size() || m_items.at(m_position + 1) != QLatin1Char('\''))
            return std::nullopt;
        const QChar quoted = m_items.at(m_position);
        m_position += 2;
        return quoted;
    }

private:
    void skipSpaces()
    {
        while (m_position < m_items.size() && m_items.at(m_position) == QLatin1Char(' '))
            ++m_position;
    }

    const QString& m_items;
    qsizetype m_position = 0;
};

} // namespace

std::optional<CharacterSet> CharacterSet::parse(const QString& text)
{
    if (!text.startsWith(QLatin1Char('[')) || !text.endsWith(QLatin1Char(']')) || text.size() < 2)
        return std::nullopt;
    const QString items = text.mid(1, text.size() - 2);
    ItemReader reader(items);
    CharacterSet set;
    bool first = true;
    while (!reader.atEnd()) {
        if (!first && !reader.take(QLatin1String(",")))
            return std::nullopt;
        first = false;
        const std::optional<QChar> low = reader.character();
        if (!low)
            return std::nullopt;
        QChar high = *low;
        if (reader.take(QLatin1String(".."))) {
            const std::optional<QChar> end = reader.character();
            if (!end)
                return std::nullopt;
            high = *end;
        }
        if (low->unicode() > 255 || high.unicode() > 255)
            return std::nullopt;
        for (unsigned c = low->unicode(); c <= high.unicode(); ++c)
            set.m_members.set(c);
    }
    return set;
}

} // namespace editors
