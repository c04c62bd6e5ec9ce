#!/usr/bin/env python3
"""Checks the links of the README and the pages under docs/: every relative
link names a file that exists, every #anchor a heading of its page (by
GitHub's rule: the heading's text in lower case, without punctuation, blanks
as hyphens, a repeated heading numbered -1, -2...), and every page under
docs/ is linked from the README. Prints each broken link as file:line and
exits 1 when there is one.

    python3 check_links.py SOURCE_DIR
"""
import glob
import os
import re
import sys
import unicodedata

FENCE = re.compile(r"^ {0,3}(```|~~~).*?^ {0,3}\1[^\n]*$", re.M | re.S)
CODE_SPAN = re.compile(r"(`+)(?:(?!\1).)+?\1", re.S)
HEADING = re.compile(r"^ {0,3}(#{1,6})[ \t]+(.+?)[ \t#]*$", re.M)
LINK = re.compile(r"!?\[((?:[^\[\]]|\[[^\]]*\])*)\]\(\s*<?([^)\s>]*)>?(?:\s+\"[^\"]*\")?\s*\)")
DEFINITION = re.compile(r"^ {0,3}\[[^\]]+\]:\s*<?(\S+?)>?(?:\s.*)?$", re.M)


def blank(match):
    """The matched text with every character but line ends made a blank, so
    that offsets and line numbers stay as they were."""
    return re.sub(r"[^\n]", " ", match.group(0))


def prose(text):
    """The text without code blocks and code spans, where no link is."""
    return CODE_SPAN.sub(blank, FENCE.sub(blank, text))


def slug(heading):
    """GitHub's anchor of a heading: its text (links and code spans as their
    text), lower case, kept only letters, digits, marks, blanks, hyphens and
    underscores, blanks turned into hyphens."""
    text = LINK.sub(lambda m: m.group(1), heading).replace("`", "")
    kept = (c for c in text.lower()
            if c in " -_" or unicodedata.category(c)[0] in "LNM")
    return "".join(kept).replace(" ", "-")


def anchors(text):
    """The anchors of a page's headings, repeated ones numbered as GitHub does."""
    seen, result = {}, set()
    for match in HEADING.finditer(FENCE.sub(blank, text)):
        base = slug(match.group(2))
        name = base if base not in seen else "%s-%d" % (base, seen[base])
        seen[base] = seen.get(base, 0) + 1
        result.add(name)
    return result


def main(root):
    pages = [os.path.join(root, "README.md")] + sorted(glob.glob(os.path.join(root, "docs", "*.md")))
    texts = {os.path.abspath(p): open(p, encoding="utf-8").read() for p in pages}
    problems, from_readme = [], set()
    for page, text in texts.items():
        clean = prose(text)
        targets = [(m.start(), m.group(2)) for m in LINK.finditer(clean)]
        targets += [(m.start(), m.group(1)) for m in DEFINITION.finditer(clean)]
        for offset, target in sorted(targets):
            where = "%s:%d" % (os.path.relpath(page, root), text.count("\n", 0, offset) + 1)
            if re.match(r"^[a-z][a-z0-9+.-]*:", target, re.I):
                continue  # an address on the web or mail, not checked here
            path, _, anchor = target.partition("#")
            full = os.path.abspath(os.path.join(os.path.dirname(page), path)) if path else page
            if page == os.path.abspath(pages[0]):
                from_readme.add(full)
            if not os.path.exists(full):
                problems.append("%s: %s: no such file" % (where, target))
            elif anchor:
                if full not in texts:
                    if not full.endswith(".md"):
                        problems.append("%s: %s: an anchor in a file that is no page" % (where, target))
                        continue
                    texts[full] = open(full, encoding="utf-8").read()
                if anchor not in anchors(texts[full]):
                    problems.append("%s: %s: no heading makes the anchor #%s" % (where, target, anchor))
    for page in pages[1:]:
        if os.path.abspath(page) not in from_readme:
            problems.append("README.md: no link to %s" % os.path.relpath(page, root))
    for problem in problems:
        print(problem)
    print("%d pages, %d broken links or pages not linked" % (len(pages), len(problems)))
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
