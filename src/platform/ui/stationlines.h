#pragma once

#include <QListWidget>
#include <QString>

// Lines of a list that each stand for a station: the call is kept with the line, so what the
// program does with a line never depends on how the line reads.
inline constexpr int StationCallRole = Qt::UserRole + 2;

inline QListWidgetItem *AddStationLine(QListWidget *list, const QString &text, const QString &call)
{
    auto *line = new QListWidgetItem(text, list);
    line->setData(StationCallRole, call);
    return line;
}

inline QString StationCallOf(const QListWidgetItem *line)
{
    return line ? line->data(StationCallRole).toString() : QString();
}
