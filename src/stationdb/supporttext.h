#pragma once

#include "result.h"

#include <QByteArray>
#include <QString>

// The texts shown in the program's panes (preamble, instructions): a text laid out in a
// text box costs time with its size and, much more, with the length of its longest line, so
// a damaged or hostile file could freeze the window for minutes. Larger ones are refused.
inline constexpr qsizetype SupportTextMaxBytes = 1024 * 1024;
inline constexpr int SupportTextMaxLine = 10000;

// Why a support text may not be shown ("larger than 1 MB", "a line longer than 10,000
// characters"), or an empty text when it may.
QString SupportTextProblem(const QByteArray &bytes);

// Reads a support text, never more than the limit from the disk; a refused one is an
// error "<path>: <why>".
Result<QByteArray> ReadSupportText(const QString &path);
