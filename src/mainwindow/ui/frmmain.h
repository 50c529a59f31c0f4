#pragma once

#include "appearance/ui/formatmenu.h"
#include "mainwindow/ui/maincanvas.h"
#include "platform/services.h"
#include "qrz/qrzclient.h"
#include "session/netsession.h"
#include "session/sessionjournal.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class CallsignAssist;
struct ArchivedStation;
class CheckinPanel;
class CountyPanel;
class ControlLook;
class DeletedStationsFrame;
class JournalKeeper;
class MemberInfoFrame;
class MemberMaintenance;
class NetControlPanel;
class NetInfoFrame;
class NonListedFrame;
class NetShareMenu;
class OptionsMenu;
class PanelMaintenanceHost;
class PreambleFrame;
class QAction;
class QListWidgetItem;
class QMenu;
class QPushButton;
struct StartupContext;

// The main window, where a net is run: it builds the panels, wires them to each other and
// lays them out, and runs the load and the closing sequence. Each panel's controls and
// handlers are its own (ARCHITECTURE.md names where each lives); tests find the controls
// and menu entries by their object names.
class FrmMain : public QMainWindow, public FormatHost
{
    Q_OBJECT
public:
    FrmMain(Services &services, StartupContext &context, QWidget *parent = nullptr);
    ~FrmMain() override;

    NetSession &session() { return m_session; }
    QrzClient &qrz() { return m_qrz; }
    MemberMaintenance &maintenance() { return *m_maintenance; }
    SessionJournal &journal() { return m_journal; }
    // A run-time error that escaped the load: shown, then the session may be saved.
    void ErrorHandler(const QString &description);

    // Lays the window out again (the preamble option, a new size).
    void ArrangeMainWindow();
    // The fonts and colours of the controls.
    ControlLook &look();

    // FormatHost
    QWidget *hostWindow() override { return this; }
    void setStatusLine(const QString &text) override;
    void returnToCheckin() override;
    void rearrange() override { ArrangeMainWindow(); }
    QColor lineColor() const override { return m_canvas->lineColor; }
    void setLineColor(const QColor &color) override { m_canvas->setLineColor(color); }
    QColor windowBackground() const override { return m_canvas->background(); }
    void setWindowBackground(const QColor &color) override { m_canvas->setBackground(color); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    // A call checked in as if typed; insteadOf, the call found nowhere that it stands for,
    // leaves NON LISTED once the station stands checked in.
    void checkInInstead(const QString &call, const QString &insteadOf);
    // Ctrl+Enter on a call of the retired-stations file: back in its file, then checked in.
    void restoreArchived(const ArchivedStation &archived);
    // What the window shows of a county chosen and of a member line chosen.
    void countyShown(const CountyChoice &choice, bool byKey);
    // A right-click on a member line: the Edit menu, without the roster's entry.
    void memberMenu(const QPoint &position);
    // Another PC's changes were written into these station files: the county shown is read
    // again when it is one of them.
    void followNetChanges(const QStringList &files);
    void buildControls();
    void buildMenus();
    void buildEditMenu(QMenu *edit);
    void Form_Load();

    Services &m_services;
    StartupContext &m_context;
    NetSession m_session;
    bool m_ending = false;
    bool m_closeQuietly = false; // the error handler has ended the program
    bool m_netShown = false; // the load showed tonight's net control and manager
    bool m_firstRunOpen = false; // the first run's flag waits for the window to show
    double m_designHeight = 0;
    std::unique_ptr<ControlLook> m_look;
    MainCanvas *m_canvas = nullptr;
    // The panels, top to bottom and left to right.
    CountyPanel *m_counties = nullptr;
    PreambleFrame *m_preamble = nullptr;
    MemberInfoFrame *m_form = nullptr;
    std::unique_ptr<PanelMaintenanceHost> m_maintenanceHost;
    MemberMaintenance *m_maintenance = nullptr;
    NonListedFrame *m_nonListed = nullptr;
    NetInfoFrame *m_netInfo = nullptr;
    CheckinPanel *m_checkin = nullptr;
    NetControlPanel *m_netControl = nullptr;
    DeletedStationsFrame *m_deleted = nullptr;
    QPushButton *m_exit = nullptr;
    // The menus' parts the window switches.
    QMenu *m_editMenu = nullptr;
    QAction *m_editEntry = nullptr;
    QAction *m_deleteEntry = nullptr;
    QAction *m_rosterEntry = nullptr;
    FormatMenu *m_format = nullptr;
    OptionsMenu *m_options = nullptr;
    NetShareMenu *m_netShare = nullptr;
    JournalKeeper *m_journalKeeper = nullptr;
    QrzClient m_qrz;
    QStringList m_loadFailures; // settings the load could not write, told once it is done
    CallsignAssist *m_callAssist = nullptr; // the licence database and near-miss help
    SessionJournal m_journal { m_services.paths, *m_services.clock };
};
