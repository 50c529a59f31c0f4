#include "stationrecord.h"

QString PadField(const QString &text, int width)
{
    if (text.size() >= width)
        return text.left(width);
    return text + QString(width - text.size(), QLatin1Char(' '));
}

StationRecord StationRecord::fromBytes(const QByteArray &bytes)
{
    QByteArray raw = bytes.left(Size);
    if (raw.size() < Size)
        raw.append(QByteArray(Size - raw.size(), ' '));
    auto field = [&raw](int offset, int width) {
        return QString::fromLatin1(raw.constData() + offset, width);
    };
    StationRecord r;
    r.Call = field(CallOffset, CallWidth);
    r.Name = field(NameOffset, NameWidth);
    r.County = field(CountyOffset, CountyWidth);
    r.Status = field(StatusOffset, StatusWidth);
    r.City = field(CityOffset, CityWidth);
    r.LastDate = field(LastDateOffset, LastDateWidth);
    return r;
}

QByteArray StationRecord::toBytes() const
{
    QString text = PadField(Call, CallWidth) + PadField(Name, NameWidth)
        + PadField(County, CountyWidth) + PadField(Status, StatusWidth) + PadField(City, CityWidth)
        + PadField(LastDate, LastDateWidth);
    return text.toLatin1();
}

StationRecord StationRecord::blank()
{
    return fromBytes(QByteArray());
}

void StationRecord::trimAll()
{
    Call = Call.trimmed();
    Name = Name.trimmed();
    County = County.trimmed();
    Status = Status.trimmed();
    City = City.trimmed();
    LastDate = LastDate.trimmed();
}

StationRecord StationRecord::trimmed() const
{
    StationRecord r = *this;
    r.trimAll();
    return r;
}

bool StationRecord::fitsLatin1() const
{
    for (const QString *field : { &Call, &Name, &County, &Status, &City, &LastDate }) {
        for (QChar c : *field) {
            if (c.unicode() > 0xff)
                return false;
        }
    }
    return true;
}
