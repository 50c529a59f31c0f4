#pragma once

#include "stationdb/settingsstore.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <functional>

class ControlLook;
class QMenu;
class QWidget;
struct Services;
struct StartupContext;

// What the Format menu needs of the window it dresses: the colours only the window paints,
// its status line, a new arrangement after a font changed, and the caret back home.
class FormatHost
{
public:
    virtual ~FormatHost() = default;
    virtual QWidget *hostWindow() = 0;
    virtual void setStatusLine(const QString &text) = 0;
    virtual void returnToCheckin() = 0;
    virtual void rearrange() = 0;
    virtual QColor lineColor() const = 0;
    virtual void setLineColor(const QColor &color) = 0;
    virtual QColor windowBackground() const = 0;
    virtual void setWindowBackground(const QColor &color) = 0;
};

// The Format menu: its entries and their handlers, the appearance a start restores and the
// appearance the closing sequence stores.
class FormatMenu : public QObject
{
    Q_OBJECT
public:
    // Fills the menu with its entries.
    FormatMenu(FormatHost &host, ControlLook &look, Services &services, StartupContext &context,
        QMenu *menu, QObject *parent = nullptr);

    void applySavedAppearance();
    // What the closing sequence stores: the appearance, the first-run mark, the printer font;
    // the Ding option goes with it.
    QList<SettingChange> appearanceChanges(bool endsFirstRun, bool dingDisabled) const;
    // Stores them; a failure is shown.
    bool saveAppearance(bool endsFirstRun, bool dingDisabled);
    // A first run writes the design faces only: this run keeps the design fonts, the next
    // shows them. Returns the failure, if any.
    QString storeDesignFaces();

private:
    void saveFormatChoice(const QList<SettingChange> &changes);
    void chooseColorFor(const QColor &initial, const std::function<void(const QColor &)> &apply);

    FormatHost &m_host;
    ControlLook &m_look;
    Services &m_services;
    StartupContext &m_context;
    // This run is the first: the flag saved once the main window shows does not change that.
    bool m_firstRun = false;
    bool m_formFaceChosen = false; // through the Format menu, this run
    bool m_dataFaceChosen = false;

    void mnuFormatControlsFont_Click();
    void mnuFormatControlsColor_Click();
    void mnuFormatControlsBackgroundColor_Click();
    void mnuFormatFormFont_Click();
    void mnuFormatFormFontColor_Click();
    void mnuFormatFormBackgroundColor_Click();
    void mnuFormatFormLineColor_Click();
    void mnuFormatFormDataFont_Click();
    void mnuFormatFormDataFontColor_Click();
};
