#include "platform/qtservices.h"
#include "stationdb/countytable.h"

#include <QApplication>
#include <QListWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("VORQ"));
    Services services = MakeProductionServices();
    CountyTable table(services.paths.dataFolder());
    QListWidget list;
    list.setWindowTitle(QStringLiteral("VORQ V1 B12"));
    for (int p = CountyTable::First; p <= CountyTable::Last; ++p) {
        if (table.FileHasMembers(table.displayName(p)))
            list.addItem(table.displayName(p));
    }
    list.show();
    return app.exec();
}
