#pragma once

#include "mainwindow/ui/frmmain.h"
#include "startup/startupcontext.h"
#include "testroot.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <memory>

// A main window on a temporary root: station files, settings and clock as given.
class MainWindowFixture
{
public:
    explicit MainWindowFixture(TestRoot::Files files = {},
        std::initializer_list<SettingValue> settings = {},
        const QDateTime &now = QDateTime(QDate(2026, 3, 10), QTime(19, 0, 0)))
        : root(files, settings, now)
    {
    }
    // A main window on a program root that exists already.
    MainWindowFixture(const QString &existingRoot, const QDateTime &now)
        : root(existingRoot, now)
    {
    }

    // Builds the window (its load runs); call after preparing the root.
    FrmMain &open()
    {
        FillStartupContext(context, root.services());
        window = std::make_unique<FrmMain>(root.services(), context);
        return *window;
    }

    // The same, shown and active, so key presses reach the focused box as a person's would.
    FrmMain &openActive()
    {
        FrmMain &w = open();
        w.show();
        if (!QTest::qWaitForWindowActive(&w))
            qWarning("the main window did not become active");
        return w;
    }

    // Types a call into the check-in box and presses Enter.
    void type(const QString &call)
    {
        QTest::keyClicks(named<QLineEdit>(*window, "txtChkin"), call);
        QTest::keyClick(named<QLineEdit>(*window, "txtChkin"), Qt::Key_Return);
    }

    void choose(const QString &entry)
    {
        const auto items
            = named<QListWidget>(*window, "lstCounties")->findItems(entry, Qt::MatchExactly);
        QVERIFY2(!items.isEmpty(), qPrintable(entry));
        named<QListWidget>(*window, "lstCounties")->setCurrentItem(items.first());
    }

    QListWidgetItem *memberLine(const QString &call) const
    {
        for (int i = 0; i < named<QListWidget>(*window, "lst1")->count(); ++i) {
            QListWidgetItem *item = named<QListWidget>(*window, "lst1")->item(i);
            const QString text = item->text();
            if (QString(text).remove(u' ').startsWith(call))
                return item;
        }
        return nullptr;
    }

    void click(QListWidgetItem *item)
    {
        named<QListWidget>(*window, "lst1")->setCurrentItem(item);
        emit named<QListWidget>(*window, "lst1")->itemClicked(item);
    }

    QString status() const { return named<QLabel>(*window, "lblStatus")->text(); }
    QString checkins() const { return named<QLabel>(*window, "lblChkins")->text(); }
    QString setting(const QString &section, const QString &key)
    {
        return root.settings().get(section, key);
    }
    QStringList lines(QListWidget *list) const
    {
        QStringList out;
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }
    // The lines of a list of the window, found by its name.
    QStringList lines(const char *listName) const
    {
        return lines(window->findChild<QListWidget *>(QLatin1String(listName)));
    }

    TestRoot root;
    StartupContext context;
    std::unique_ptr<FrmMain> window;
};
