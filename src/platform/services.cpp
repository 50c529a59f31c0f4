#include "services.h"

void SetCapsLock(Keyboard &keyboard, bool on)
{
    if (keyboard.capsLockOn() != on)
        keyboard.pressCapsLock();
}

void SetNumLock(Keyboard &keyboard, bool on)
{
    if (keyboard.numLockOn() != on)
        keyboard.pressNumLock();
}
