#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The number at the start of a text, as the program reads every stored number and every
// counter caption: leading blanks skipped, an optional sign, digits and an optional
// fraction. "12abc" gives 12, " 3" gives 3, "" and "abc" give 0.
double LeadingNumber(QStringView text);
// LeadingNumber rounded to a whole number and held within 32 bits.
qint32 LeadingInt(QStringView text);

// A text that is a whole number of 0 or more within 32 bits, blanks around it allowed; none
// for anything else ("1O0", "1.5", "-3", "").
std::optional<qint32> WholeNumber(const QString &text);

// "short date": M/d/yyyy (3/7/2012), as written to LastDate by a typed check-in.
QString ShortDate(const QDate &date);
// mm/dd/yyyy with leading zeros, as written by a check-in by click.
QString MmDdYyyy(const QDate &date);
// Reads a date in either of the two forms above; anything else is not a date.
std::optional<QDate> ParseDateText(const QString &text);

// A text read from outside (a name in a zip, a field of a damaged file) made fit for a status
// line or a message: control characters and other unprintable ones become "?", and beyond
// maxChars it is cut with "...".
QString PrintableText(const QString &text, qsizetype maxChars);

// English names whatever the machine's locale.
QString EnglishMonthName(int month);
QString EnglishDayName(const QDate &date);
