#include "appearance.h"

#include <cmath>

QString ColorNumberText(const QColor &color)
{
    const qint32 value = color.red() | (color.green() << 8) | (color.blue() << 16);
    return QString::number(value);
}

std::optional<QColor> ColorFromNumberText(const QString &text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok);
    // Negative numbers name the platform's system colours, which mean nothing here.
    if (!ok || value < 0 || value > 0xFFFFFF)
        return std::nullopt;
    return QColor(int(value & 0xff), int((value >> 8) & 0xff), int((value >> 16) & 0xff));
}

std::optional<bool> BoolFromSetting(const QString &text)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    return std::nullopt;
}

QString BoolSettingText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<double> SizeFromSetting(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    // A size a font cannot take is as damaged as no number at all.
    if (!ok || !std::isfinite(value) || value < 1 || value > 200)
        return std::nullopt;
    return value;
}

QString SizeSettingText(double points)
{
    return QString::number(points, 'g', 6);
}

int ScreenSizeFromSetting(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    const int whole = ok && std::isfinite(value) && value < 200 ? int(value) : 0;
    return whole > 0 ? whole : 10;
}

StoredFont ReadStoredFont(const SettingsStore &settings, const QString &section)
{
    StoredFont font;
    font.face = settings.get(section, QStringLiteral("Font")).trimmed();
    font.bold = BoolFromSetting(settings.get(section, QStringLiteral("Bold")));
    font.italic = BoolFromSetting(settings.get(section, QStringLiteral("Italic")));
    font.size = SizeFromSetting(settings.get(section, QStringLiteral("Size")));
    return font;
}

QList<SettingChange> FontSettingChanges(const QString &section, const QFont &font)
{
    return { SettingChange::Set(section, QStringLiteral("Font"), font.family()),
        SettingChange::Set(section, QStringLiteral("Bold"), BoolSettingText(font.bold())),
        SettingChange::Set(section, QStringLiteral("Italic"), BoolSettingText(font.italic())),
        SettingChange::Set(section, QStringLiteral("Size"), SizeSettingText(font.pointSizeF())) };
}

namespace Targets {
namespace {
    const QStringList Boxes { QStringLiteral("TxtNew"), QStringLiteral("txtCall"),
        QStringLiteral("txtName"), QStringLiteral("txtCounty"), QStringLiteral("txtStatus"),
        QStringLiteral("txtCS") };
    const QStringList SideLists { QStringLiteral("lstSort"), QStringLiteral("lstEarly"),
        QStringLiteral("lstDS") };
    QStringList operator+(const QStringList &a, const char *name)
    {
        return QStringList(a) << QString::fromLatin1(name);
    }
    const QStringList FormLabels { QStringLiteral("Label1"), QStringLiteral("Label2"),
        QStringLiteral("Label4"), QStringLiteral("Label6"), QStringLiteral("LblNew"),
        QStringLiteral("lblCall"), QStringLiteral("lblName"), QStringLiteral("lblCounty"),
        QStringLiteral("lblStatus1"), QStringLiteral("lblCS") };
    const QStringList MemberLabels { QStringLiteral("LblNew"), QStringLiteral("lblCall"),
        QStringLiteral("lblName"), QStringLiteral("lblCounty"), QStringLiteral("lblStatus1"),
        QStringLiteral("lblCS") };
    const QStringList NetInfo { QStringLiteral("lblNetMgr"), QStringLiteral("lblNetCtl"),
        QStringLiteral("lblChkins"), QStringLiteral("lblTraffic"), QStringLiteral("lblCallSign") };
} // namespace

const QStringList Frames { QStringLiteral("fraCounties"), QStringLiteral("FraStations"),
    QStringLiteral("fraPreamble"), QStringLiteral("FraSearch"), QStringLiteral("fraFormData"),
    QStringLiteral("fraDeletedStations"), QStringLiteral("fraAdd") };

// The CONTROLS font's face is saved from the county list, so it comes back there too; the
// CALLSIGN box takes its face from the NET INFO font, as the Format menu gives it.
const QStringList ScreenFace = Boxes + SideLists + "lstCounties";
const QStringList ScreenBold = QStringList { QStringLiteral("lst1"), QStringLiteral("lstCounties") }
    + SideLists + Boxes + "txtChkin";
const QStringList ScreenItalic = ScreenBold;
const QStringList ScreenSize
    = QStringList { QStringLiteral("lst1"), QStringLiteral("lstCounties") } + SideLists + Boxes;
const QStringList ScreenText
    = QStringList { QStringLiteral("lst1") } + SideLists + Boxes + "txtChkin";
const QStringList ScreenBack = QStringList { QStringLiteral("lst1"), QStringLiteral("lstCounties") }
    + SideLists + QStringList { QStringLiteral("rtxtPreamble") } + Boxes + "txtChkin";

const QStringList FormText = FormLabels + Frames + "lblMode";
const QStringList FormBack = MemberLabels + Frames;
const QStringList FormFace = FormLabels + Frames + "lblChkins" + "lblMode";
const QStringList FormBold = FormFace;
const QStringList FormItalic = FormLabels + Frames + "lblChkins";
// lblStatus1, lblCS and lblMode take the size up to 14 points only.
const QStringList FormSize = QStringList { QStringLiteral("Label1"), QStringLiteral("Label2"),
    QStringLiteral("Label4"), QStringLiteral("Label6"), QStringLiteral("LblNew"),
    QStringLiteral("lblCall"), QStringLiteral("lblName"), QStringLiteral("lblCounty") }
    + Frames;
const QStringList FormSizeCapped { QStringLiteral("lblStatus1"), QStringLiteral("lblCS"),
    QStringLiteral("lblMode") };

const QStringList DataFace = NetInfo + "txtChkin";
const QStringList DataBold = NetInfo;
const QStringList DataItalic { QStringLiteral("lblNetMgr"), QStringLiteral("lblNetCtl"),
    QStringLiteral("lblChkins"), QStringLiteral("lblCallSign") };
const QStringList DataSize { QStringLiteral("lblNetMgr"), QStringLiteral("lblNetCtl"),
    QStringLiteral("lblCallSign") };
const QStringList DataColor = NetInfo;

const QStringList ControlsColor = QStringList { QStringLiteral("lst1"),
    QStringLiteral("lstCounties"), QStringLiteral("lstEarly") }
    + Boxes + "txtChkin";
const QStringList ControlsBack
    = QStringList { QStringLiteral("lst1"), QStringLiteral("rtxtPreamble"),
          QStringLiteral("lstCounties"), QStringLiteral("lstSort"), QStringLiteral("lstEarly") }
    + Boxes + "txtChkin";
const QStringList FormFontFace = FormLabels
    + QStringList { QStringLiteral("fraCounties"), QStringLiteral("FraStations"),
          QStringLiteral("fraPreamble"), QStringLiteral("FraSearch"), QStringLiteral("fraFormData"),
          QStringLiteral("fraAdd") };
const QStringList FormFontSize = [] {
    QStringList names = FormFontFace;
    names.removeAll(QStringLiteral("fraPreamble"));
    return names;
}();
const QStringList FormColor = FormLabels + "lblChkins"
    + QStringList { QStringLiteral("fraCounties"), QStringLiteral("FraStations"),
          QStringLiteral("FraSearch"), QStringLiteral("fraPreamble"), QStringLiteral("fraFormData"),
          QStringLiteral("fraAdd") };
const QStringList FormBackground { QStringLiteral("fraCounties"), QStringLiteral("FraStations"),
    QStringLiteral("fraAdd"), QStringLiteral("FraSearch"), QStringLiteral("fraFormData"),
    QStringLiteral("fraPreamble") };
const QStringList DataFontFace { QStringLiteral("txtChkin"), QStringLiteral("lblNetMgr"),
    QStringLiteral("lblNetCtl") };
const QStringList DataFontRest { QStringLiteral("lblNetMgr"), QStringLiteral("lblNetCtl") };
const QStringList DataFontColor = NetInfo;
} // namespace Targets
