#pragma once

#include "StreamError.h"
#include "ValueReader.h"
#include "ValueWriter.h"

#include <QList>
#include <QString>
#include <type_traits>

namespace settings {

// The shape every list file shares: list-begin, the items, list-end.

// Appends each item as soon as readItem has read it whole. Throws StreamError at the first fault; the
// items appended before it stay in items.
template <typename Item, typename ReadItem>
void ReadListItems(ValueReader& reader, QList<Item>& items, ReadItem readItem)
{
    reader.ReadListBegin();
    while (!reader.EndOfList())
        items.append(readItem(reader));
    reader.ReadListEnd();
}

// Loads a list file, never failing: a missing file gives an empty list, a damaged or cut-off one the
// items read whole before the damage. readItem(ValueReader&) returns one item.
template <typename ReadItem>
auto LoadListFile(const QString& path, ReadItem readItem)
{
    QList<std::invoke_result_t<ReadItem, ValueReader&>> items;
    try {
        ValueReader reader(path);
        ReadListItems(reader, items, readItem);
    } catch (const StreamError&) {
        // keep what was read whole
    }
    return items;
}

// Writes a list file; writeItem(ValueWriter&, const item&) writes one item. Throws StreamError when the
// file cannot be created or written.
template <typename Items, typename WriteItem>
void SaveListFile(const QString& path, const Items& items, WriteItem writeItem)
{
    ValueWriter writer(path);
    writer.WriteListBegin();
    for (const auto& item : items)
        writeItem(writer, item);
    writer.WriteListEnd();
    writer.Commit();
}

} // namespace settings
