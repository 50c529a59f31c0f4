#include "licencetestfiles.h"

#include "zipwriter.h"

#include <QFile>

#include <QList>

QByteArray PipeLine(
    const char *type, int fieldCount, std::initializer_list<std::pair<int, QByteArray>> values)
{
    QList<QByteArray> fields(fieldCount);
    fields[0] = type;
    for (const auto &[n, value] : values)
        fields[n - 1] = value;
    return fields.join('|');
}

QByteArray EnLine(int id, const QByteArray &call, const QByteArray &first, const QByteArray &middle,
    const QByteArray &last, const QByteArray &city, const QByteArray &state,
    const QByteArray &entity)
{
    const QByteArray name = entity.isEmpty() ? first + ' ' + middle + ' ' + last : entity;
    return PipeLine("EN", 30,
        { { 2, QByteArray::number(id) }, { 5, call }, { 6, "L" }, { 8, name.simplified() },
            { 9, first }, { 10, middle }, { 11, last }, { 16, "1 MAIN ST" }, { 17, city },
            { 18, state }, { 19, "36601" }, { 23, "0001234567" } });
}

QByteArray HdLine(int id, const QByteArray &call, char status, const QByteArray &granted,
    const QByteArray &expires)
{
    return PipeLine("HD", 59,
        { { 2, QByteArray::number(id) }, { 5, call }, { 6, QByteArray(1, status) }, { 7, "HA" },
            { 8, granted }, { 9, expires } });
}

QByteArray AmLine(int id, const QByteArray &call, char operatorClass, const QByteArray &previous)
{
    return PipeLine("AM", 18,
        { { 2, QByteArray::number(id) }, { 5, call }, { 6, QByteArray(1, operatorClass) },
            { 16, previous } });
}

QByteArray Lines(std::initializer_list<QByteArray> lines, const QByteArray &ending)
{
    QByteArray out;
    for (const QByteArray &line : lines)
        out += line + ending;
    return out;
}

QDateTime SampleFileTime()
{
    return QDateTime(QDate(2026, 12, 4), QTime(6, 30));
}

PublishedFiles SampleLicences(const QByteArray &ending)
{
    PublishedFiles p;
    p.en = Lines({ EnLine(50, "W4XYZ", "John", "", "Smith", "Mobile", "AL"),
                     EnLine(300, "W4XYZ", "OLD", "Q", "OWNER", "ELSEWHERE", "GA"),
                     EnLine(310, "W4OLD", "MARY", "", "JONES", "DOTHAN", "AL"),
                     EnLine(320, "K4CAN", "CARL", "", "CANCEL", "TROY", "AL"),
                     EnLine(330, "W4CLB", "", "", "", "HUNTSVILLE", "AL", "ROCKET CITY ARC"),
                     EnLine(341, "N4NEW", "ANN", "", "OLDER", "SELMA", "AL"),
                     EnLine(340, "N4NEW", "ANN", "B", "NEWER", "SELMA", "AL"),
                     "EN|999|", // too few fields
                     EnLine(350, "KB4OEX", "ED", "", "EDGE", "CULLMAN", "AL"),
                     EnLine(360, "K4TWO", "TOM", "", "ACTIVE", "JASPER", "AL"),
                     EnLine(361, "K4TWO", "TIM", "", "LAPSED", "JASPER", "AL") },
        ending);
    p.hd = Lines({ HdLine(50, "W4XYZ", 'A', "03/02/2020", "03/02/2030"),
                     HdLine(300, "W4XYZ", 'E', "05/05/2015", "05/05/2025"), // older, higher id
                     HdLine(310, "W4OLD", 'E', "01/01/2010", "01/01/2020"),
                     HdLine(320, "K4CAN", 'C', "01/01/2012", "01/01/2022"),
                     HdLine(330, "W4CLB", 'A', "06/01/2021", "06/01/2031"),
                     HdLine(340, "N4NEW", 'A', "07/07/2022", "07/07/2032"), // newer, lower id
                     HdLine(341, "N4NEW", 'A', "07/07/2012", "07/07/2022"),
                     HdLine(350, "KB4OEX", 'A', "02/02/2022", "02/02/2032"),
                     HdLine(360, "K4TWO", 'A', "01/01/2016", "01/01/2036"),
                     HdLine(361, "K4TWO", 'E', "01/01/2019", "01/01/2029") }, // newer, expired
        ending);
    p.am = Lines(
        { AmLine(50, "W4XYZ", 'G'), AmLine(300, "W4XYZ", 'T'), AmLine(310, "W4OLD", 'E', "WB4OLD"),
            AmLine(320, "K4CAN", 'T'), AmLine(341, "N4NEW", 'T'), AmLine(340, "N4NEW", 'A'),
            AmLine(350, "KB4OEX", 'P'), AmLine(360, "K4TWO", 'G'), AmLine(361, "K4TWO", 'E') },
        ending);
    return p;
}

QByteArray SampleZip(const PublishedFiles &p, bool deflate)
{
    const QDateTime t = SampleFileTime();
    return MakeZip({ { "AM.dat", p.am, deflate, t }, { "EN.dat", p.en, deflate, t },
        { "HD.dat", p.hd, deflate, t }, { "counts", "EN 9\n", false, t } });
}

bool WriteBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
