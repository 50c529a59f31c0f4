// The child of tst_interruptedexit: opens the main window on a program root, checks in
// K4OD, then exits with Yes to the session question, and waits to be killed.
//   exitrunner <root>

#include "mainwindowfixture.h"

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <thread>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc != 2)
        return 2;
    MainWindowFixture f(
        QString::fromLocal8Bit(argv[1]), QDateTime(QDate(2026, 3, 10), QTime(19, 0)));
    FrmMain &w = f.open();
    f.type(QStringLiteral("K4OD"));
    if (w.session().checkinCount() != 1)
        return 1;
    f.root.dialogs().answers.enqueue(Yes); // the backup question keeps its default, No
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    w.close();
    std::fputs("closed\n", stdout);
    std::fflush(stdout);
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
