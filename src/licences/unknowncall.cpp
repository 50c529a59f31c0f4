#include "unknowncall.h"

#include "licencefields.h"

QString LicenceDetail(const Licence &licence, QDate today)
{
    QString place = licence.city;
    if (!licence.state.isEmpty())
        place += (place.isEmpty() ? QString() : QStringLiteral(" ")) + licence.state;
    QStringList parts;
    if (!licence.displayName().isEmpty())
        parts << licence.displayName();
    if (!place.isEmpty())
        parts << place.toUpper();
    QStringList remarks;
    if (!licence.className().isEmpty())
        remarks << licence.className();
    if (!licence.lapse(today).isEmpty())
        remarks << licence.lapse(today);
    QString text = parts.join(QStringLiteral(", "));
    if (!remarks.isEmpty())
        text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + u'('
            + remarks.join(QStringLiteral(", ")) + u')';
    return text;
}

UnknownCallAnswer AnswerUnknownCall(
    const QString &call, LicenceDatabase *licences, const CountyTable &table, QDate today)
{
    UnknownCallAnswer answer;
    const QString typed = call.trimmed().toUpper();
    bool judged = false;
    if (licences && licences->exists() && IsUsCallForm(typed)) {
        const Result<std::optional<Licence>> found = licences->find(typed);
        if (!found) {
            answer.problems << found.error();
        } else if (found->has_value()) {
            answer.licence = **found;
            answer.detail = LicenceDetail(**found, today);
            return answer;
        } else {
            judged = true;
        }
    }
    MemberCallSearch near = FindNearMisses(table, typed);
    answer.problems << near.unreadable;
    if (!near.found.empty()) {
        const MemberCall &m = near.found.front();
        answer.suggestion = m;
        answer.detail
            = QStringLiteral("DID YOU MEAN %1 (%2)?")
                  .arg(m.call, QStringList { m.name, m.county }.join(QStringLiteral(", ")));
    } else if (judged) {
        answer.detail = QStringLiteral("NO US LICENCE");
    }
    return answer;
}

QString NotFoundText(const QString &call, const UnknownCallAnswer &answer)
{
    QString text = call + QStringLiteral(" NOT FOUND");
    if (!answer.detail.isEmpty())
        text += QStringLiteral(" - ") + answer.detail;
    return text;
}
