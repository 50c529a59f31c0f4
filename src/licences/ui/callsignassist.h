#pragma once

#include "licences/licencedatabase.h"
#include "licences/membercalls.h"
#include "qrz/qrzclient.h"
#include "session/retiredarchive.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

class Clock;
class CountyTable;
class QLineEdit;
class QListWidget;
class QListWidgetItem;

// The CALLSIGN box's help during a net, all offline: a call found in no station file but
// kept as retired (Ctrl+Enter puts it back and checks it in), what the licence database
// knows of one, the member one edit away (Ctrl+Enter checks it in), and
// "?" with one to three letters and Enter, which lists the members whose call ends in them.
// The window hands it the box and two hooks, and otherwise knows nothing of it.
class CallsignAssist : public QObject, public OfflineAnswers
{
    Q_OBJECT

public:
    // call checked in as if typed; insteadOf: the call found nowhere it corrects, if any.
    using CheckIn = std::function<void(const QString &call, const QString &insteadOf)>;
    using ShowStatus = std::function<void(const QString &text)>;

    CallsignAssist(QLineEdit *box, const CountyTable &table, const QString &licencePath,
        const QString &retiredPath, Clock &clock, CheckIn checkIn, ShowStatus showStatus);

    // What is known of a call the typed check-in found nowhere, for the status line in place
    // of the check-in's own words; empty when nothing is. The call's non-listed line gets
    // it too.
    QString explainNotFound(const QString &call, QListWidgetItem *line);
    // The call's licence as a QRZ answer would give it: the first name and the city with
    // the state; none when the database knows no licence for it.
    std::optional<QrzAnswer> offlineAnswer(const QString &call) override;
    // "LICENCE DATABASE IS 45 DAYS OLD", or empty.
    QString ageNotice();
    // The member a Ctrl+Enter would check in.
    const std::optional<MemberCall> &suggestion() const { return m_suggestion; }
    QListWidget *suffixList() const;

signals:
    // Ctrl+Enter after a call the retired-stations file holds.
    void archivedChosen(const ArchivedStation &archived);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showSuffixList(const QString &letters);
    void closeSuffixList();
    void takeListLine();

    QLineEdit *m_box;
    const CountyTable &m_table;
    LicenceDatabase m_licences;
    Clock &m_clock;
    CheckIn m_checkIn;
    QString m_suggestionFor; // the call found nowhere that the suggestion is for
    ShowStatus m_showStatus;
    std::optional<MemberCall> m_suggestion;
    QString m_retiredPath;
    std::optional<ArchivedStation> m_archived; // of the call found nowhere, when kept
    QPointer<QListWidget> m_list;
};
