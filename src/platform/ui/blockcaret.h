#pragma once

class QWidget;

// A block caret 5 pixels wide in a text box, so the operator sees at a glance where typing
// goes. Its height is the box's line height, which follows the box's font.
void GiveBlockCaret(QWidget *box);
