#pragma once

#include <QByteArray>
#include <QString>

// One 82-byte record of a station file. Fields hold their text as read; toBytes() pads
// each with blanks to its width and cuts longer values.
struct StationRecord
{
    static constexpr int Size = 82;
    static constexpr int CallWidth = 6, NameWidth = 15, CountyWidth = 15, StatusWidth = 11,
                         CityWidth = 25, LastDateWidth = 10;
    static constexpr int CallOffset = 0, NameOffset = 6, CountyOffset = 21, StatusOffset = 36,
                         CityOffset = 47, LastDateOffset = 72;

    QString Call;
    QString Name;
    QString County;
    QString Status;
    QString City;
    QString LastDate;

    static QString EndMarker() { return QStringLiteral("**EOF*"); }
    static QString VacantMarker() { return QStringLiteral("VACANT"); }

    // Bytes shorter than a record are taken as if padded with blanks.
    static StationRecord fromBytes(const QByteArray &bytes);
    QByteArray toBytes() const;

    // A record of blanks: what a never-used slot and a read past the file's end give.
    static StationRecord blank();

    void trimAll();
    StationRecord trimmed() const;

    bool isEndMarker() const { return Call.trimmed() == EndMarker(); }
    bool isVacant() const { return Call.trimmed() == VacantMarker(); }
    bool isBlank() const { return Call.trimmed().isEmpty(); }
    // A slot that holds no station: blank or vacant.
    bool isFree() const { return isBlank() || isVacant(); }

    // True when every field can be stored as single-byte text without loss.
    bool fitsLatin1() const;

    bool operator==(const StationRecord &) const = default;
};

// Pads or cuts text to exactly width characters.
QString PadField(const QString &text, int width);
