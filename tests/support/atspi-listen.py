# Listens on the accessibility bus as a screen reader does and prints, one per line, what a
# screen reader speaks without the focus moving: an object of role notification or alert
# that is shown or renamed, and a window or dialog that opens ("<event>\t<role>\t<name>").
# Prints "listening" once registered.
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def on_event(event):
    try:
        role = event.source.get_role_name()
        name = event.source.get_name()
    except Exception:  # the object went away before it was asked
        return
    spoken = role in ("notification", "alert")
    opened = role in ("dialog", "frame", "window") and event.type.endswith("showing") and event.detail1
    if spoken or opened:
        print(f"{event.type}\t{role}\t{name}", flush=True)


listener = Atspi.EventListener.new(on_event)
for kind in ("object:property-change:accessible-name", "object:state-changed:showing"):
    listener.register(kind)
print("listening", flush=True)
Atspi.event_main()
