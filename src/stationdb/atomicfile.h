#pragma once

#include "result.h"

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// The one write path for every file the program owns. The whole new content goes to a
// temporary file beside the target; every write, the flush and the sync are checked; only
// then is it renamed over the target. Any failure leaves the old file byte-identical and
// is returned. A new file gets newPermissions; an existing one keeps its own mode. A file
// this user may not write (made read-only) is never replaced: "<path>: the file is
// read-only".
Status WriteFileAtomically(const QString &path, const QByteArray &content,
    QFileDevice::Permissions newPermissions = QFileDevice::ReadOwner | QFileDevice::WriteOwner
        | QFileDevice::ReadGroup | QFileDevice::ReadOther);

// Puts a file that was written whole beside the target in the target's place: its bytes are
// synced to the disk first, then it is renamed over the target (the old target stays until
// that rename). For files too large to hold in memory, written by their own writer.
Status SyncAndReplaceFile(const QString &finished, const QString &target);

// Appends one line and forces it onto the disk: opened in append mode, written, synced and
// closed. A file that does not end in a line break (a torn last line) gets one first, so the
// new line stands on its own; a write that fails half-way is cut off again, so the line goes
// whole into the file or not at all and a retry never doubles it.
Status AppendLineDurably(const QString &path, const QByteArray &line);

// Reads a whole regular file. A path that is missing, not a regular file (a folder, a pipe,
// a device) or unreadable is an error: a caller that cannot read a file must never write it.
Result<QByteArray> ReadWholeFile(const QString &path);

// Reads at most maxBytes from the start of a regular file, with the platform's plain calls
// where it has them: the station search reads every file at each search, and this is its
// floor. Anything but a readable regular file is an error, as with ReadWholeFile; a pipe
// in a file's place never blocks.
Result<QByteArray> ReadFileHead(const QString &path, qsizetype maxBytes);

// The temporary files of an interrupted write of ours are named "<file>.vorq-tmp-XXXXXX";
// this removes those left in a folder, and nothing else. Returns how many were removed.
int RemoveLeftoverTemporaries(const QString &folder);
// An existing file this user may not write is an error: "<path>: the file is read-only".
Status CheckWritable(const QString &path);

// The part of a temporary file's name that marks it as ours.
QString TemporaryFileMarker();
