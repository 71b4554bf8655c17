#pragma once

#include "dbase/Table.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

// The record table's values as Qt types: Windows-1252 text becomes QString here, and the engine's dates
// become QDate. Column numbers count from 0, as in the table.
namespace store {

QString columnText(const dbase::Table& table, int column);
void setColumnText(dbase::Table& table, int column, const QString& text);

QStringList columnMemoLines(const dbase::Table& table, int column);
void setColumnMemoLines(dbase::Table& table, int column, const QStringList& lines);

// An invalid QDate for the blank date.
QDate columnDate(const dbase::Table& table, int column);
// An invalid date clears the column.
void setColumnDate(dbase::Table& table, int column, const QDate& date);

QByteArray columnBlob(const dbase::Table& table, int column);
void setColumnBlob(dbase::Table& table, int column, const QByteArray& bytes);

QDate toQDate(const dbase::Date& date);
dbase::Date fromQDate(const QDate& date);

QByteArray toTableText(const QString& text);
QString fromTableText(const std::string& bytes);

} // namespace store
