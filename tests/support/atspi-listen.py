# Listens on the accessibility bus as a screen reader does and prints, one per line, each
# announcement an application makes: an object of role notification or alert that is
# shown or renamed ("<event>\t<role>\t<name>"). Prints "listening" once registered.
import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402


def on_event(event):
    try:
        role = event.source.get_role_name()
        name = event.source.get_name()
    except Exception:  # the object went away before it was asked
        return
    if role in ("notification", "alert"):
        print(f"{event.type}\t{role}\t{name}", flush=True)


listener = Atspi.EventListener.new(on_event)
for kind in ("object:property-change:accessible-name", "object:state-changed:showing"):
    listener.register(kind)
print("listening", flush=True)
Atspi.event_main()
