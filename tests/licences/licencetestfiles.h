#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <initializer_list>
#include <utility>

// Lines of the published licence files, built field by field (numbered from 1).
QByteArray PipeLine(
    const char *type, int fieldCount, std::initializer_list<std::pair<int, QByteArray>> values);

// A person's entity line: 30 fields, as published.
QByteArray EnLine(int id, const QByteArray &call, const QByteArray &first, const QByteArray &middle,
    const QByteArray &last, const QByteArray &city, const QByteArray &state,
    const QByteArray &entity = {});
// A licence header: 59 fields; dates mm/dd/yyyy.
QByteArray HdLine(int id, const QByteArray &call, char status, const QByteArray &granted,
    const QByteArray &expires);
// An amateur line: 18 fields.
QByteArray AmLine(
    int id, const QByteArray &call, char operatorClass, const QByteArray &previous = {});

// Lines joined with the given ending, the last one ended too.
QByteArray Lines(std::initializer_list<QByteArray> lines, const QByteArray &ending);

// The entry time of the sample zip's files: the file's date.
QDateTime SampleFileTime();

// The licences the tests start from, in the published layout: a call with an expired and a
// newer active licence, a cancelled call, an expired one, a club, a line with too few fields
// (EN.dat line 8), a call one letter longer than a member's.
struct PublishedFiles
{
    QByteArray en, hd, am;
};
PublishedFiles SampleLicences(const QByteArray &ending);
// Their zip, as published (with a file the import does not read).
QByteArray SampleZip(const PublishedFiles &files, bool deflate = true);

bool WriteBytes(const QString &path, const QByteArray &bytes);
