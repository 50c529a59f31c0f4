#pragma once

#include "stationdb/callsign.h"

class QKeyEvent;
class QLineEdit;

// Lets only the characters of the box's kind through as they are typed or pasted (Backspace
// always); a call box shows capitals. Enter, Tab and the other editing keys are not
// characters and pass to the box's handlers.
void InstallKeyFilter(QLineEdit *box, FieldKind kind);

// Enter or Space with no modifier: on a list's line, what a click on it does.
bool IsLineActivation(const QKeyEvent &key);
