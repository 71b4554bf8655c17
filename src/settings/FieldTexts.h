#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace settings {

// The message the record window shows when the captions or date formats cannot be saved.
inline constexpr char SaveOptionsFailedMessage[] = "Could not Save Options to a File!";

// "labels.dat": one field caption per line, in field order. Empty when the file is missing; the record
// window then takes the captions from the form.
QStringList LoadCaptions(const QString& settingsFolder);
// False when the file cannot be written; the caller reports SaveOptionsFailedMessage.
bool SaveCaptions(const QString& settingsFolder, const QStringList& captions);

// The date formats of the record form.
enum DateFormat
{
    MonthDayYear = 0,
    DayMonthYear = 1,
    YearMonthDay = 2,
    YearOnly = 3
};

// "date.dat": one format number per date field, in the order the date fields were found. Empty when the
// file is missing; a line that is not one of the format numbers reads as MonthDayYear.
QList<int> LoadDateFormats(const QString& settingsFolder);
// False when the file cannot be written; the caller reports SaveOptionsFailedMessage.
bool SaveDateFormats(const QString& settingsFolder, const QList<int>& formats);

} // namespace settings
