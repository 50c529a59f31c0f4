#pragma once

#include "appearance/ui/formatmenu.h"
#include "maintenance/ui/maintenancehost.h"
#include "qrz/qrzclient.h"
#include "reports/reporttext.h"
#include "roster/rosterhost.h"
#include "session/netsession.h"
#include "session/sessionjournal.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class CallsignAssist;
class CountyPanel;
class ControlLook;
class DeletedStationsFrame;
class MemberInfoFrame;
class MemberMaintenance;
class NetInfoFrame;
class NonListedFrame;
class PressLabel;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTextEdit;
class QTimer;
struct Services;
struct SettingChange;
struct StartupContext;

// The main window, where a net is run.
class FrmMain : public QMainWindow, public RosterHost, public MaintenanceHost, public FormatHost
{
    Q_OBJECT
public:
    FrmMain(Services &services, StartupContext &context, QWidget *parent = nullptr);
    ~FrmMain() override;

    // Controls, named as the program names them.
    QGroupBox *fraCounties;
    QListWidget *lstCounties;
    QGroupBox *FraStations;
    QListWidget *lst1;
    QGroupBox *fraPreamble;
    QTextEdit *rtxtPreamble;
    MemberInfoFrame *fraAdd;
    NetInfoFrame *fraFormData;
    QPushButton *cmdExit;
    QTimer *IDTimer;
    QTimer *Timer1;

    QMenu *mnuFile;
    QMenu *mnuFilePrint;
    QMenu *mnuEdit;
    QMenu *mnuFormat;
    QMenu *Hyphen2;
    QMenu *mnuReports;
    QMenu *mnuHelp;
    QAction *mnuAbout;
    QAction *mnuFileExit;
    QAction *mnuEditDelete;
    QAction *mnuEditEdit;
    QAction *mnuChgCtl;
    QAction *mnuChgCall;
    QAction *mnuEditDeleteCheckin;
    QAction *mnuEditAddTraffic;
    QAction *mnuEditRemoveTraffic;
    QAction *mnuEditAddMember;
    QAction *mnuOptionsRetainCheckmark;
    QAction *mnuOptionsDisableDing;
    QAction *mnuOptionsChangeQRZLogin;
    QAction *mnuOptionsDisablePreambleWindow;
    QAction *mnuReportsMonthly;
    QAction *mnuReportEditor;
    QAction *mnuHelpInstructions;
    QAction *mnuFileSaveCheckinLog;
    QAction *mnuFileImportStationFiles;
    QAction *mnuReportsSessionLogs;

    // Shorthands into the NET INFO column.
    QLineEdit *txtChkin() const;
    QLabel *lblStatus() const;
    QLabel *lblChkins() const;
    PressLabel *lblTraffic() const;
    QLabel *lblNetCtl() const;
    QLabel *lblNetMgr() const;
    QLabel *Label4() const;
    QPushButton *CmdChange() const;

    NetSession &session() { return m_session; }
    QrzClient &qrz() { return m_qrz; }
    MemberMaintenance &maintenance() { return *m_maintenance; }
    Services &services() { return m_services; }
    StartupContext &context() { return m_context; }
    const QString &MonthName() const { return m_reportPeriod.MonthName; }
    ReportPeriod &reportPeriod() { return m_reportPeriod; }
    bool daylightSaving() const { return m_dst; }

    // Handlers.
    void txtChkin_KeyDown();
    void lst1_MouseDown(Qt::MouseButton button, const QPoint &position);
    void mnuOptionsChangeQRZLogin_Click();
    void lblTraffic_MouseDown(Qt::MouseButton button);
    void mnuEditDeleteCheckin_Click();
    void mnuOptionsRetainCheckmark_Click();
    void mnuOptionsDisableDing_Click();
    void mnuOptionsDisablePreambleWindow_Click();
    void IDTimer_Timer();
    void Timer1_Timer();
    void Change_Caret();
    void mnuReportsMonthly_Click();
    void mnuChgCtl_Click();
    void CmdChange_Click();
    void mnuHelpInstructions_Click();
    void mnuAbout_Click();
    void mnuReportEditor_Click();
    void mnuFilePrintPageSetup_Click();
    void mnuFilePrintFont_Click();
    void mnuFilePrintInstructions_Click();
    void mnuFilePrintPreamble_Click();
    void mnuFilePdfInstructions_Click();
    void mnuFilePdfPreamble_Click();
    // The session journal's handlers are in frmmainjournal.cpp.
    void mnuFileSaveCheckinLog_Click();
    void mnuFileImportStationFiles_Click();
    void mnuReportsSessionLogs_Click();
    SessionJournal &journal() { return m_journal; }
    // A run-time error that escaped the load: shown, then the session may be saved.
    void ErrorHandler(const QString &description);

    // Lays the window out again (the preamble option, a new size).
    void ArrangeMainWindow();
    // The fonts and colours of the controls.
    ControlLook &look();
    // Shows a context menu; tests replace it, as a menu waits for a person.
    std::function<void(QMenu *, const QPoint &)> popupMenu;

    // The session's figures as the counters show them.
    qint32 sessionCheckins() const;
    qint32 sessionTraffic() const;

    // RosterHost
    QString netManagerLabel() const override;
    void setNetControlLabel(const QString &text) override;
    void setNetManagerLabel(const QString &text) override;
    void netControlChosen(const QString &name, const QString &call, bool todaysRegular) override;
    void setIdReminderEnabled(bool enabled) override;
    void focusCheckinBox() override;

    // MaintenanceHost
    Services &hostServices() override { return m_services; }
    const CountyTable &hostCountyTable() override;
    NetSession &hostSession() override { return m_session; }
    QWidget *hostWindow() override { return this; }
    void setStatusLine(const QString &text) override;
    void showCounters() override { updateCounters(); }
    void returnToCheckin() override { Change_Caret(); }
    QListWidgetItem *selectedLine() override;
    int recordOf(QListWidgetItem *line) override;
    QListWidgetItem *lineOfRecord(int record) override;
    void appendLine(const QString &text, int record) override;
    void setRosterMenuEnabled(bool enabled) override;
    void memberListChanged() override;

    // FormatHost (hostWindow, setStatusLine and returnToCheckin serve both hosts)
    void rearrange() override { ArrangeMainWindow(); }
    QColor lineColor() const override;
    void setLineColor(const QColor &color) override;
    QColor windowBackground() const override;
    void setWindowBackground(const QColor &color) override;

    // Shows an outcome of the session core on the window.
    void showOutcome(const SessionOutcome &outcome, QListWidgetItem *item = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    // What the window shows of a county chosen and of a member line chosen.
    void countyShown(const CountyChoice &choice, bool byKey);
    void memberLineChosen(const SessionOutcome &outcome, QListWidgetItem *item);
    void buildControls();
    void buildMenus();
    // The appearance, the first-run mark and the printer font, as the closing sequence
    // stores them.
    bool saveAppearance(bool endsFirstRun);
    void choosePdfFor(const QString &fileName);
    // Prints a reference text of the user data folder on the printer, or into the PDF file
    // when one is given.
    void printReference(const QString &fileName, const QString &pdfFile);
    void Form_Load();
    // Shows the preamble; a notice for the status line when the file is there but refused.
    QString loadPreamble();
    void applyOptions();
    void setCaption();
    // The station of the selected line when it is checked in; empty otherwise.
    QString selectedCheckinCall();
    void updateCounters();
    // The closing sequence's clean-up of what a program update downloaded.
    void cleanUpUpdateFolder();
    // Saves an option as its menu entry now shows it; false, with the entry turned back and
    // the status line telling why, when the store cannot be written.
    bool saveOption(QAction *option, const QString &key);
    // Resumes the session an interrupted run left, when the operator says so, or starts a
    // fresh journal; and makes the ended session's log and net report.
    void startJournal();
    void finishJournal();
    // Label4 and the CHANGE button as a roster choice leaves them.
    void showNetControlChoice(bool todaysRegular);
    // A resumed session's net control, when the operator had chosen one, with its reminders.
    void resumeNetControl(const SessionState &state);
    void showJournalMark(bool failing);

    Services &m_services;
    StartupContext &m_context;
    NetSession m_session;
    ReportPeriod m_reportPeriod;
    bool m_ending = false;
    bool m_dst = false;
    bool m_closeQuietly = false; // the error handler has ended the program
    double m_designHeight = 0;
    std::unique_ptr<ControlLook> m_look;
    FormatMenu *m_format = nullptr;
    class MainCanvas *m_canvas = nullptr;
    MemberMaintenance *m_maintenance = nullptr;
    CountyPanel *m_counties = nullptr;
    NonListedFrame *m_nonListed = nullptr;
    DeletedStationsFrame *m_deleted = nullptr;
    QrzClient m_qrz;
    QStringList m_loadFailures; // settings the load could not write, told once it is done
    // The windows of which one at a time is open.
    CallsignAssist *m_callAssist = nullptr; // the licence database and near-miss help
    QPointer<class FrmReport> m_report;
    QPointer<class FrmNetCtl> m_roster;
    QPointer<class FrmInstr> m_instructions;
    QPointer<class FrmAbout> m_about;
    QPointer<class FrmSessionLogs> m_sessionLogs;
    SessionJournal m_journal { m_services.paths, *m_services.clock };
};
