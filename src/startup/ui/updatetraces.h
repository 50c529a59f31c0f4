#pragma once

#include <QString>
#include <functional>

class QWidget;
struct Services;
struct StartupContext;

// What the main window does about the updates the start found: at load it waits (bounded)
// for the database updater started this run and names the station database's date in its
// caption; at close it removes what a program update downloaded.
void ShowDatabaseCaption(QWidget *window, Services &services, const StartupContext &context,
    const std::function<void(const QString &)> &statusLine);
void CleanUpUpdateFolder(Services &services);
