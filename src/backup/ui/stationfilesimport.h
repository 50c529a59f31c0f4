#pragma once

#include <QObject>

class CountyPanel;
class NetSession;
class QMenu;
class QWidget;
struct Services;
struct StartupContext;

// File > Import Station Files...: the station files a net manager sends, as a folder or a
// zip, brought in through the restore with its safety copy; the county list follows.
class StationFilesImport : public QObject
{
    Q_OBJECT
public:
    // Adds the entry to the File menu.
    StationFilesImport(Services &services, StartupContext &context, NetSession &session,
        CountyPanel &counties, QMenu *fileMenu, QWidget *window);

signals:
    void statusLine(const QString &text);
    void done();

private:
    Services &m_services;
    StartupContext &m_context;
    NetSession &m_session;
    CountyPanel &m_counties;
    QWidget *m_window;

    void mnuFileImportStationFiles_Click();
};
