#!/usr/bin/python3
"""Checks the user guide Help.htm: an HTML5 document that reads without scripts or the
network, every element closed in order, every link inside the page leading somewhere.
Prints what is wrong and exits 1; exits 0 when all is well."""
import sys
from html.parser import HTMLParser

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}


class Checker(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.problems, self.open, self.ids, self.links = [], [], set(), []
        self.doctype = self.charset = self.title = False

    def handle_decl(self, decl):
        self.doctype = decl.lower() == "doctype html"

    def handle_starttag(self, tag, attrs):
        where = "line %d: <%s>" % (self.getpos()[0], tag)
        a = dict(attrs)
        if tag in ("script", "iframe", "object", "embed"):
            self.problems.append(where + " is not allowed")
        for name, value in attrs:
            if name.startswith("on"):
                self.problems.append(where + " has a script attribute " + name)
            if name in ("href", "src") and value and not value.startswith("#"):
                self.problems.append(where + " leads outside the page: " + value)
            if name == "id":
                if value in self.ids:
                    self.problems.append(where + " repeats id " + value)
                self.ids.add(value)
        if tag == "a" and a.get("href", "").startswith("#"):
            self.links.append((self.getpos()[0], a["href"][1:]))
        if tag == "html" and not a.get("lang"):
            self.problems.append(where + " has no lang")
        if tag == "meta" and a.get("charset", "").lower() == "utf-8":
            self.charset = True
        if tag == "title":
            self.title = True
        if tag not in VOID:
            self.open.append((tag, self.getpos()[0]))

    def handle_endtag(self, tag):
        if not self.open or self.open[-1][0] != tag:
            expected = self.open[-1] if self.open else ("nothing", 0)
            self.problems.append("line %d: </%s> closes <%s> of line %d"
                                 % (self.getpos()[0], tag, expected[0], expected[1]))
            return
        self.open.pop()


def main(path):
    checker = Checker()
    with open(path, encoding="utf-8") as f:
        checker.feed(f.read())
    checker.close()
    p = checker.problems
    if not checker.doctype:
        p.append("no <!DOCTYPE html>")
    if not checker.charset:
        p.append('no <meta charset="utf-8">')
    if not checker.title:
        p.append("no <title>")
    p += ["<%s> of line %d is never closed" % o for o in checker.open]
    p += ["line %d: link to #%s leads nowhere" % (line, target)
          for line, target in checker.links if target not in checker.ids]
    for problem in p:
        print(problem)
    return 1 if p else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
