#include "doubles.h"

#include <QDialog>
#include <QMenu>

MsgButton ScriptedDialogs::message(QWidget *, const QString &title, const QString &text,
    MsgIcon icon, MsgButtons buttons, MsgButton defaultButton)
{
    messages.append({ title, text, icon, buttons, defaultButton });
    if (!answers.isEmpty())
        return answers.dequeue();
    // Unscripted, the operator presses Enter: the default button.
    if (defaultButton != NoButton)
        return defaultButton;
    if (buttons & Ok || buttons == NoButton)
        return Ok;
    if (buttons & Yes)
        return Yes;
    return Cancel;
}

std::optional<QFont> ScriptedDialogs::chooseFont(QWidget *, const QFont &initial)
{
    fontsOffered << initial;
    return fonts.isEmpty() ? std::nullopt : fonts.dequeue();
}

std::optional<QColor> ScriptedDialogs::chooseColor(QWidget *, const QColor &)
{
    return colors.isEmpty() ? std::nullopt : colors.dequeue();
}

QString ScriptedDialogs::chooseFolder(QWidget *, const QString &, const QString &)
{
    return folders.isEmpty() ? QString() : folders.dequeue();
}

QString ScriptedDialogs::chooseSaveFile(
    QWidget *, const QString &, const QString &, const QString &)
{
    return saveFiles.isEmpty() ? QString() : saveFiles.dequeue();
}

QString ScriptedDialogs::chooseOpenFile(
    QWidget *, const QString &, const QString &, const QString &)
{
    return openFiles.isEmpty() ? QString() : openFiles.dequeue();
}

void ScriptedDialogs::popupMenu(QMenu *menu, const QPoint &at)
{
    if (menus)
        menus(menu, at);
}

int ScriptedDialogs::execModal(QDialog *dialog)
{
    modalWindows << dialog->objectName();
    if (modalScripts.isEmpty())
        return QDialog::Rejected;
    const auto script = modalScripts.dequeue();
    return script(dialog);
}
