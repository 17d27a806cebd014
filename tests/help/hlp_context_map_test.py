#!/usr/bin/env python3
"""tools/hlp_context_map.py against help files Halibut writes.

Halibut is an independent writer of the format: every topic it names must be
found under the hash the tool computes, also when the tables span several
B-tree pages, and a mapped number must read back as the named topic's address.
(help_tests then shows the real help at that number in the viewer.)

    hlp_context_map_test.py <tools/hlp_context_map.py>
"""
import importlib.util
import os
import subprocess
import sys
import tempfile
import unittest

TOOL = None


def load_tool(path):
    found = importlib.util.spec_from_file_location("hlp_context_map", path)
    module = importlib.util.module_from_spec(found)
    found.loader.exec_module(module)
    return module


class ContextMap(unittest.TestCase):
    TOPICS = 1200  # enough for a |CONTEXT tree of several pages and two levels

    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.TemporaryDirectory()
        lines = ["\\title Many topics", ""]
        for i in range(1, cls.TOPICS + 1):
            lines += ["\\C{c%d} Topic number %d" % (i, i), "",
                      "\\cfg{winhelp-topic}{Topic_%d.x}" % i, "", "Text %d." % i, ""]
        source = os.path.join(cls.work.name, "many.but")
        with open(source, "w") as f:
            f.write("\n".join(lines))
        cls.raw = os.path.join(cls.work.name, "many.hlp")
        subprocess.run(["halibut", "--winhelp=" + cls.raw, source], check=True,
                       cwd=cls.work.name)

    @classmethod
    def tearDownClass(cls):
        cls.work.cleanup()

    def read(self, path):
        with open(path, "rb") as f:
            return TOOL.HelpFile(f.read())

    def run_tool(self, *args):
        return subprocess.run([sys.executable, TOOL.__file__] + list(args),
                              capture_output=True, text=True)

    def test_every_named_topic_is_found_under_its_hash(self):
        help_file = self.read(self.raw)
        contexts = help_file.contexts()
        missing = [i for i in range(1, self.TOPICS + 1)
                   if TOOL.context_hash("Topic_%d.x" % i) not in contexts]
        self.assertEqual(missing, [])
        self.assertEqual(help_file.context_map(), {})  # Halibut maps no numbers

    def test_mapped_numbers_read_back_as_the_named_topics(self):
        out = os.path.join(self.work.name, "mapped.hlp")
        result = self.run_tool(self.raw, "-o", out, "--map", "1002=Topic_1187.x",
                               "--map", "7=topic_3.X")  # names match in any case
        self.assertEqual(result.returncode, 0, result.stderr)
        mapped = self.read(out)
        contexts = mapped.contexts()
        self.assertEqual(mapped.context_map(), {
            1002: contexts[TOOL.context_hash("Topic_1187.x")],
            7: contexts[TOOL.context_hash("Topic_3.x")]})
        # The rest of the file is untouched: the same topics, the same sizes.
        self.assertEqual(contexts, self.read(self.raw).contexts())
        # Mapping again replaces, and keeps what is not named again.
        again = self.run_tool(out, "--map", "1002=Topic_5.x")
        self.assertEqual(again.returncode, 0, again.stderr)
        self.assertEqual(self.read(out).context_map(), {
            1002: contexts[TOOL.context_hash("Topic_5.x")],
            7: contexts[TOOL.context_hash("Topic_3.x")]})

    def test_a_name_that_is_not_there_fails_and_writes_nothing(self):
        out = os.path.join(self.work.name, "never.hlp")
        for name in ("no_such_topic", "Topic 5"):  # a blank does not hash the same everywhere
            result = self.run_tool(self.raw, "-o", out, "--map", "1002=" + name)
            self.assertEqual(result.returncode, 1, name)
            self.assertFalse(os.path.exists(out), name)

    def test_a_file_that_is_not_a_help_file_is_refused(self):
        junk = os.path.join(self.work.name, "junk.hlp")
        with open(junk, "wb") as f:
            f.write(b"MZ" + bytes(100))
        self.assertEqual(self.run_tool(junk, "--map", "1002=x").returncode, 1)
        truncated = os.path.join(self.work.name, "truncated.hlp")
        with open(self.raw, "rb") as f, open(truncated, "wb") as g:
            g.write(f.read()[:4000])
        self.assertEqual(self.run_tool(truncated, "--map", "1002=Topic_1.x").returncode, 1)


if __name__ == "__main__":
    TOOL = load_tool(sys.argv.pop(1))
    unittest.main()
