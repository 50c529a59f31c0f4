#include "textprint.h"

#include "appearance/appearance.h"
#include "platform/services.h"
#include "stationdb/atomicfile.h"
#include "stationdb/settingsstore.h"
#include "stationdb/supporttext.h"

#include <QFileInfo>

Status PrintReferenceText(Printer &printer, const QString &path)
{
    const Result<QByteArray> text = ReadWholeFile(path);
    if (!text)
        return Status::Error(QStringLiteral("CANNOT READ ") + QFileInfo(path).fileName());
    // The same bounds as on screen: one endless line would hold the window while it is laid
    // out for the page.
    if (const QString problem = SupportTextProblem(*text); !problem.isEmpty())
        return Status::Error(QStringLiteral("NOT PRINTED: ") + FileError(path, problem));
    printer.printLine({});
    printer.printLine({});
    QString body = QString::fromLatin1(text.value());
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (body.endsWith(QLatin1Char('\n')))
        body.chop(1);
    for (const QString &line : body.split(QLatin1Char('\n')))
        printer.printText(line);
    return Status::Ok();
}

void ApplyStoredPrinterFont(const SettingsStore &settings, Printer &printer)
{
    const StoredFont stored = ReadStoredFont(settings, QStringLiteral("Print"));
    QFont font = printer.font();
    if (!stored.face.isEmpty())
        font.setFamily(stored.face);
    if (stored.bold)
        font.setBold(*stored.bold);
    if (stored.italic)
        font.setItalic(*stored.italic);
    if (stored.size)
        font.setPointSizeF(*stored.size);
    printer.setFont(font);
}
