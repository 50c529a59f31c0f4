#pragma once

#include "stationdb/result.h"
#include "stationdb/stationrecord.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// One change to a member's record made on one PC of the net, as its changes.log holds it:
// tab-separated fields, the two records as hex (82 bytes each), a CRC-32 of the line last.
struct ChangeEvent
{
    QString station; // the id of the PC that made it
    qint64 sequence = 0; // from 1, in the order that PC made its changes
    QDateTime time; // UTC
    QString kind; // add, edit, delete, call, retire, restore, heard, marker, undone, mine, theirs
    QString file; // a station file's name of the county table
    int record = 0; // 1 to 100
    QByteArray before;
    QByteArray after;

    QString id() const { return station + u'#' + QString::number(sequence); }
};

// The longest line a change takes is some 400 bytes; anything longer is not one.
inline constexpr qsizetype MaxChangeLine = 1024;
// What one reading of a log takes at most; the rest waits for the next pass.
inline constexpr qsizetype MaxChangeRead = 1024 * 1024;

// A station id: the name of a PC's folder in the net folder. Letters, digits and "-" only,
// 1 to 40 of them, so that it can never name a path anywhere else.
bool IsStationId(const QString &id);
// "W4ABC-3f9a2c": the call (or "NET") and six random hex digits.
QString NewStationId(const QString &call);

QByteArray EncodeChange(const ChangeEvent &event);
// The event of one line (without its line break), or why it is none. Every field is
// checked: a line from another PC's folder is as untrusted as any file from outside.
Result<ChangeEvent> DecodeChange(const QByteArray &line);

// The kind a change has by its bytes (a note, when there is one, names what the bytes cannot
// tell: a retirement looks like a deletion, a restore like an add).
QString ChangeKindOf(const QByteArray &before, const QByteArray &after, const QString &note);

struct ChangeRead
{
    QList<ChangeEvent> events;
    qint64 nextOffset = 0; // where the next reading starts: after the last whole line read
    bool more = false; // the reading stopped at MaxChangeRead
    QStringList refused; // "changes.log line 7: ...", the lines passed over
};

// The whole lines of a log from offset on. A last line without its line break is left for
// later (it may be half written); a line longer than MaxChangeLine is refused and passed.
// Only events of expectedStation are taken.
Result<ChangeRead> ReadChanges(
    const QString &path, qint64 offset, const QString &expectedStation, int firstLineNumber = 1);

// The last event of a log (its last 64 KB are read), or nothing.
std::optional<ChangeEvent> LastChange(const QString &path);

// Whether two records are the same apart from the date last heard: the date is a fact every
// PC learns on its own (the latest one wins), never a difference of opinion.
bool SameApartFromDate(const QByteArray &a, const QByteArray &b);
// The later of the two records' dates last heard, as the text it stands in.
QString LaterDate(const StationRecord &a, const StationRecord &b);
