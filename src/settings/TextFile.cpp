#include "TextFile.h"

#include "FileAccess.h"
#include "StreamError.h"
#include "ValueWriter.h"

namespace settings {

std::optional<QStringList> ReadTextLines(const QString& path)
{
    const std::optional<QByteArray> content = ReadWholeFile(path);
    if (!content)
        return std::nullopt;
    const QString text = FromCp1252(*content);
    QStringList lines;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\r') && text[i] != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(lineStart, i - lineStart));
        if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        lineStart = i + 1;
    }
    if (lineStart < text.size())
        lines.append(text.mid(lineStart));
    return lines;
}

bool WriteTextLines(const QString& path, const QStringList& lines)
{
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return WriteTextFile(path, text);
}

bool WriteTextFile(const QString& path, const QString& text)
{
    try {
        ValueWriter writer(path);
        writer.WriteRaw(ToCp1252(text));
        writer.Commit();
        return true;
    } catch (const StreamError&) {
        return false;
    }
}

} // namespace settings
