#include "optionsmenu.h"

#include "platform/named.h"
#include "platform/services.h"
#include "qrz/ui/frmqrz.h"
#include "stationdb/settingsstore.h"

#include <QAction>
#include <QMenu>
#include <QSignalBlocker>

namespace {

const QString kOptions = QStringLiteral("Options");
const QString kTrue = QStringLiteral("True");
const QString kFalse = QStringLiteral("False");

QAction *Entry(QMenu *menu, const char *name, const QString &caption)
{
    QAction *entry = Named(menu->addAction(caption), name);
    entry->setCheckable(true);
    return entry;
}

} // namespace

OptionsMenu::OptionsMenu(Services &services, StartupContext &context, QMenu *menu, QWidget *window)
    : QObject(window)
    , m_services(services)
    , m_context(context)
    , m_window(window)
    , m_retainCheckmark(
          Entry(menu, "mnuOptionsRetainCheckmark", QStringLiteral("&Retain Checkmark")))
    , m_disableDing(Entry(menu, "mnuOptionsDisableDing", QStringLiteral("&Disable Ding")))
    , m_changeQrzLogin(Entry(menu, "mnuOptionsChangeQRZLogin", QStringLiteral("Change QRZ Login")))
    , m_disablePreamble(
          Entry(menu, "mnuOptionsDisablePreambleWindow", QStringLiteral("Disable Preamble Window")))
{
    m_retainCheckmark->setChecked(true);
    connect(
        m_changeQrzLogin, &QAction::triggered, this, &OptionsMenu::mnuOptionsChangeQRZLogin_Click);
    // A checkable entry has flipped its mark by the time it reports the click.
    connect(m_retainCheckmark, &QAction::triggered, this,
        &OptionsMenu::mnuOptionsRetainCheckmark_Click);
    connect(m_disableDing, &QAction::triggered, this, &OptionsMenu::mnuOptionsDisableDing_Click);
    connect(m_disablePreamble, &QAction::triggered, this,
        &OptionsMenu::mnuOptionsDisablePreambleWindow_Click);
}

bool OptionsMenu::retainCheckmark() const
{
    return m_retainCheckmark->isChecked();
}

bool OptionsMenu::dingDisabled() const
{
    return m_disableDing->isChecked();
}

bool OptionsMenu::preambleDisabled() const
{
    return m_disablePreamble->isChecked();
}

QString OptionsMenu::applyStored()
{
    SettingsStore &settings = *m_services.settings;
    struct Option
    {
        QAction *action;
        QString key;
        bool missingChecked;
    };
    const Option options[] = {
        { m_disableDing, QStringLiteral("Ding"), false },
        { m_retainCheckmark, QStringLiteral("RetainCheckmark"), true },
        { m_disablePreamble, QStringLiteral("DisablePreambleWindow"), false },
    };
    QList<SettingChange> defaults;
    for (const Option &o : options) {
        const QString value = settings.get(kOptions, o.key);
        if (value.isEmpty()) {
            o.action->setChecked(o.missingChecked);
            defaults << SettingChange::Set(kOptions, o.key, o.missingChecked ? kTrue : kFalse);
        } else {
            o.action->setChecked(value.compare(kTrue, Qt::CaseInsensitive) == 0);
        }
    }
    const Status saved = settings.saveAll(defaults);
    m_changeQrzLogin->setChecked(false);
    emit lineOptionsChanged();
    return saved ? QString() : saved.error();
}

bool OptionsMenu::saveOption(QAction *option, const QString &key)
{
    const Status saved
        = m_services.settings->save(kOptions, key, option->isChecked() ? kTrue : kFalse);
    if (saved)
        return true;
    // The menu shows what the store holds: the option keeps its old state.
    const QSignalBlocker blocker(option);
    option->setChecked(!option->isChecked());
    emit statusLine(QStringLiteral("SETTINGS NOT SAVED: ") + saved.error());
    m_services.sounds->play(SoundName::Notify());
    return false;
}

void OptionsMenu::mnuOptionsRetainCheckmark_Click()
{
    saveOption(m_retainCheckmark, QStringLiteral("RetainCheckmark"));
    emit lineOptionsChanged();
}

void OptionsMenu::mnuOptionsDisableDing_Click()
{
    saveOption(m_disableDing, QStringLiteral("Ding"));
    emit lineOptionsChanged();
}

void OptionsMenu::mnuOptionsChangeQRZLogin_Click()
{
    m_changeQrzLogin->setChecked(false);
    ChangeQrzLogin(m_services, m_context, m_window);
    emit done();
}

void OptionsMenu::mnuOptionsDisablePreambleWindow_Click()
{
    if (saveOption(m_disablePreamble, QStringLiteral("DisablePreambleWindow")))
        emit preambleToggled();
}
