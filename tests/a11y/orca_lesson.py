"""One short lesson per program, with Orca speaking it, as a blind pupil would take it: keyboard only.

Run by orca.sh inside a private desktop session:
    orca_lesson.py path/to/Quorvex path/to/Zelmora path/to/Tavrinth
Quorvex's lesson also opens the window's menu and switches 高对比度 on and off, opens a text box's menu,
and meets a message box.
Orca writes every utterance to its debug log as "SPEECH OUTPUT: '...'"; each key waits until the words it
must bring are spoken, and fails on silence, on wrong words and on symbols a synthesiser reads by name.
At the end the transcript of each lesson (key, then what was spoken) is printed.
"""

import os
import re
import shutil
import subprocess
import sys
import time

TIMEOUT = 15.0
# Orca has said everything a key brought once it has been quiet for this long.
QUIET = 0.6
# A key whose words are not named still brings some; on a loaded machine they may come after a quiet
# moment, so the next key waits for them (this long at most) rather than joining this one.
FIRST_WORDS = 5.0
WORK = os.environ["ORCA_WORK"]
LOG = os.path.join(WORK, "orca-debug.log")
SPEECH = re.compile(r"SPEECH OUTPUT: '(.*?)' ?(?:\{|$)", re.M)
# What the programs' own messages must not hold: a synthesiser reads these by name.
SYMBOLS = re.compile(r"[;:^_\u2212]")
# Words of Qt's dialogs that its Chinese catalogue lacks and ours must give.
ENGLISH = re.compile(r"\b(Folder|File|bytes|KB|MB|Name|Size|Type|Date Modified|Drive|Computer|Back|Forward|"
                     r"Parent Directory|Create New Folder|List View|Detail View|Look in|Files of type|"
                     r"Cancel|Save|Open|Print|Printer|Properties|Options|Copies)\b")

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message, flush=True)
    return condition


class Orca:
    """Orca itself, writing its debug log a line at a time so that each utterance can be read at once."""

    def __init__(self):
        launcher = os.path.join(WORK, "orca_line_buffered.py")
        with open(launcher, "w") as f:
            f.write(
                "import builtins, runpy, sys\n"
                "_open = builtins.open\n"
                "def line_buffered(file, mode='r', *args, **kwargs):\n"
                "    if file == %r and 'w' in mode:\n"
                "        return _open(file, mode, buffering=1, encoding='utf-8')\n"
                "    return _open(file, mode, *args, **kwargs)\n"
                "builtins.open = line_buffered\n"
                "sys.argv = ['orca', '--replace', '--debug-file=' + %r]\n"
                "runpy.run_path('/usr/bin/orca', run_name='__main__')\n" % (LOG, LOG))
        if os.path.exists(LOG):
            os.remove(LOG)
        self.process = subprocess.Popen([sys.executable, launcher], stdout=open(LOG + ".out", "w"),
                                        stderr=subprocess.STDOUT)
        self.wait_for(lambda said: said, "Orca to start")

    def spoken(self):
        try:
            with open(LOG, encoding="utf-8", errors="replace") as f:
                return SPEECH.findall(f.read())
        except FileNotFoundError:
            return []

    def wait_for(self, test, what, start=0, timeout=TIMEOUT):
        """Waits until test(utterances since start) is true; returns those utterances."""
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            said = self.spoken()[start:]
            if test(said):
                return said
            time.sleep(0.1)
        raise AssertionError("timed out waiting for " + what)

    def quiet(self, start):
        """What was said since start, once Orca has been quiet for a moment."""
        last, since = len(self.spoken()), time.monotonic()
        end = since + TIMEOUT
        while time.monotonic() < end:
            time.sleep(0.1)
            now = len(self.spoken())
            if now != last:
                last, since = now, time.monotonic()
            elif time.monotonic() - since >= QUIET:
                break
        return self.spoken()[start:]

    def stop(self):
        self.process.terminate()
        self.process.wait()


class Lesson:
    """A program under Orca, driven by keys; every key and what it brought goes into the transcript."""

    def __init__(self, orca, path):
        self.orca = orca
        self.name = os.path.basename(path)
        self.transcript = []
        start = len(orca.spoken())
        self.process = subprocess.Popen([path], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
        # The window manager gives the new window the focus, and Orca names the window.
        said = orca.wait_for(lambda s: any(self.name in u for u in s), self.name + "'s window", start)
        self.transcript.append(("(start)", orca.quiet(start) or said))

    def key(self, key, expect=None, what=None):
        """Presses a key (or types "type:TEXT") and returns what Orca said; `expect` must be in it."""
        start = len(self.orca.spoken())
        if key.startswith("type:"):
            subprocess.run(["xdotool", "type", "--", key[5:]], check=True)
        else:
            subprocess.run(["xdotool", "key", "--", key], check=True)
        said = []
        try:
            if expect is not None:
                self.orca.wait_for(lambda s: any(expect in u for u in s), repr(expect), start)
            else:
                self.orca.wait_for(lambda s: s, "any words", start, FIRST_WORDS)
        except AssertionError:
            pass
        said = self.orca.quiet(start)
        self.transcript.append((key, said))
        if expect is not None:
            check(any(expect in u for u in said),
                  "%s: %s should say %r (%s), said %r" % (self.name, key, expect, what or "", said))
        return said

    def tab_to(self, words, key="Tab", limit=40):
        """Tabs until Orca names the control; fails after `limit` presses."""
        for _ in range(limit):
            said = self.key(key)
            if any(words in u for u in said):
                return said
        check(False, "%s: %s never reached %r" % (self.name, key, words))
        return []

    def messages(self, said):
        """The utterances of the programs' own messages among what was said (not Orca's key names)."""
        return [u for u in said if not u.endswith(" ") and u not in ("已选中", "未选中")]

    def check_for_the_ear(self, said, what):
        for u in self.messages(said):
            check(not SYMBOLS.search(u), "%s: %s says a symbol by name: %r" % (self.name, what, u))

    def walk_export_dialog(self):
        """Opens 导出图像… and tabs round it, then Esc: not one English word may be spoken."""
        said = self.key("ctrl+shift+s", "导出图像", "the export dialog")
        for _ in range(12):
            step = self.key("Tab")
            said += step
            if any("树" in u for u in step):
                # The folder list: its rows, each with its name, size, type and date.
                for _ in range(4):
                    said += self.key("Down")
                break
        said += self.key("Escape")
        english = sorted({m for u in said for m in ENGLISH.findall(u)})
        check(not english, "%s: the export dialog speaks English: %s" % (self.name, ", ".join(english)))

    def end(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()

    def print_transcript(self):
        print("\n== %s, spoken by Orca ==" % self.name)
        for key, said in self.transcript:
            print("%-12s %s" % (key, " | ".join(said)))
        sys.stdout.flush()


def explore(lesson, curve_words, first_step, landmark):
    """T, a step, a landmark, the same key again at the last landmark, and Esc, on the focused canvas."""
    lesson.check_for_the_ear(lesson.key("t", "探索 " + curve_words, "exploring the curve"), "T")
    lesson.check_for_the_ear(lesson.key("Right", first_step, "one step right"), "Right")
    lesson.key("ctrl+Right", landmark, "the next landmark")
    said = []
    for _ in range(8):
        said = lesson.key("ctrl+Right")
        if any("右边没有特征点" in u for u in said):
            break
    check(any("右边没有特征点" in u for u in said), "%s: the landmarks never end" % lesson.name)
    lesson.key("ctrl+Right", "右边没有特征点", "the same key again is said again")
    lesson.key("Escape", "结束探索", "leaving the exploration")
    # The sound, or the words that there is no sound server: either way something is said, twice.
    for _ in range(2):
        said = lesson.key("h", "声音", "hearing the curve")
        if any("声音开始" in u for u in said):
            lesson.key("h", "声音停止", "stopping the sound")


def menu_and_contrast(lesson):
    """On the canvas: Shift+F10 says that the menu is open, 高对比度 is read off and then on, each press of
    it is told, and the print dialog closed gives the focus back to the canvas."""
    lesson.key("shift+F10", "菜单，放大显示", "the menu opening")
    said = lesson.tab_to("高对比度", key="Up", limit=12)
    check(any("未勾选" in u for u in said), "%s: 高对比度 off was read %r" % (lesson.name, said))
    lesson.key("Return", "高对比度 已打开", "高对比度 switched on")
    lesson.key("shift+F10", "菜单", "the menu opening again")
    said = lesson.tab_to("高对比度", key="Up", limit=12)
    check(any("已勾选" in u for u in said), "%s: 高对比度 on was read %r" % (lesson.name, said))
    lesson.key("Return", "高对比度 已关闭", "高对比度 switched off")
    lesson.key("ctrl+p", "打印", "the print dialog")
    lesson.key("Escape", "坐标平面", "the focus back on the canvas")


def one_warning(lesson):
    """A wrong range in the focused box: the message box says 警告 once, with its text."""
    lesson.key("type:20")
    lesson.tab_to("确定")
    said = lesson.key("Return", "数据输入有误", "the message box")
    check(sum(u.count("警告") for u in said) == 1, "%s: the message box said %r" % (lesson.name, said))
    lesson.key("Return")


def range_box_read_whole(lesson):
    said = lesson.tab_to("x轴 最小值")
    check(any(re.search(r"(^|\s)(-10|负 ?10)(\s|$)", u) for u in said),
          "%s: x轴 最小值 holding -10 was read %r" % (lesson.name, said))


def quorvex_lesson(orca, path, words):
    q = Lesson(orca, path)
    try:
        q.tab_to("整数指数")
        q.key("space")
        # The box for m has only now appeared: the first Tab into it says so.
        q.tab_to("m 文本", key="shift+Tab")
        q.key("type:2")
        q.key("Tab", "作图")
        said = q.key("Return", words["plotted"], "the curve plotted")
        q.check_for_the_ear(said, "作图")
        q.tab_to("坐标平面", key="shift+Tab")
        explore(q, words["curve"], words["step"], words["landmark"])
        menu_and_contrast(q)
        range_box_read_whole(q)
        q.key("shift+F10", "菜单", "the box's own menu opening")
        q.key("Escape")
        one_warning(q)
        q.walk_export_dialog()
    except AssertionError as error:
        check(False, "%s: %s" % (q.name, error))
    finally:
        q.end()
    return q


def family_lesson(orca, path, words):
    p = Lesson(orca, path)
    try:
        p.tab_to("底数 a")
        p.key("type:2")
        p.tab_to("作图")
        # 作图 starts the trace; its end is spoken with the verdict of the properties table.
        said = p.key("Return", words["traced"], "the end of the trace")
        p.check_for_the_ear(said, "作图")
        p.tab_to("坐标平面")
        explore(p, words["curve"], words["step"], words["landmark"])
        range_box_read_whole(p)
        p.walk_export_dialog()
    except AssertionError as error:
        check(False, "%s: %s" % (p.name, error))
    finally:
        p.end()
    return p


# The words each lesson must hear.
QUORVEX = {"plotted": "y 等于 x 的 2 次方", "curve": "y 等于 x 的 2 次方", "step": "x 等于",
           "landmark": "从上方进入视图"}
ZELMORA = {"traced": "增函数", "curve": "y 等于 2 的 x 次方", "step": "x 等于",
           "landmark": "与 y 轴的交点"}
TAVRINTH = {"traced": "增函数", "curve": "y 等于以 2 为底 x 的对数", "step": "x 等于",
            "landmark": "定义域的端点"}
LESSONS = {"Quorvex": (quorvex_lesson, QUORVEX), "Zelmora": (family_lesson, ZELMORA),
           "Tavrinth": (family_lesson, TAVRINTH)}


def main(*paths):
    lessons = []
    for path in paths:
        # A screen reader of its own for each lesson: nothing one program left behind reaches the next.
        orca = Orca()
        try:
            run, words = LESSONS[os.path.basename(path)]
            lessons.append(run(orca, path, words))
        except AssertionError as error:
            check(False, "%s: %s" % (os.path.basename(path), error))
        finally:
            orca.stop()
            if failures and os.environ.get("ORCA_KEEP_LOG"):
                shutil.copy(LOG, os.environ["ORCA_KEEP_LOG"] + "." + os.path.basename(path))
    for lesson in lessons:
        lesson.print_transcript()
    if failures:
        print("%d Orca check(s) failed" % len(failures))
        return 1
    print("Orca checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
