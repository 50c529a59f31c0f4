#include "formatmenu.h"

#include "appearance/appearance.h"
#include "appearance/ui/controllook.h"
#include "platform/services.h"
#include "platform/ui/menuentry.h"
#include "startup/startupcontext.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <cmath>

// The main window's fonts and colours: the Format menu, the saved appearance.

namespace {

const QString kScreen = QStringLiteral("Screen");
const QString kForm = QStringLiteral("Form");
const QString kFormData = QStringLiteral("FormData");

// The member list lines up its columns, so it always shows a face of fixed width.
QString MemberListFace()
{
    if (QFontDatabase::hasFamily(QStringLiteral("Consolas")))
        return QStringLiteral("Consolas");
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

double WholePoints(double points)
{
    return std::max(1.0, std::floor(points));
}

} // namespace

FormatMenu::FormatMenu(FormatHost &host, ControlLook &look, Services &services,
    StartupContext &context, QMenu *menu, QObject *parent)
    : QObject(parent)
    , m_host(host)
    , m_look(look)
    , m_services(services)
    , m_context(context)
    , m_firstRun(
          services.settings->get(QStringLiteral("First"), QStringLiteral("Firstime")).isEmpty())
{
    QMenu *controls = Named(menu->addMenu(QStringLiteral("CONTROLS")), "mnuFormatControls");
    AddEntry(controls, "mnuFormatControlsFont", QStringLiteral("Fo&nt"), this,
        &FormatMenu::mnuFormatControlsFont_Click);
    AddEntry(controls, "mnuFormatControlsColor", QStringLiteral("Font Co&lor"), this,
        &FormatMenu::mnuFormatControlsColor_Click);
    AddEntry(controls, "mnuFormatControlsBackgroundColor", QStringLiteral("Backg&round Color"),
        this, &FormatMenu::mnuFormatControlsBackgroundColor_Click);
    QMenu *form = Named(menu->addMenu(QStringLiteral("FORM")), "mnuFormatForm");
    AddEntry(form, "mnuFormatFormFont", QStringLiteral("Font"), this,
        &FormatMenu::mnuFormatFormFont_Click);
    AddEntry(form, "mnuFormatFormFontColor", QStringLiteral("Font Color"), this,
        &FormatMenu::mnuFormatFormFontColor_Click);
    AddEntry(form, "mnuFormatFormBackgroundColor", QStringLiteral("Background Color"), this,
        &FormatMenu::mnuFormatFormBackgroundColor_Click);
    AddEntry(form, "mnuFormatFormLineColor", QStringLiteral("Line Color"), this,
        &FormatMenu::mnuFormatFormLineColor_Click);
    QMenu *formData = Named(menu->addMenu(QStringLiteral("FormData")), "mnuFormatFormData");
    AddEntry(formData, "mnuFormatFormDataFont", QStringLiteral("Font"), this,
        &FormatMenu::mnuFormatFormDataFont_Click);
    AddEntry(formData, "mnuFormatFormDataFontColor", QStringLiteral("Font Color"), this,
        &FormatMenu::mnuFormatFormDataFontColor_Click);
}

QString FormatMenu::storeDesignFaces()
{
    const Status faces = m_services.settings->saveAll(
        { SettingChange::Set(kFormData, QStringLiteral("Font"), DefaultFormDataFace()),
            SettingChange::Set(kForm, QStringLiteral("Font"), DefaultFormFace()) });
    return faces ? QString() : faces.error();
}

void FormatMenu::applySavedAppearance()
{
    const SettingsStore &settings = *m_services.settings;
    ControlLook &look = m_look;
    auto color = [&](const QString &section, const char *key) {
        return ColorFromNumberText(settings.get(section, QString::fromLatin1(key)));
    };

    const StoredFont screen = ReadStoredFont(settings, kScreen);
    if (!screen.face.isEmpty())
        look.setFace(Targets::ScreenFace, screen.face);
    look.setFace({ QStringLiteral("lst1") }, MemberListFace());
    if (screen.bold)
        look.setBold(Targets::ScreenBold, *screen.bold);
    if (screen.italic)
        look.setItalic(Targets::ScreenItalic, *screen.italic);
    look.setDesignSize(
        Targets::ScreenSize, ScreenSizeFromSetting(settings.get(kScreen, QStringLiteral("Size"))));
    if (const auto text = color(kScreen, "FGColor"))
        look.setTextColor(Targets::ScreenText, *text);
    if (const auto back = color(kScreen, "BGColor"))
        look.setBackground(Targets::ScreenBack, *back);

    // No line colour stored draws black lines.
    m_host.setLineColor(color(kForm, "LineColor").value_or(QColor(Qt::black)));
    const StoredFont form = ReadStoredFont(settings, kForm);
    if (!form.face.isEmpty())
        look.setFace(Targets::FormFace, form.face);
    if (form.bold)
        look.setBold(Targets::FormBold, *form.bold);
    if (form.italic)
        look.setItalic(Targets::FormItalic, *form.italic);
    if (form.size) {
        const double size = *form.size;
        look.setDesignSize(Targets::FormSize, size);
        look.setDesignSize(Targets::FormSizeCapped, std::min(size, 14.0));
        // The frame caption of the non-listed stations has less room on a narrow screen.
        if (m_context.ScreenWidth < 1441 && size >= 18)
            look.setDesignSize({ QStringLiteral("FraSearch") }, 16);
    }
    if (const auto text = color(kForm, "FGColor"))
        look.setTextColor(Targets::FormText, *text);
    // The closing sequence stores the window's colour even when none was chosen; painting
    // that same colour on the labels would set them off from their frames' own shade.
    if (const auto back = color(kForm, "BGColor"); back && *back != m_host.windowBackground()) {
        look.setBackground(Targets::FormBack, *back);
        m_host.setWindowBackground(*back);
    }

    const StoredFont data = ReadStoredFont(settings, kFormData);
    if (!data.face.isEmpty())
        look.setFace(Targets::DataFace, data.face);
    if (data.bold)
        look.setBold(Targets::DataBold, *data.bold);
    if (data.italic)
        look.setItalic(Targets::DataItalic, *data.italic);
    if (data.size)
        look.setDesignSize(Targets::DataSize, std::floor(*data.size));
    if (const auto text = color(kFormData, "FontColor"))
        look.setTextColor(Targets::DataColor, *text);
}

QList<SettingChange> FormatMenu::appearanceChanges(bool endsFirstRun, bool dingDisabled) const
{
    const ControlLook &look = m_look;
    auto set = [](const QString &section, const char *key, const QString &value) {
        return SettingChange::Set(section, QString::fromLatin1(key), value);
    };
    const QFont list = look.font(QStringLiteral("lst1"));
    const QFont label = look.font(QStringLiteral("Label1"));
    const QFont data = look.font(QStringLiteral("lblNetMgr"));
    QList<SettingChange> changes {
        set(kScreen, "Font", look.font(QStringLiteral("lstCounties")).family()),
        set(kScreen, "Bold", BoolSettingText(list.bold())),
        set(kScreen, "Italic", BoolSettingText(list.italic())),
        set(kScreen, "Size", SizeSettingText(list.pointSizeF())),
        set(kScreen, "FGCOLOR", ColorNumberText(look.textColor(QStringLiteral("lst1")))),
        set(kScreen, "BGCOLOR", ColorNumberText(look.background(QStringLiteral("lst1")))),
        set(kForm, "FGCOLOR", ColorNumberText(look.textColor(QStringLiteral("Label1")))),
        set(kForm, "BGCOLOR", ColorNumberText(m_host.windowBackground())),
    };
    changes << FontSettingChanges(kForm, label) << FontSettingChanges(kFormData, data);
    if (m_firstRun) {
        // The first run shows the design fonts; the faces it stored for the next start stay,
        // unless the operator chose others.
        changes.removeIf([this](const SettingChange &c) {
            return c.key == QLatin1String("Font")
                && ((c.section == kForm && !m_formFaceChosen)
                    || (c.section == kFormData && !m_dataFaceChosen));
        });
    }
    changes << set(
        kFormData, "FontColor", ColorNumberText(look.textColor(QStringLiteral("lblNetMgr"))))
            << set(kForm, "LineColor", ColorNumberText(m_host.lineColor()))
            << set(QStringLiteral("Settings"), "Ding", BoolSettingText(dingDisabled));
    if (endsFirstRun && m_firstRun)
        changes << set(QStringLiteral("First"), "Firstime", QStringLiteral("FALSE"));
    if (m_services.printer->count() > 0)
        changes << FontSettingChanges(QStringLiteral("Print"), m_services.printer->font());
    return changes;
}

bool FormatMenu::saveAppearance(bool endsFirstRun, bool dingDisabled)
{
    const Status saved
        = m_services.settings->saveAll(appearanceChanges(endsFirstRun, dingDisabled));
    if (!saved)
        m_services.dialogs->message(m_host.hostWindow(), QStringLiteral("VORQ"),
            QStringLiteral("SETTINGS NOT SAVED: ") + saved.error(), MsgIcon::Warning, Ok);
    return bool(saved);
}

void FormatMenu::saveFormatChoice(const QList<SettingChange> &changes)
{
    if (const Status saved = m_services.settings->saveAll(changes); !saved)
        m_host.setStatusLine(QStringLiteral("SETTINGS NOT SAVED: ") + saved.error());
}

void FormatMenu::mnuFormatControlsFont_Click()
{
    ControlLook &look = m_look;
    QFont initial = look.font(QStringLiteral("lst1"));
    initial.setFamily(look.font(QStringLiteral("lstCounties")).family());
    const std::optional<QFont> chosen
        = m_services.dialogs->chooseFont(m_host.hostWindow(), initial);
    const QStringList lst1 { QStringLiteral("lst1") };
    const QStringList counties { QStringLiteral("lstCounties") };
    look.setFace(lst1, MemberListFace());
    if (chosen) {
        const QStringList early { QStringLiteral("lstEarly") };
        look.setFace(counties + early, chosen->family());
        look.setBold(
            lst1 + counties + early + QStringList { QStringLiteral("txtChkin") }, chosen->bold());
        look.setItalic(
            lst1 + counties + early + QStringList { QStringLiteral("txtChkin") }, chosen->italic());
        look.setSize(lst1 + counties, WholePoints(chosen->pointSizeF()));
        look.setSize(early, chosen->pointSizeF());
    } else {
        // Cancelled: only the sizes are put to whole points, as a choice would.
        look.setDesignSize(lst1, WholePoints(look.font(QStringLiteral("lst1")).pointSizeF()));
        look.setDesignSize(
            counties, WholePoints(look.font(QStringLiteral("lstCounties")).pointSizeF()));
    }
    saveFormatChoice({ SettingChange::Set(kScreen, QStringLiteral("Size"),
        SizeSettingText(look.font(QStringLiteral("lst1")).pointSizeF())) });
    m_host.rearrange();
    m_host.returnToCheckin();
}

void FormatMenu::chooseColorFor(
    const QColor &initial, const std::function<void(const QColor &)> &apply)
{
    // A cancelled picker changes nothing.
    if (const std::optional<QColor> chosen
        = m_services.dialogs->chooseColor(m_host.hostWindow(), initial))
        apply(*chosen);
    m_host.returnToCheckin();
}

void FormatMenu::mnuFormatControlsColor_Click()
{
    chooseColorFor(m_look.textColor(QStringLiteral("lst1")),
        [this](const QColor &c) { m_look.setTextColor(Targets::ControlsColor, c); });
}

void FormatMenu::mnuFormatControlsBackgroundColor_Click()
{
    chooseColorFor(m_look.background(QStringLiteral("lst1")),
        [this](const QColor &c) { m_look.setBackground(Targets::ControlsBack, c); });
}

void FormatMenu::mnuFormatFormFont_Click()
{
    ControlLook &look = m_look;
    const std::optional<QFont> chosen
        = m_services.dialogs->chooseFont(m_host.hostWindow(), look.font(QStringLiteral("Label1")));
    if (!chosen)
        return;
    look.setFace(Targets::FormFontFace, chosen->family());
    m_formFaceChosen = true;
    look.setBold(Targets::FormFontFace, chosen->bold());
    look.setItalic(Targets::FormFontFace, chosen->italic());
    look.setSize(Targets::FormFontSize, WholePoints(chosen->pointSizeF()));
    saveFormatChoice(FontSettingChanges(kForm, look.font(QStringLiteral("Label1"))));
    m_host.rearrange();
    m_host.returnToCheckin();
}

void FormatMenu::mnuFormatFormFontColor_Click()
{
    chooseColorFor(m_look.textColor(QStringLiteral("Label1")),
        [this](const QColor &c) { m_look.setTextColor(Targets::FormColor, c); });
}

void FormatMenu::mnuFormatFormBackgroundColor_Click()
{
    chooseColorFor(m_host.windowBackground(), [this](const QColor &c) {
        m_host.setWindowBackground(c);
        m_look.setBackground(Targets::FormBackground, c);
    });
}

void FormatMenu::mnuFormatFormLineColor_Click()
{
    chooseColorFor(m_host.lineColor(), [this](const QColor &c) { m_host.setLineColor(c); });
}

void FormatMenu::mnuFormatFormDataFont_Click()
{
    ControlLook &look = m_look;
    const std::optional<QFont> chosen = m_services.dialogs->chooseFont(
        m_host.hostWindow(), look.font(QStringLiteral("lblNetMgr")));
    if (chosen) {
        look.setFace(Targets::DataFontFace, chosen->family());
        m_dataFaceChosen = true;
        look.setBold(Targets::DataFontRest, chosen->bold());
        look.setItalic(Targets::DataFontRest, chosen->italic());
        look.setSize(Targets::DataFontRest, WholePoints(chosen->pointSizeF()));
    }
    m_host.rearrange();
    m_host.returnToCheckin();
}

void FormatMenu::mnuFormatFormDataFontColor_Click()
{
    chooseColorFor(m_look.textColor(QStringLiteral("lblChkins")),
        [this](const QColor &c) { m_look.setTextColor(Targets::DataFontColor, c); });
}
