#!/usr/bin/env python3
"""Makes a section 1 manual page from one "## NAME" section of README.md, so that the page and
the README say the same. The section's first paragraph is the page's one-line description, its
first code block the synopsis, the rest the description, each "### " part a subsection.

    scripts/man_page.py README.md NAME VERSION SEE_ALSO OUT

SEE_ALSO is a comma-separated list of other pages ("vistrel-cli"). OUT ending in .gz is written
compressed, without a time stamp, so that a build gives the same bytes each time. Understood is
the Markdown the README uses: paragraphs, lists ("- ", two spaces deeper for a nested one),
code blocks, tables, `code` and **bold**.
"""
import gzip
import re
import sys


def section(readme, name):
    lines = readme.splitlines()
    start = lines.index("## " + name) + 1
    end = next((i for i in range(start, len(lines)) if lines[i].startswith("## ")), len(lines))
    return lines[start:end]


def escaped(text):
    """Text for a roff line: backslashes shown, characters beyond ASCII by their code point."""
    text = text.replace("\\", "\\e")
    return "".join(c if ord(c) < 128 else "\\[u%04X]" % ord(c) for c in text)


def inline(text):
    """`code` in bold with its dashes as minus signs (options copy and paste as typed), **bold**,
    and words that start with a dash (options outside code) the same way."""
    parts = re.split(r"`([^`]*)`", text)
    out = []
    for i, part in enumerate(parts):
        if i % 2:
            out.append("\\fB" + escaped(part).replace("-", "\\-") + "\\fR")
            continue
        part = escaped(part)
        part = re.sub(r"\*\*(.+?)\*\*", r"\\fB\1\\fR", part)
        part = re.sub(r"(?<![\w-])-[-\w]*", lambda m: m.group(0).replace("-", "\\-"), part)
        out.append(part)
    return line_start("".join(out))


def line_start(line):
    # A line that starts with a dot or an apostrophe would be read as a request.
    return "\\&" + line if line[:1] in (".", "'") else line


def code_lines(lines):
    return [line_start(escaped(line.expandtabs()).replace("-", "\\-")) for line in lines]


def unbroken_groups(text):
    """Spaces inside [...] that lines do not break at: "[--format bmp|gif]" stays together."""
    out, depth = [], 0
    for c in text:
        depth += (c == "[") - (c == "]")
        out.append("\\ " if c == " " and depth > 0 else c)
    return "".join(out)


def synopsis(lines):
    """One usage a line, its continuation lines joined, wrapped with a hanging indent."""
    usages = []
    for line in lines:
        if line.startswith(" ") and usages:
            usages[-1] += " " + line.strip()
        else:
            usages.append(line.strip())
    out = [".SH SYNOPSIS", ".in +4n"]
    for usage in usages:
        program, _, rest = usage.partition(" ")
        out += [".ti -4n", "\\fB" + escaped(program).replace("-", "\\-") + "\\fR "
                + line_start(unbroken_groups(escaped(rest).replace("-", "\\-"))), ".br"]
    return out + [".in"]


def table(rows):
    """A table of tbl(1): a bold header row; the column with the longest text wraps."""
    cells = [[c.strip() for c in row.strip().strip("|").split("|")] for row in rows]
    cells = [row for row in cells if not all(re.fullmatch(r":?-+:?", c) for c in row)]
    columns = len(cells[0])
    wide = max(range(columns), key=lambda c: max(len(row[c]) for row in cells))
    body = " ".join("lx" if c == wide else "l" for c in range(columns)) + "."
    out = [".PP", ".TS", " ".join(["lb"] * columns), body]
    for number, row in enumerate(cells):
        row = [inline(c) for c in row]
        if number > 0:
            row[wide] = "T{\n" + row[wide] + "\nT}"
        out.append("\t".join(row))
    return out + [".TE"]


class Page:
    """The roff lines of the page, and the lists open where the next block goes."""

    def __init__(self):
        self.out = []
        self.depth = 0

    def close_lists(self, level=0):
        while self.depth > level:
            self.depth -= 1
            if self.depth > 0:
                self.out.append(".RE")

    def start_block(self, level):
        """Starts a paragraph or code block that belongs to the list item level deep, if any:
        it goes on at the item's text."""
        level = min(level, self.depth)
        self.close_lists(level)
        self.out.append(".PP" if level == 0 else '.IP "" 2')
        return level

    def paragraph(self, level, text):
        self.start_block(level)
        self.out.append(inline(text))

    def code(self, level, lines):
        if self.start_block(level) == 0:
            self.out += [".RS 4", ".nf"] + code_lines(lines) + [".fi", ".RE"]
        else:
            self.out += [".nf"] + code_lines(["    " + line for line in lines]) + [".fi"]

    def item(self, level, text):
        while self.depth < level + 1:
            if self.depth > 0:
                self.out.append(".RS 2")
            self.depth += 1
        self.close_lists(level + 1)
        self.out += [".IP \\(bu 2" if level == 0 else ".IP \\(en 2", inline(text)]


def indent_of(line):
    return len(line) - len(line.lstrip(" "))


def block_end(lines, i, indent):
    """Where the paragraph or list item going on at line i ends: at a blank line, a new item,
    code, table or heading, or a line less indented than its text."""
    while (i < len(lines) and lines[i].strip() and indent_of(lines[i]) >= indent
           and not re.match(r" *(- |```)|\||#", lines[i])):
        i += 1
    return i


def body(lines, page):
    i = 0
    while i < len(lines):
        line = lines[i]
        indent = indent_of(line)
        if not line.strip():
            i += 1
        elif line.startswith("### "):
            page.close_lists()
            page.out.append(".SS " + escaped(line[4:]))
            i += 1
        elif line.lstrip().startswith("```"):
            end = next(j for j in range(i + 1, len(lines)) if lines[j].strip() == "```")
            page.code(indent // 2, [text[indent:] for text in lines[i + 1:end]])
            i = end + 1
        elif line.startswith("|"):
            end = i
            while end < len(lines) and lines[end].startswith("|"):
                end += 1
            page.close_lists()
            page.out += table(lines[i:end])
            i = end
        elif re.match(r" *- ", line):
            start = indent + 2
            end = block_end(lines, i + 1, start)
            page.item(indent // 2, " ".join(text.strip() for text in lines[i:end])[2:])
            i = end
        else:
            end = block_end(lines, i + 1, indent)
            page.paragraph(indent // 2, " ".join(text.strip() for text in lines[i:end]))
            i = end
    page.close_lists()


def man_page(readme, name, version, see_also):
    lines = section(readme, name)
    first = next(i for i, line in enumerate(lines) if line.strip())
    end = next(i for i in range(first, len(lines)) if not lines[i].strip())
    summary = " ".join(line.strip() for line in lines[first:end]).rstrip(".")
    fence = next(i for i in range(end, len(lines)) if lines[i].startswith("```"))
    close = lines.index("```", fence + 1)
    page = Page()
    page.out += ['\'\\" t', '.TH %s 1 "" "Vistrel %s" "User Commands"' % (name.upper(), version),
                 # Options and file names are never hyphenated, nor spread out to fill a line.
                 ".nh", ".ad l", ".SH NAME", escaped(name).replace("-", "\\-") + " \\- " + escaped(summary)]
    page.out += synopsis(lines[fence + 1:close])
    page.out.append(".SH DESCRIPTION")
    body(lines[close + 1:], page)
    others = [other for other in see_also.split(",") if other]
    if others:
        page.out += [".SH \"SEE ALSO\"",
                     ", ".join("\\fB%s\\fR(1)" % o.replace("-", "\\-") for o in others)]
    return "\n".join(page.out) + "\n"


def main():
    readme_path, name, version, see_also, out_path = sys.argv[1:]
    with open(readme_path, encoding="utf-8") as readme:
        text = man_page(readme.read(), name, version, see_also).encode("utf-8")
    if out_path.endswith(".gz"):
        with open(out_path, "wb") as out, gzip.GzipFile("", "wb", 9, out, mtime=0) as packed:
            packed.write(text)
    else:
        with open(out_path, "wb") as out:
            out.write(text)


if __name__ == "__main__":
    main()
