#pragma once

#include <QGroupBox>

class OfflineAnswers;
class MemberMaintenance;
class NetSession;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QrzClient;
struct Services;

// NON LISTED STATIONS: the calls checked in that are no member. A click starts their ADD in
// the member form; a right-click fills it from QRZ (or opens the station's page without a
// login); CLEAR empties the list; REFRESH QRZ logs in again.
class NonListedFrame : public QGroupBox
{
    Q_OBJECT
public:
    NonListedFrame(
        Services &services, NetSession &session, QrzClient &qrz, QWidget *parent = nullptr);
    // The member form's handlers, which the window makes once every control is there.
    void setMaintenance(MemberMaintenance *maintenance) { m_maintenance = maintenance; }
    // What this PC knows of a call (the licence database), asked when QRZ cannot be.
    void setOfflineSource(OfflineAnswers *offline) { m_offline = offline; }

    QListWidget *list() const { return m_list; }
    QPushButton *clearButton() const { return m_clear; }
    QPushButton *refreshButton() const { return m_refresh; }

    // A call typed into ADD's CALL, the box left: QRZ (with a login) or the licence database
    // fills NAME, COUNTY and CITY where they are still empty.
    void lookUpTypedCall(const QString &call);
    // The buttons keep their place but grow to show their captions whole.
    void arrange();

signals:
    // QRZ is asked: the window takes no input meanwhile.
    void busy(bool asking);
    // Why QRZ could not be asked or did not answer, for the status line.
    void statusLine(const QString &text);
    // The caret goes back to CALLSIGN.
    void done();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Asks QRZ for the call and fills the ADD with the answer; onlyEmpty keeps what the
    // boxes hold. False when QRZ could not tell (said on the status line).
    bool fillFromQrz(const QString &call, bool onlyEmpty);
    // Fills NAME and CITY from the offline source; false, touching nothing, when it knows
    // nothing of the call.
    bool fillFromOffline(const QString &call, bool onlyEmpty);

    Services &m_services;
    NetSession &m_session;
    QrzClient &m_qrz;
    MemberMaintenance *m_maintenance = nullptr;
    OfflineAnswers *m_offline = nullptr;
    QListWidget *m_list;
    QPushButton *m_clear;
    QPushButton *m_refresh;

    void lstEarly_Click(QListWidgetItem *item);
    void lstEarly_MouseDown(Qt::MouseButton button);
    void CmdRefresh_Click();
    void cmdClear_Click();
};
