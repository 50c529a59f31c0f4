#include "callsign.h"

#include <algorithm>

namespace {
bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
bool isLetter(int c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
} // namespace

bool IsValidCall(const QString &s)
{
    const qsizetype length = s.size();
    if (length > 6)
        return false;
    for (QChar c : s) {
        if (c.unicode() <= u' ' || c.unicode() > u'~')
            return false;
    }
    if (length == 6 && isDigit(s.at(1)))
        return false;

    int positionSum = 0;
    for (char16_t d = u'0'; d <= u'9'; ++d) {
        const qsizetype index = s.indexOf(QChar(d)); // 0-based; -1 when absent
        const qsizetype position = index + 1; // from 1; 0 when absent
        // The character after the digit's first occurrence must exist; with an absent digit
        // this asks for the first character, which rejects the empty text.
        if (position + 1 > length)
            return false;
        positionSum += int(position);
    }
    if (positionSum != 2 && positionSum != 3)
        return false;

    const QChar first = s.at(0);
    if (first != u'A' && first != u'K' && first != u'N' && first != u'W')
        return false;
    if (isDigit(s.at(1)))
        return true;
    return length >= 3 && isDigit(s.at(2));
}

int FilterKeyAscii(FieldKind kind, int keyAscii)
{
    if (keyAscii == 8)
        return keyAscii;
    if (isLetter(keyAscii) || keyAscii == ' ')
        return keyAscii;
    if (kind == FieldKind::Call && keyAscii >= '0' && keyAscii <= '9')
        return keyAscii;
    return 0;
}

bool PassesKeyFilter(FieldKind kind, const QString &text)
{
    return std::all_of(text.begin(), text.end(),
        [kind](QChar c) { return c.unicode() != 8 && FilterKeyAscii(kind, c.unicode()) != 0; });
}

QString FilterText(FieldKind kind, const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c.unicode() != 8 && FilterKeyAscii(kind, c.unicode()) != 0)
            out += c;
    }
    return out;
}

QString CallPrefix(const QString &call)
{
    if (call.size() >= 2 && isDigit(call.at(1)))
        return call.left(2);
    return call.left(3);
}

QString CallSuffix(const QString &call)
{
    return call.mid(CallPrefix(call).size());
}
