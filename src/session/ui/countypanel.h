#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>

class NetSession;
class QGroupBox;
class QListWidget;
class QListWidgetItem;
class QTimer;
class QWidget;
class CountyTable;
struct CountyChoice;
struct Services;
struct SessionOutcome;

// The COUNTIES and NET MEMBERS frames: the county list, the lines of the county (or the
// check-in list) chosen, and what a click or a key on them asks of the session. What the
// rest of the window does about it goes out through the signals.
class CountyPanel : public QObject
{
    Q_OBJECT
public:
    CountyPanel(Services &services, NetSession &session, QWidget *canvas);

    // The two frames, which the window places, and the lists in its tab order.
    QGroupBox *countiesFrame() const { return fraCounties; }
    QGroupBox *membersFrame() const { return FraStations; }
    QListWidget *countyList() const { return lstCounties; }
    QListWidget *memberList() const { return lst1; }

    // The options of the window's menu the choices follow.
    struct LineOptions
    {
        bool retainCheckmark = true; // a county's lines show who is checked in
        bool ding = true; // a check-in by click rings dingFile
        QString dingFile;
    };
    void setLineOptions(const LineOptions &options) { m_options = options; }

    // EARLY CHECKINS, the counties and states whose files hold members, LATE CHECKINS;
    // returns the files that could not be read.
    struct Filled
    {
        QStringList unreadable; // why a file could not be read
        int counties = 0; // listed between EARLY and LATE CHECKINS
    };
    Filled fill(const CountyTable &table);
    // Places the lists inside their frames (the window has placed the frames).
    void arrange(bool noPreamble);

    // A right-click on the selected line opens the Edit menu: a member line of a county.
    bool offersMemberMenu() const;

    // Shows the county (or EARLY / LATE CHECKINS) chosen again, read anew from its file: a
    // station put back in it is listed.
    void showCountyAgain();
    // Shows the entry of that text (the early list when there is none), as a click would.
    void showEntry(const QString &entry);
    // EARLY CHECKINS, the list a net starts in.
    void showFirstEntry();
    // Whether a line reached by keys waits to be shown.
    bool countyPending() const;
    static constexpr int SettleMs = 500;

    // The selected member line, and the record a line stands for (0 for a line that is no
    // member line of a county view).
    QListWidgetItem *selectedLine() const;
    static int recordOf(QListWidgetItem *line);
    QListWidgetItem *lineOfRecord(int record) const;
    // A line checked in: a member line of the county shown (record), or a line of the
    // check-in list; call is its station.
    void appendLine(const QString &text, int record, const QString &call);
    // Lays the member list out and repaints it after its lines changed.
    void showMemberList();

signals:
    void statusLine(const QString &text);
    // The county shown is about to change; the member list is empty.
    void countyLeaving();
    // A choice is shown; byKey when it came from the keyboard (the caret stays).
    void countyShown(const CountyChoice &choice, bool byKey);
    // A member line was clicked or chosen with a key, and the session answered; the item
    // may be gone once the outcome is shown.
    void memberLineChosen(const SessionOutcome &outcome, QListWidgetItem *item);
    void done();
    // A right-click on the member list, at that point of the screen.
    void memberMenuRequested(const QPoint &at);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void memberLineClicked(QListWidgetItem *item);
    void chooseMemberLine(QListWidgetItem *item);
    // Shows the county (or EARLY / LATE CHECKINS) that is the list's current line: reads its
    // file and retires its members due. The keyboard reaches here only once the operator
    // settles on a line (Enter, Space, leaving the list, or no key for SettleMs); a click
    // or a choice of the program's at once.
    void showCurrentCounty(bool byKey);
    void settleCounty();
    void speakAsWords(QListWidgetItem *line);

    QGroupBox *const fraCounties;
    QListWidget *const lstCounties;
    QGroupBox *const FraStations;
    QListWidget *const lst1;
    Services &m_services;
    NetSession &m_session;
    LineOptions m_options;
    bool m_choosingByKey = false; // the county list handles a key press
    // Arrowing or typing through the list passes counties the operator never meant: each
    // would be read and its due members retired. The line reached waits here.
    QTimer *const m_settle;
    QElapsedTimer m_lastLetter; // the last letter typed into the county list
};
