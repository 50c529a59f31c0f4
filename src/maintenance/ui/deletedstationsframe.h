#pragma once

#include <QGroupBox>
#include <functional>

class CountyTable;
class NetSession;
class QListWidget;
class QListWidgetItem;
class QMenu;
class SettingsStore;
struct Services;

// DELETED STATIONS: the members a county view retired this session, each of which a
// right-click (Restore Member) puts back into its county.
class DeletedStationsFrame : public QGroupBox
{
    Q_OBJECT
public:
    DeletedStationsFrame(Services &services, NetSession &session, const CountyTable &table,
        QWidget *parent = nullptr);

    QListWidget *list() const { return m_list; }
    // Lines for the stations a county view retired; true when they are the first ones, so
    // the window lays the list out again now that its rows' height is known.
    bool addRetired(const QStringList &lines, const QList<int> &ids);
    // Whole rows only, under the caption.
    void arrange();
    // Takes away the lines of stations restored by other means than this list.
    void dropRestored();

signals:
    // A station went back into its county: the county shown lists it again.
    void restored();
    void statusLine(const QString &text);
    void done();

private:
    void restoreMember(QListWidgetItem *line);

    Services &m_services;
    NetSession &m_session;
    const CountyTable &m_table;
    QListWidget *m_list;

    // Right-click on a deleted station: Restore Member.
    void lstDS_MouseDown(const QPoint &position);
};
