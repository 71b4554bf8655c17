#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;
class TLookup;
namespace store {
struct Session;
}

// What the record window and the dialogs ask of the lookup fields among the record's field controls. The
// controls are indexed by field number - 1, as the record window keeps them; field numbers count from 1.
namespace lookup {

// One lookup field as the Edit Lists dialog offers it.
struct ListEntry
{
    QString caption;  // the user's caption of the field
    QString listName; // its list table, e.g. "list1.dbf"
    int fieldNumber = 0;

    bool operator==(const ListEntry&) const = default;
};

TLookup* lookupField(const QList<QWidget*>& fields, int fieldNumber);
// The field's list table; empty when it is not a lookup field.
QString listNameOfField(const QList<QWidget*>& fields, int fieldNumber);
// The field's items in their displayed order; empty when it is not a lookup field.
QStringList itemsOfField(const QList<QWidget*>& fields, int fieldNumber);
// Gives every lookup field the run's folders and auto-fill option, which opens their list tables.
void attachSession(const QList<QWidget*>& fields, store::Session& session);
void reloadLookupFields(const QList<QWidget*>& fields);

// The lookup fields in field order, each with its caption.
QList<ListEntry> listEntries(const QList<QWidget*>& fields, const QStringList& captions);
// The position of the field's entry among listEntries(); -1 when it is not a lookup field.
int entryIndexOfField(const QList<QWidget*>& fields, int fieldNumber);

} // namespace lookup
