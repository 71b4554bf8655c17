#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace settings {

// The tab-order file of a record table keeps the order of the record pages: one line holding the last
// character of each page caption, in page order ("1234" for "Part 1" … "Part 4").

// The table's file name with everything after its first "." replaced by "tab" (data.dbf has data.tab);
// "tab" is appended to a name without a dot.
QString TabOrderFileName(const QString& tableFileName);

// pageCaptions in their current order. False when the file cannot be written.
bool SavePageOrder(const QString& settingsFolder, const QString& tableFileName,
                   const QStringList& pageCaptions);
// The first line of the file; empty when there is none.
QString ReadPageOrder(const QString& settingsFolder, const QString& tableFileName);

// The new order of the pages, as indexes into pageCaptions: for each position p of order, the first page
// whose caption ends with the character at p moves to position p (the last position when p lies beyond
// it); characters that match no page are skipped. The first page of the result becomes the active one.
QList<int> RestorePageOrder(const QStringList& pageCaptions, const QString& order);

} // namespace settings
