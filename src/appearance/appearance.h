#pragma once

#include "stationdb/settingsstore.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>
#include <optional>

// How the fonts and colours of the main window are kept in the settings store.

// A colour as the platform's colour number: the signed decimal of 0x00BBGGRR, red in the low
// byte, so values written by older installations read the same.
QString ColorNumberText(const QColor &color);
// Empty when the text is not such a number (a damaged value keeps the control's own colour).
std::optional<QColor> ColorFromNumberText(const QString &text);

std::optional<bool> BoolFromSetting(const QString &text);
QString BoolSettingText(bool value);
// A size in points; empty when the text is not a number.
std::optional<double> SizeFromSetting(const QString &text);
QString SizeSettingText(double points);

// A font as one section of the store holds it; what is missing or damaged is empty and the
// controls keep theirs.
struct StoredFont
{
    QString face; // empty: keep the face
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<double> size;
};
StoredFont ReadStoredFont(const SettingsStore &settings, const QString &section);
// The four keys of a font (Font, Bold, Italic, Size) in the section.
QList<SettingChange> FontSettingChanges(const QString &section, const QFont &font);

// The size the lists and boxes take from `Screen`/`Size`: its whole points, and 10 when that
// is 0 or the text is no number.
int ScreenSizeFromSetting(const QString &text);

// Faces a first run writes for the labels and the net-information column: the next start
// shows them. Both come with every Debian and Ubuntu desktop.
inline QString DefaultFormFace()
{
    return QStringLiteral("DejaVu Sans");
}
inline QString DefaultFormDataFace()
{
    return QStringLiteral("DejaVu Serif Condensed");
}

// The controls each stored value and each Format entry reach, by object name.
namespace Targets {
// Applied at start-up.
extern const QStringList ScreenFace, ScreenBold, ScreenItalic, ScreenSize, ScreenText, ScreenBack;
extern const QStringList FormText, FormBack, FormFace, FormBold, FormItalic, FormSize,
    FormSizeCapped;
extern const QStringList DataFace, DataBold, DataItalic, DataSize, DataColor;
// The Format menu's entries.
extern const QStringList ControlsColor, ControlsBack;
extern const QStringList FormFontFace, FormFontSize, FormColor, FormBackground;
extern const QStringList DataFontFace, DataFontRest, DataFontColor;
// The seven frames, which draw their own background.
extern const QStringList Frames;
} // namespace Targets
