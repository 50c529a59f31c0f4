#pragma once

#include "stationdb/result.h"

#include <QString>

class Printer;
class SettingsStore;

// The reference texts the File menu prints, in the user data folder.
inline QString InstructionsFileName()
{
    return QStringLiteral("VorqInst.txt");
}
inline QString PreambleFileName()
{
    return QStringLiteral("VorqPreamble.txt");
}

// Two empty lines, then the text of the file as it stands, in the printer's font; the
// document is left open for the caller to send or save. Nothing is printed when the file
// cannot be read ("CANNOT READ <file name>").
Status PrintReferenceText(Printer &printer, const QString &path);

// The printer font as the settings hold it is given to the printer; parts that are missing
// or damaged keep the printer's own.
void ApplyStoredPrinterFont(const SettingsStore &settings, Printer &printer);
