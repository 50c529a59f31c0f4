#pragma once

#include <QDateTime>
#include <QString>

// One thing that happened in a net session, as the journal keeps it. Each event carries
// what it did to the session (the check-in table's entry, the traffic count as it now
// stands), so a session can be rebuilt from its events alone.
struct SessionEvent
{
    enum class Kind {
        Start, // netControlName, netControlCall, mode
        Checkin, // entry, call, file, record, name, county, city, how, line
        TakeBack, // entry, call; marked: the entry reads "DELETED" (else it is free again)
        Traffic, // marked: counted up (else down); count: the counter now; call: the
                 // station it was counted against (may be empty)
        NonListed, // call
        Clear, // the non-listed list emptied
        NewMember, // call, line: the new-member list's line
        CallChanged, // entry (0 when not checked in), call: the old call, newCall
        Resume, // the session goes on after the program was interrupted
        End,
        // Added later; a journal from before simply holds none of them.
        NetControl, // netControlName, netControlCall; marked: an alternate took over
        MemberEdited, // file, record, call, name, county, city as the record now holds them
        // A check-in, new member or call change journaled before its station file was
        // written, whose write failed: undone (undone, entry, call, newCall).
        Undone,
        // A member taken out of a station file: retired (not heard for a year) or deleted by
        // the operator (marked); file, record, line: the whole record as it was.
        Retired,
        Restored, // a retired station put back: file, call
        Withdrawn, // call: a call not found that the operator accepted as another
        Mode, // mode: the COUNTIES entry the operator settled on (early, late or a county)
    };
    enum class How { Typed, Clicked, Added };

    Kind kind = Kind::End;
    QDateTime at; // stamped by the journal

    int entry = 0;
    QString call;
    QString newCall;
    QString file; // the station file's name, without its folder
    int record = 0;
    QString name;
    QString county;
    QString city;
    How how = How::Typed;
    QString line;
    bool marked = false;
    int count = 0;
    QString netControlName;
    QString netControlCall;
    QString mode; // Start: "EARLY"; Mode: the entry's text
    Kind undone = Kind::End; // Undone: the kind of the event it takes back
};

// Where the logging core reports its events; the journal is one.
class SessionEventSink
{
public:
    virtual ~SessionEventSink() = default;
    virtual void record(const SessionEvent &event) = 0;
};
