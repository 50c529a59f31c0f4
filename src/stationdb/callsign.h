#pragma once

#include <QString>

// The one call-sign validation: US amateur shapes (one or two letters, one digit, one to
// three letters), judged by position and digit tests. The caller upper-cases and trims.
// A blank, a control character or anything outside printable ASCII makes a call invalid:
// such a call could not be found again as it was typed.
bool IsValidCall(const QString &call);

// What a member-form box lets through as it is typed.
enum class FieldKind {
    Call, // letters, blank, digits
    Text, // letters, blank
};

// Returns the character code when it passes the box's filter, 0 when the keystroke is to be
// discarded. Backspace (8) always passes; every other control character is discarded.
int FilterKeyAscii(FieldKind kind, int keyAscii);

// True when every character of the text would pass the box's filter as a keystroke: what a
// paste or a lookup brings is held to the same rule as typing.
bool PassesKeyFilter(FieldKind kind, const QString &text);
// The text with the characters the box's filter would discard left out.
QString FilterText(FieldKind kind, const QString &text);

// The call's prefix (up to and including its digit: two characters when the second is a
// digit, else three) and the suffix that follows it.
QString CallPrefix(const QString &call);
QString CallSuffix(const QString &call);
