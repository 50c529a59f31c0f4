#pragma once

#include <QString>

// What the roster window changes in the main window's NET INFO column.
class RosterHost
{
public:
    virtual ~RosterHost() = default;
    virtual QString netManagerLabel() const = 0;
    virtual void setNetControlLabel(const QString &text) = 0;
    virtual void setNetManagerLabel(const QString &text) = 0;
    // OK chose tonight's net control: today's regular line (NET CONTROL, green button) or
    // anyone else (ALT NET CONTROL, yellow "CHANGED" button).
    virtual void netControlChosen(const QString &name, const QString &call, bool todaysRegular) = 0;
    virtual void setIdReminderEnabled(bool enabled) = 0;
    virtual void focusCheckinBox() = 0;
};
