"""Walks and operates each program through AT-SPI, as a screen reader would.

Run by atspi.sh inside a private D-Bus session on its own display:
    atspi_walk.py path/to/Quorvex path/to/Zelmora path/to/Tavrinth
For every program it checks that each focusable control has a name unique in its window, that no unnamed
picture or pane is left showing, what the canvas description says before and after a plot and after an
arrow key (announced once), a few steps of exploring a curve with the keyboard as announced, and that
pressing "退出" through the action interface ends the program.
Quorvex also raises a message box, which must reach the tree with its text, and opens its window menu with
Shift+F10, whose item must be found with its key and pressed, and whose 打印… pressed must be answered
before its dialog opens, the focus back on the canvas after it; a text box's own menu must be in the tree
and pressable; the drop-down lists of its save dialog and
of the print dialog must be read by their names with their choices as text, and choosing a drive must
leave the focus in the drive list, on the bus too. Zelmora and Tavrinth must show the rows of their
properties table after a trace, with the answer read in its sentence.
"""

import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

TIMEOUT = 20.0
FIRST_VIEW = "x 从 负 10 到 10, y 从 负 10 到 10, 单位长度 1"
MOVED_VIEW = "x 从 负 11 到 9, y 从 负 10 到 10, 单位长度 1"
# Quorvex's first curve, y = x^2, as the canvas says it.
SQUARE = "y 等于 x 的 2 次方"
# Roles of objects that say nothing unless they are named: left unnamed they must not be showing.
SILENT_ROLES = {pyatspi.ROLE_FILLER, pyatspi.ROLE_IMAGE, pyatspi.ROLE_PANEL, pyatspi.ROLE_UNKNOWN}

# Said last in Zelmora's and Tavrinth's description: where the hidden inverse panel is found.
PANEL_HINT = ", 反函数图象面板在窗口菜单里"

failures = []
# Description changes the programs announced, as a screen reader receives them.
announced = []
# What a screen reader speaks: each notification that appears, read by the name it carries at that moment.
spoken = []


def on_description_change(event):
    announced.append(event.source.description)


def on_showing(event):
    if event.detail1 and event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
        spoken.append(event.source.name)


# Objects that told the bus they took the focus: (role, name, the name of their parent).
focused = []


def on_focus(event):
    if event.detail1 == 1:
        try:
            parent = event.source.parent
            focused.append((event.source.getRole(), event.source.name, parent.name if parent else ""))
        except Exception:  # gone already
            pass


def pump_events():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message, flush=True)
    return condition


def wait_for(what, test):
    """Polls test() until it returns something true, or fails the run after TIMEOUT seconds."""
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        pump_events()
        try:
            value = test()
        except Exception:  # an object that went away while we looked: look again
            value = None
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def focusable(obj):
    return obj.getState().contains(pyatspi.STATE_FOCUSABLE)


def descendants(obj, depth=0):
    if obj is None or depth > 12:
        return
    yield obj
    for child in obj:
        yield from descendants(child, depth + 1)


class Program:
    def __init__(self, path):
        self.name = os.path.basename(path)
        env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
        self.process = subprocess.Popen([path], env=env)
        self.app = wait_for(self.name + " on the accessibility bus", self._find_app)
        self.window = wait_for(self.name + "'s window", lambda: self.windows().get(self.name))

    def _find_app(self):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.get_process_id() == self.process.pid:
                return app
        return None

    def windows(self):
        return {w.name: w for w in self.app if w is not None}

    def find(self, role, name, root=None):
        for obj in descendants(root or self.window):
            if obj.getRole() == role and obj.name == name:
                return obj
        return None

    def control(self, role, name):
        return wait_for("%r in %s" % (name, self.name), lambda: self.find(role, name))

    def canvas(self):
        return self.control(pyatspi.ROLE_CANVAS, "坐标平面")

    def description_becomes(self, test, what):
        return wait_for("the canvas description to say " + what,
                        lambda: test(self.canvas().description) and self.canvas().description)

    def press(self, obj):
        action = obj.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        for wanted in ("Press", "Toggle"):
            if wanted in names:
                action.doAction(names.index(wanted))
                return
        raise AssertionError("%r has no press action (%s)" % (obj.name, names))

    def type_into(self, name, text):
        box = self.control(pyatspi.ROLE_TEXT, name)
        box.queryEditableText().setTextContents(text)
        wait_for("%r to hold %r" % (name, text), lambda: box.queryText().getText(0, -1) == text)

    def focus_window(self):
        # No window manager activates the window here: give it the X input focus, as clicking on it would.
        window = subprocess.run(["xdotool", "search", "--onlyvisible", "--pid", str(self.process.pid)],
                                check=True, capture_output=True, text=True).stdout.split()[0]
        subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)

    def key_on_canvas(self, *keys):
        """The window takes the X input focus, the canvas the focus through AT-SPI, and then the keys."""
        self.focus_window()
        self.canvas().queryComponent().grabFocus()
        wait_for("the canvas to take the focus", lambda: self.canvas().getState().contains(pyatspi.STATE_FOCUSED))
        for key in keys:
            subprocess.run(["xdotool", "key", key], check=True)

    def explore(self, steps):
        """Presses each key on the canvas and waits for its words to be spoken: a notification appearing
        with them (every key, also one that says again what was said last)."""
        for key, words in steps:
            spoken.clear()
            self.key_on_canvas(key)
            wait_for("%s: %r spoken after %s" % (self.name, words, key), lambda: words in spoken)

    def arrow(self, key):
        self.key_on_canvas(key)

    def open_menu_from_keyboard(self):
        """Shift+F10 on the canvas opens the window's menu, which the bus shows under the window."""
        self.key_on_canvas("shift+F10")
        item = self.control(pyatspi.ROLE_MENU_ITEM, "原始大小")
        action = item.queryAction()
        check(action.getKeyBinding(0).endswith("Ctrl+0"),
              "%s: the menu item 原始大小 gives its key as %r" % (self.name, action.getKeyBinding(0)))
        self.press(item)
        wait_for("the menu to close", lambda: not showing(item))

    def check_names(self):
        named = {}
        for obj in descendants(self.window):
            if focusable(obj):
                check(obj.name != "", "%s: a focusable %s without a name" % (self.name, obj.getRoleName()))
                check(obj.name not in named, "%s: two focusable controls named %r" % (self.name, obj.name))
                named[obj.name] = obj
            elif obj.getRole() in SILENT_ROLES and obj.name == "" and obj is not self.window:
                check(not showing(obj), "%s: an unnamed %s is showing" % (self.name, obj.getRoleName()))
        print("%s: %d named controls: %s" % (self.name, len(named), ", ".join(sorted(named))), flush=True)

    def exit_through_action(self):
        self.press(self.control(pyatspi.ROLE_PUSH_BUTTON, "退出"))
        try:
            code = self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            check(False, "%s: pressing 退出 did not end the program" % self.name)
            return
        check(code == 0, "%s: ended with %d after 退出" % (self.name, code))

    def kill(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()


def text_of(obj):
    return obj.queryText().getText(0, -1) if "Text" in pyatspi.listInterfaces(obj) else None


def check_dialog_lists(q):
    """The drop-down lists of 保存图象 and of the print dialog say what they are for and, as their text,
    what they hold (Orca reads a list's choice from its text: Qt 6.4 offers no selection on the bus);
    the print dialog's "..." button says what it does."""
    def folder_entries_focused():
        pump_events()
        return [f for f in focused if f[0] == pyatspi.ROLE_LIST_ITEM and f[2] == "文件夹"]

    focused.clear()
    q.press(q.control(pyatspi.ROLE_PUSH_BUTTON, "保存"))
    save = wait_for("the save dialog", lambda: q.windows().get("保存图象"))
    drive = wait_for("the drive list", lambda: q.find(pyatspi.ROLE_COMBO_BOX, "驱动器", save))
    check((text_of(drive) or "").startswith("/"), "Quorvex: the drive list reads %r" % text_of(drive))
    # The folder list filled as the dialog opens, or after a drive is chosen, does not claim the focus.
    window = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "保存图象"],
                            check=True, capture_output=True, text=True).stdout.split()[0]
    subprocess.run(["xdotool", "windowfocus", "--sync", window], check=True)
    drive.queryComponent().grabFocus()
    wait_for("the drive list to take the focus", lambda: drive.getState().contains(pyatspi.STATE_FOCUSED))
    for key in ("Down", "Return"):
        subprocess.run(["xdotool", "key", key], check=True)
    wait_for("the drive list to have the focus back", lambda: focused and focused[-1][1] == "驱动器")
    time.sleep(0.5)
    check(not folder_entries_focused(), "Quorvex: folders claimed the focus: %r" % folder_entries_focused())
    q.key_on_canvas("ctrl+p")
    printing = wait_for("the print dialog", lambda: q.windows().get("打印"))
    printers = wait_for("the printer list", lambda: q.find(pyatspi.ROLE_COMBO_BOX, "打印机", printing))
    # Without a printer set up, the one choice is printing to a PDF file.
    check(bool(text_of(printers)), "Quorvex: the printer list reads %r" % text_of(printers))
    check(q.find(pyatspi.ROLE_PUSH_BUTTON, "选择输出文件", printing) is not None,
          "Quorvex: the print dialog's ... button has no name")
    q.press(next(o for o in descendants(printing)
                 if o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name == "取消"))
    wait_for("the print dialog to close", lambda: "打印" not in q.windows())


def check_menus(q):
    """高对比度 in the window's menu reads its state in its name; 打印… pressed there is answered at once and
    its dialog opens afterwards; once the dialog is gone the canvas has the focus again; a text box's own
    edit menu is in the tree and its commands can be pressed."""
    q.key_on_canvas("shift+F10")
    contrast = q.control(pyatspi.ROLE_MENU_ITEM, "高对比度，未勾选")
    check(not contrast.getState().contains(pyatspi.STATE_CHECKED), "Quorvex: 高对比度 is on at the start")
    printing = q.control(pyatspi.ROLE_MENU_ITEM, "打印…")
    start = time.monotonic()
    try:
        q.press(printing)
    except Exception as error:  # the call timed out: the dialog ran inside it
        check(False, "Quorvex: pressing 打印… got no answer: %s" % error)
    answered = time.monotonic() - start
    check(answered < 2.0, "Quorvex: pressing 打印… was answered after %.1f s" % answered)
    dialog = wait_for("the print dialog", lambda: q.windows().get("打印"))
    q.press(next(o for o in descendants(dialog) if o.getRole() == pyatspi.ROLE_PUSH_BUTTON and o.name == "取消"))
    wait_for("the print dialog to close", lambda: "打印" not in q.windows())
    q.focus_window()
    wait_for("the canvas to have the focus back",
             lambda: q.canvas().getState().contains(pyatspi.STATE_FOCUSED))

    box = q.control(pyatspi.ROLE_TEXT, "x轴 最小值")
    box.queryComponent().grabFocus()
    wait_for("the box to take the focus", lambda: box.getState().contains(pyatspi.STATE_FOCUSED))
    box.queryText().setCaretOffset(0)
    subprocess.run(["xdotool", "key", "shift+F10"], check=True)
    select_all = wait_for("the box's edit menu in the tree", lambda: next(
        (o for o in descendants(q.window) if o.getRole() == pyatspi.ROLE_MENU_ITEM and o.name.startswith("全选")),
        None))
    q.press(select_all)
    wait_for("the box's edit menu to close", lambda: not showing(select_all))
    text = box.queryText()
    check(text.getNSelections() == 1 and text.getSelection(0) == (0, text.characterCount),
          "Quorvex: 全选 pressed in the box's menu did not select the box's text")


def check_canvas_start(program, hint=""):
    check(program.canvas().description == FIRST_VIEW + hint,
          "%s: first canvas description %r" % (program.name, program.canvas().description))


def check_quorvex(path):
    q = Program(path)
    try:
        q.check_names()
        check_canvas_start(q)
        q.press(q.control(pyatspi.ROLE_RADIO_BUTTON, "整数指数"))
        q.type_into("m", "2")
        q.press(q.control(pyatspi.ROLE_PUSH_BUTTON, "作图"))
        q.description_becomes(lambda d: d == FIRST_VIEW + ", 图象 " + SQUARE, "the curve y = x^2")
        # 作图 holds the focus, and the new curve is spoken all the same.
        wait_for("the new curve to be spoken", lambda: "图象 " + SQUARE in spoken)
        announced.clear()
        spoken.clear()
        q.arrow("Right")
        q.description_becomes(lambda d: d == MOVED_VIEW + ", 图象 " + SQUARE, "the moved view with its curve")
        wait_for("the moved view to be announced", lambda: MOVED_VIEW + ", 图象 " + SQUARE in announced)
        # What changed is spoken, once: the range; the curve is the one already heard.
        wait_for("the moved view to be spoken", lambda: MOVED_VIEW in spoken)
        time.sleep(0.5)
        pump_events()
        check(len(announced) == 1, "Quorvex: one arrow key announced %d descriptions" % len(announced))
        check(spoken == [MOVED_VIEW], "Quorvex: one arrow key spoke %r" % spoken)
        q.open_menu_from_keyboard()
        check_menus(q)
        check(q.control(pyatspi.ROLE_TEXT, "x轴 最小值").queryText().getText(0, -1) == "-11",
              "Quorvex: the arrow key did not write the range boxes")
        q.explore([("t", "探索 " + SQUARE), ("Home", "x 等于 负 11, y 等于 121, 在视图上方"),
                   ("ctrl+Right", "从上方进入视图, x 等于 负 3.162, y 等于 10"),
                   ("ctrl+Right", "与 x 轴的交点、与 y 轴的交点, x 等于 0, y 等于 0"), ("Escape", "结束探索")])
        # The sound, with or without a sound device, never holds up the canvas.
        q.key_on_canvas("h", "space")
        q.explore([("t", "探索 " + SQUARE), ("End", "x 等于 9, y 等于 81, 在视图上方"), ("t", "结束探索")])

        # A message box reaches the tree as a dialog that carries its text, and goes with its button.
        q.type_into("x轴 最小值", "20")
        q.press(q.control(pyatspi.ROLE_PUSH_BUTTON, "确定"))
        box = wait_for("the message box", lambda: next(
            (w for w in q.app if w is not None and q.find(pyatspi.ROLE_LABEL, "数据输入有误！", w)), None))
        check(box.name == "警告", "Quorvex: the message box is titled %r" % box.name)
        check(box.getRole() in (pyatspi.ROLE_ALERT, pyatspi.ROLE_DIALOG),
              "Quorvex: the message box is a %s" % box.getRoleName())
        # Orca reads an alert as its role, its title and its text: "警告 警告". A dialog carries its text
        # as its description.
        check(box.getRole() == pyatspi.ROLE_DIALOG and box.description == "数据输入有误！",
              "Quorvex: the message box is a %s described %r" % (box.getRoleName(), box.description))
        button = next(o for o in descendants(box) if o.getRole() == pyatspi.ROLE_PUSH_BUTTON)
        q.press(button)
        wait_for("the message box to close", lambda: all(
            w is None or not q.find(pyatspi.ROLE_LABEL, "数据输入有误！", w) for w in q.app))
        check_dialog_lists(q)
        q.exit_through_action()
    finally:
        q.kill()


def check_family(path, base_formula, rows, table_words, first_landmark, properties):
    p = Program(path)
    try:
        p.check_names()
        check_canvas_start(p, PANEL_HINT)
        p.type_into("底数 a", "2")
        table = p.control(pyatspi.ROLE_LABEL, table_words[0])
        spoken.clear()
        p.press(p.control(pyatspi.ROLE_PUSH_BUTTON, "作图"))
        plotted = FIRST_VIEW + ", 图象 " + base_formula + PANEL_HINT
        p.description_becomes(lambda d: d == plotted, base_formula)
        wait_for("the new description to be announced", lambda: plotted in announced)
        # The end of the trace is spoken with what the properties table now says.
        wait_for("the traced curve to be spoken with its properties",
                 lambda: "图象 " + base_formula + ", " + properties in spoken)
        # The curve is named when its trace is done, with the answer in the sentence of the table.
        check(table.name == table_words[1], "%s: the traced table reads %r" % (p.name, table.name))
        # The trace ends on the timer; then the rows of the properties table for a > 1 show, with "增".
        for row in rows:
            wait_for("the properties row %r" % row, lambda: showing(p.control(pyatspi.ROLE_LABEL, row)))
        check(p.find(pyatspi.ROLE_LABEL, "增") is not None, "%s: no 增 in the properties table" % p.name)
        p.arrow("Right")
        p.description_becomes(lambda d: d == MOVED_VIEW + ", 图象 " + base_formula + PANEL_HINT, "the moved view")
        p.explore([("t", "探索 " + base_formula), ("ctrl+Right", first_landmark), ("Escape", "结束探索")])
        p.exit_through_action()
    finally:
        p.kill()


def main(quorvex, zelmora, tavrinth):
    pyatspi.Registry.registerEventListener(on_description_change,
                                           "object:property-change:accessible-description")
    pyatspi.Registry.registerEventListener(on_showing, "object:state-changed:showing")
    pyatspi.Registry.registerEventListener(on_focus, "object:state-changed:focused")
    check_quorvex(quorvex)
    check_family(zelmora, "y 等于 2 的 x 次方",
                 ["2 当 x = 0 时, y = 1.", "3 当 x > 0 时, y > 1. 当 x < 0 时, 0 < y < 1."],
                 ["函数性质: 1 定义域 R; 值域 (0, +∞). 4 在 (−∞, +∞) 上是( )函数",
                  "函数性质: 1 定义域 R; 值域 (0, +∞). 4 在 (−∞, +∞) 上是增函数"],
                 "与 y 轴的交点、各图象的公共点, x 等于 0, y 等于 1",
                 "在负无穷到正无穷上是增函数, 当 x 等于 0 时 y 等于 1, 当 x 大于 0 时 y 大于 1, 当 x 小于 0 时 y 大于 0 且小于 1")
    check_family(tavrinth, "y 等于以 2 为底 x 的对数",
                 ["2 当 x = 1 时, y = 0.", "3 当 x > 1 时, y > 0. 当 0 < x < 1 时, y < 0."],
                 ["函数性质: 1 定义域 (0, +∞); 值域 R. 4 在 (0, +∞) 上是( )函数.",
                  "函数性质: 1 定义域 (0, +∞); 值域 R. 4 在 (0, +∞) 上是增函数."],
                 "定义域的端点、垂直渐近线, x 等于 0, 无定义",
                 "在 0 到正无穷上是增函数, 当 x 等于 1 时 y 等于 0, 当 x 大于 1 时 y 大于 0, 当 x 大于 0 且小于 1 时 y 小于 0")
    if failures:
        print("%d AT-SPI check(s) failed" % len(failures))
        return 1
    print("AT-SPI checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
