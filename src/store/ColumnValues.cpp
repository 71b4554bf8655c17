#include "ColumnValues.h"

#include "settings/FileAccess.h"

namespace store {

namespace {
std::size_t index(int column)
{
    return static_cast<std::size_t>(column);
}
} // namespace

QByteArray toTableText(const QString& text)
{
    return settings::ToCp1252(text);
}

QString fromTableText(const std::string& bytes)
{
    return settings::FromCp1252(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

QString columnText(const dbase::Table& table, int column)
{
    return fromTableText(table.asString(index(column)));
}

void setColumnText(dbase::Table& table, int column, const QString& text)
{
    const QByteArray bytes = toTableText(text);
    table.setString(index(column),
                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QStringList columnMemoLines(const dbase::Table& table, int column)
{
    QStringList lines;
    for (const std::string& line : table.memoLines(index(column)))
        lines.append(fromTableText(line));
    return lines;
}

void setColumnMemoLines(dbase::Table& table, int column, const QStringList& lines)
{
    std::vector<std::string> stored;
    stored.reserve(static_cast<std::size_t>(lines.size()));
    for (const QString& line : lines)
        stored.push_back(toTableText(line).toStdString());
    table.setMemoLines(index(column), stored);
}

QDate columnDate(const dbase::Table& table, int column)
{
    return toQDate(table.asDate(index(column)));
}

void setColumnDate(dbase::Table& table, int column, const QDate& date)
{
    if (date.isValid())
        table.setDate(index(column), fromQDate(date));
    else
        table.clear(index(column));
}

QByteArray columnBlob(const dbase::Table& table, int column)
{
    const std::string bytes = table.blob(index(column));
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

void setColumnBlob(dbase::Table& table, int column, const QByteArray& bytes)
{
    if (bytes.isEmpty())
        table.clear(index(column));
    else
        table.setBlob(index(column),
                      std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

QDate toQDate(const dbase::Date& date)
{
    return date.isBlank() ? QDate() : QDate(date.year, date.month, date.day);
}

dbase::Date fromQDate(const QDate& date)
{
    return date.isValid() ? dbase::Date{date.year(), date.month(), date.day()} : dbase::Date{};
}

} // namespace store
