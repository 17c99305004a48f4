"""Reading and working a program's window through AT-SPI the way a GUI test tool does: objects
found by name (and role), texts, states, values and actions; failures collected and reported
together at the end."""

import sys
import time

import atspi_session as session


class Window:
    def __init__(self, pyatspi, frame):
        self.pyatspi = pyatspi
        self.frame = frame
        self.failures = []
        self.objects = self._walk(frame)

    @classmethod
    def of_program(cls, pyatspi, program, seconds=30):
        def application():
            for app in pyatspi.Registry.getDesktop(0):
                if app is not None and app.name == program and app.childCount > 0:
                    return app
            return None

        app = session.wait_for(application, seconds, 0.2)
        if not app:
            session.fail(f"{program} did not appear on the accessibility bus")
        return cls(pyatspi, app[0])

    def _walk(self, root):
        found = []
        pending = [root]
        while pending:
            node = pending.pop()
            found.append(node)
            pending.extend(child for child in node if child is not None)
        return found

    def refresh(self):
        self.objects = self._walk(self.frame)

    def find(self, name, role=None):
        for node in self.objects:
            if node.name == name and (role is None or node.getRole() == role):
                return node
        session.fail(f"no object named {name!r}" + (f" with role {role}" if role else ""))

    def text(self, name):
        return self.find(name).queryText().getText(0, -1)

    def checked(self, name):
        return self.find(name).getState().contains(self.pyatspi.STATE_CHECKED)

    def sensitive(self, name):
        return self.find(name).getState().contains(self.pyatspi.STATE_SENSITIVE)

    def lit_lamps(self, names):
        return {name for name in names if self.checked(name)}

    def value(self, name):
        return self.find(name).queryValue().currentValue

    def press(self, name):
        """Presses a push button through its action interface."""
        action = self.find(name, self.pyatspi.ROLE_PUSH_BUTTON).queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names:
            session.fail(f"{name!r} has no Press action, only {names}")
        action.doAction(names.index("Press"))

    def focus(self, name, role=None):
        """Gives the keyboard focus to an object, as a screen reader's user does."""
        node = self.find(name, role)
        node.queryComponent().grabFocus()
        if not session.wait_for(lambda: self.has_focus(node), 5):
            self.stop(f"{name} did not take the keyboard focus")

    def has_focus(self, node):
        return node.getState().contains(self.pyatspi.STATE_FOCUSED)

    def focused(self):
        return [node.name for node in self.objects if self.has_focus(node)]

    def type_keys(self, *keysyms):
        """Presses and releases keys (X keysyms) on the keyboard the window listens to."""
        from gi.repository import Atspi
        # The keys go to the window under the pointer.
        box = self.frame.queryComponent().getExtents(self.pyatspi.DESKTOP_COORDS)
        Atspi.generate_mouse_event(box.x + box.width // 2, box.y + 4, "abs")
        for keysym in keysyms:
            Atspi.generate_keyboard_event(keysym, None, Atspi.KeySynthType.SYM)
            time.sleep(0.1)

    def wait_text(self, name, predicate, seconds):
        if not session.wait_for(lambda: predicate(self.text(name)), seconds):
            self.stop(f"{name}: still {self.text(name)!r} after {seconds} s")

    def wait_sensitive(self, name, sensitive, seconds):
        if not session.wait_for(lambda: self.sensitive(name) == sensitive, seconds):
            self.stop(f"{name}: {'still not' if sensitive else 'still'} enabled after {seconds} s")

    def expect_every_object_named(self):
        nameless = [f"{node.getRoleName()} (child {node.getIndexInParent()} of "
                    f"{node.parent.name!r})" for node in self.objects if not node.name]
        self.expect(not nameless, f"objects without a name: {nameless}")

    def expect(self, condition, message):
        if not condition:
            self.failures.append(message)
            print(f"FAILED: {message}", flush=True)
        return condition

    def stop(self, message):
        self.failures.append(message)
        self.finish()

    def finish(self):
        if self.failures:
            print(f"{len(self.failures)} check(s) failed", flush=True)
            sys.exit(1)
        print("passed", flush=True)
        sys.exit(0)
