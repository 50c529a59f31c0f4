#include "licencefields.h"

#include <QRegularExpression>

#include <algorithm>
#include <cstdlib>

void PipeFields::split(QByteArrayView line)
{
    m_fields.clear();
    if (line.endsWith('\r'))
        line.chop(1);
    qsizetype start = 0;
    for (;;) {
        const qsizetype bar = line.indexOf('|', start);
        if (bar < 0) {
            m_fields.push_back(line.sliced(start));
            return;
        }
        m_fields.push_back(line.sliced(start, bar - start));
        start = bar + 1;
    }
}

QString PipeFields::text(int n) const
{
    return QString::fromLatin1(at(n).trimmed());
}

int LicenceDateNumber(QByteArrayView field)
{
    field = field.trimmed();
    if (field.size() != 10 || field[2] != '/' || field[5] != '/')
        return 0;
    int digits[8];
    const int at[8] = { 6, 7, 8, 9, 0, 1, 3, 4 }; // yyyy mm dd
    for (int i = 0; i < 8; ++i) {
        const char c = field[at[i]];
        if (c < '0' || c > '9')
            return 0;
        digits[i] = c - '0';
    }
    int number = 0;
    for (int d : digits)
        number = number * 10 + d;
    return DateOfNumber(number).isValid() ? number : 0;
}

QDate DateOfNumber(int yyyymmdd)
{
    return QDate(yyyymmdd / 10000, yyyymmdd / 100 % 100, yyyymmdd % 100);
}

bool IsUsCallForm(const QString &call)
{
    static const QRegularExpression us(QStringLiteral("^(?:[KNW][A-Z]?|A[A-L])[0-9][A-Z]{1,3}$"));
    return us.match(call).hasMatch();
}

bool OneEditApart(QByteArrayView a, QByteArrayView b)
{
    if (a.size() < b.size())
        std::swap(a, b);
    const qsizetype n = b.size();
    if (a.size() - n > 1)
        return false;
    qsizetype i = 0;
    while (i < n && a[i] == b[i])
        ++i;
    if (a.size() == n + 1) // one letter dropped from a
        return a.sliced(i + 1) == b.sliced(i);
    if (i == n)
        return false; // equal
    if (a.sliced(i + 1) == b.sliced(i + 1)) // one letter changed
        return true;
    return i + 1 < n && a[i] == b[i + 1] && a[i + 1] == b[i] && a.sliced(i + 2) == b.sliced(i + 2);
}
