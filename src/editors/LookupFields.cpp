#include "LookupFields.h"

#include "TLookup.h"

#include <QWidget>

namespace lookup {

TLookup* lookupField(const QList<QWidget*>& fields, int fieldNumber)
{
    return fieldNumber >= 1 && fieldNumber <= fields.size() ? qobject_cast<TLookup*>(fields[fieldNumber - 1])
                                                            : nullptr;
}

QString listNameOfField(const QList<QWidget*>& fields, int fieldNumber)
{
    const TLookup* field = lookupField(fields, fieldNumber);
    return field ? field->source() : QString();
}

QStringList itemsOfField(const QList<QWidget*>& fields, int fieldNumber)
{
    const TLookup* field = lookupField(fields, fieldNumber);
    return field ? field->itemTexts() : QStringList();
}

void attachSession(const QList<QWidget*>& fields, store::Session& session)
{
    for (QWidget* control : fields) {
        if (auto* field = qobject_cast<TLookup*>(control))
            field->setSession(&session);
    }
}

void reloadLookupFields(const QList<QWidget*>& fields)
{
    for (QWidget* control : fields) {
        if (auto* field = qobject_cast<TLookup*>(control))
            field->ReloadItems();
    }
}

QList<ListEntry> listEntries(const QList<QWidget*>& fields, const QStringList& captions)
{
    QList<ListEntry> entries;
    for (int number = 1; number <= fields.size(); ++number) {
        const QString listName = listNameOfField(fields, number);
        if (!listName.isEmpty())
            entries.append({captions.value(number - 1), listName, number});
    }
    return entries;
}

int entryIndexOfField(const QList<QWidget*>& fields, int fieldNumber)
{
    if (listNameOfField(fields, fieldNumber).isEmpty())
        return -1;
    int index = 0;
    for (int number = 1; number < fieldNumber; ++number) {
        if (!listNameOfField(fields, number).isEmpty())
            ++index;
    }
    return index;
}

} // namespace lookup
