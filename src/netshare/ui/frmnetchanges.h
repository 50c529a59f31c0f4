#pragma once

#include <QWidget>

class NetShare;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
struct Services;

// Options > Net Changes...: each change of another PC that met a different record here, with
// both versions and who made them; the operator takes theirs or keeps this PC's. Not modal:
// the net goes on while it is open.
class FrmNetChanges : public QWidget
{
    Q_OBJECT
public:
    FrmNetChanges(Services &services, NetShare &share, QWidget *parent = nullptr);

    // Shows the conflicts as they now stand (after a pass, say).
    void showConflicts();

signals:
    // A record of this station file was made theirs.
    void stationFilesChanged(const QStringList &files);
    // The list was shown again, with this many conflicts.
    void conflictsShown(int count);

private:
    void lstNetChanges_Click();
    void cmdTakeTheirs_Click();
    void cmdKeepMine_Click();
    QString chosenId() const;

    Services &m_services;
    NetShare &m_share;

    QListWidget *lstNetChanges;
    QPlainTextEdit *txtTheirs;
    QPlainTextEdit *txtMine;
    QLabel *lblNetChangesStatus;
    QPushButton *cmdTakeTheirs;
    QPushButton *cmdKeepMine;
    QPushButton *cmdClose;
};

// A record as the window shows it: one field a line.
QString RecordText(const QByteArray &bytes);
