"""Prints the text of a PDF file as pdftotext (poppler-utils) reads it: pdf_text.py FILE [-layout]

Qt's PDF files map the glyphs that ideographs share with radicals (生, 大, 月, 页 ...) to the
radicals; they are turned back into the ideographs here: Kangxi radicals by their compatibility
forms, the simplified radicals of the supplement (which have none) by name.
"""
import subprocess
import sys
import unicodedata

SIMPLIFIED = dict(zip(map(ord, "\u2EDA\u2ED4\u2EE2\u2ECB\u2EC5\u2ED3\u2EE5\u2EE6\u2EDB\u2EDC\u2EE9\u2EE8\u2EEB"
                              "\u2EEE\u2EEF\u2EE3"), "页门马车见长鱼鸟风飞黄麦齐齿龙骨"))


def ideograph(c):
    if ord(c) in SIMPLIFIED:
        return SIMPLIFIED[ord(c)]
    return unicodedata.normalize("NFKC", c) if 0x2F00 <= ord(c) <= 0x2FDF else c


text = subprocess.run(["pdftotext", *sys.argv[2:], sys.argv[1], "-"], capture_output=True, check=True).stdout
sys.stdout.write("".join(map(ideograph, text.decode("utf-8"))))
