#pragma once

#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <vector>

// The pipe-delimited lines of the published US amateur licence files. Fields are numbered
// from 1 as the published layout numbers them: field 1 is the record type ("EN").
class PipeFields
{
public:
    // Splits one line (its CR, if any, is dropped). The views point into line.
    void split(QByteArrayView line);
    int count() const { return int(m_fields.size()); }
    // Field n (from 1); empty when the line has fewer fields.
    QByteArrayView at(int n) const
    {
        return n >= 1 && n <= count() ? m_fields[size_t(n - 1)] : QByteArrayView();
    }
    // The field as text, blanks around it trimmed (the files are ASCII, Latin-1 at worst).
    QString text(int n) const;

private:
    std::vector<QByteArrayView> m_fields;
};

// A date of the files' form mm/dd/yyyy as yyyymmdd; 0 when empty or not such a date.
int LicenceDateNumber(QByteArrayView field);
QDate DateOfNumber(int yyyymmdd);

// A call of the form the US gives out: K, N or W with up to one more letter, or AA to AL,
// then a digit and one to three letters. Other countries' calls are not judged.
bool IsUsCallForm(const QString &call);

// One letter changed, added or dropped, or two neighbours swapped: the typing and hearing
// slips of a fast net. Equal calls are not one edit apart.
bool OneEditApart(QByteArrayView a, QByteArrayView b);
