#!/usr/bin/env python3
"""Manual pages and shell completion made from a program's --help, so that they
cannot drift from it: every option, ECU name and section of the help text shows up
in them, and what the help cannot say (the script language, files, examples) comes
from a roff file beside this script.

  make_manual.py man HELP.txt EXTRA.roff PROGRAM VERSION "SUMMARY" > PROGRAM.1
  make_manual.py bash|zsh HELP.txt TEMPLATE > completion

The help text's shape, as vazdiag's and vazdiag-ecu's are written:
  usage: PROG ...            synopsis (more lines start with blanks then PROG)
  text                       description, up to the first blank line
    --opt ARG   text         an option; deeper-indented lines continue it, and
                             lines deeper than its text are a nested list
  PROG sub ...               a subcommand, described by the indented lines below
  Heading (note):            a section; its entries as options
  Heading: text              a section of plain text (Exit status: ...)
"""
import re
import sys


def roff(text):
    """Text as roff sees it: backslashes, dashes and leading dots made literal."""
    text = text.replace("\\", "\\e").replace("-", "\\-")
    if text.startswith((".", "'")):
        text = "\\&" + text
    return text


def split_term(line):
    """'--ecu NAME    text' -> ('--ecu NAME', 'text', column of text)."""
    m = re.match(r"(\s*)(\S(?:.*?\S)?)(?:\s{2,}(\S.*))?$", line)
    indent, term, text = m.group(1), m.group(2), m.group(3) or ""
    col = line.index(text, len(indent) + len(term)) if text else -1
    return term, text, col


def term_roff(term):
    """Option names bold, their arguments italic: \\fB\\-\\-ecu\\fR \\fINAME\\fR."""
    words = term.split(" ")
    out = []
    for w in words:
        if w.startswith("-") or re.match(r"^[a-z][a-z0-9.-]*$", w) and not out:
            out.append("\\fB" + roff(w) + "\\fR")
        elif w.startswith("["):
            m = re.match(r"(\[)(--?[a-z-]+)(.*)$", w)
            out.append(("[\\fB" + roff(m.group(2)) + "\\fR" + roff(m.group(3))) if m else roff(w))
        else:
            out.append("\\fI" + roff(w) + "\\fR")
    return " ".join(out)


class Help:
    """The help text parsed: synopsis, description and sections of entries or text."""

    def __init__(self, text, program):
        self.program = program
        self.synopsis, self.description = [], []
        self.sections = []  # (title, note, entries, paragraphs); an entry: (term, [lines])
        lines = text.rstrip("\n").split("\n")
        i = 0
        while i < len(lines) and (lines[i].startswith("usage:") or (self.synopsis and lines[i].strip().startswith(program + " "))):
            self.synopsis.append(lines[i].split(":", 1)[1].strip() if lines[i].startswith("usage:") else lines[i].strip())
            i += 1
        while i < len(lines) and lines[i].strip() and not lines[i].startswith(" "):
            self.description.append(lines[i])
            i += 1
        section = self.new_section("OPTIONS", "")
        entry = None
        for line in lines[i:]:
            if not line.strip():
                entry = None
                continue
            if not line.startswith(" "):
                heading = re.match(r"([A-Z][A-Za-z ]*?)(?: \((.*)\))?:(?: (.*))?$", line)
                if line.startswith(program + " "):
                    if section[0] != "COMMANDS":
                        section = self.new_section("COMMANDS", "")
                    entry = (line, [])
                    section[2].append(entry)
                elif heading:
                    section = self.new_section(heading.group(1).upper(), heading.group(2) or "")
                    if heading.group(3):
                        section[3].append(heading.group(3))
                    entry = None
                elif section[3] and entry is None:
                    section[3][-1] += " " + line
                else:
                    section[3].append(line)
                    entry = None
                continue
            stripped = line.strip()
            indent = len(line) - len(line.lstrip())
            if entry is not None and indent > len(entry[0]) - len(entry[0].lstrip()) + 2:
                entry[1].append(line)
            elif section[3] and not section[2] and entry is None and not stripped.startswith("-") and "  " not in stripped:
                section[3][-1] += " " + stripped
            else:
                entry = (line, [])
                section[2].append(entry)

    def new_section(self, title, note):
        section = (title, note, [], [])
        self.sections.append(section)
        return section

    def options(self):
        """Every option named at the start of an entry: (name, argument or '')."""
        found = {}
        for title, _, entries, _ in self.sections:
            for line, _ in entries:
                m = re.match(r"\s*(--?[A-Za-z][\w-]*)(?: (\S+))?", line)
                if m and title != "COMMANDS":
                    found.setdefault(m.group(1), m.group(2) or "")
        return found

    def section_terms(self, title):
        for t, _, entries, _ in self.sections:
            if t == title:
                return [split_term(line)[0] for line, _ in entries]
        return []


def entry_roff(line, more):
    term, text, col = split_term(line)
    out = [".TP", term_roff(term)]
    body = [text] if text else []
    nested = False
    if col < 0 and more:
        col = len(more[0]) - len(more[0].lstrip())
    for m in more:
        indent = len(m) - len(m.lstrip())
        if indent > col:
            if not nested:
                out += [roff(" ".join(body))] if body else []
                body = []
                out.append(".RS")
                nested = True
            sub, subtext, _ = split_term(m)
            if subtext:
                out += [".TP", "\\fB" + roff(sub) + "\\fR", roff(subtext)]
            else:
                out.append(roff(m.strip()))
        else:
            if nested:
                out.append(".RE")
                nested = False
            body.append(m.strip())
    if body:
        out.append(roff(" ".join(body)))
    if nested:
        out.append(".RE")
    return out


def man(help_file, extra_file, program, version, summary):
    h = Help(open(help_file).read(), program)
    out = ['.TH %s 1 "" "%s %s" "User Commands"' % (program.upper(), program, version)]
    out += [".SH NAME", "%s \\- %s" % (program, roff(summary)), ".SH SYNOPSIS"]
    for i, s in enumerate(h.synopsis):
        if i:
            out.append(".br")
        first, _, rest = s.partition(" ")
        out.append("\\fB%s\\fR %s" % (roff(first), term_roff(rest) if rest else ""))
    for line, _ in next((e for t, _, e, _ in h.sections if t == "COMMANDS"), []):
        out += [".br", term_roff(line)]
    out += [".SH DESCRIPTION", roff(" ".join(d.strip() for d in h.description))]
    for title, note, entries, paragraphs in h.sections:
        if not entries and not paragraphs:
            continue
        out.append(".SH " + title)
        if note:
            out += [roff(note[0].upper() + note[1:] + ".")]
        for line, more in entries:
            out += entry_roff(line, more)
        for p in paragraphs:
            out += [".PP", roff(p)]
    out.append(open(extra_file).read().rstrip("\n"))
    return "\n".join(out) + "\n"


def completion(help_file, template_file, program):
    h = Help(open(help_file).read(), program)
    options = h.options()
    names = sorted(options)
    with_value = sorted(o for o, arg in options.items() if arg)
    choices = {o: arg.split("|") for o, arg in options.items() if "|" in arg}
    ecus = h.section_terms("ECU NAMES")
    files = sorted(o for o, arg in options.items() if re.search(r"FILE|DIR|PATH", arg))
    # command -> its options, from "PROG history [--car TEXT] [--history FILE]"; a command
    # with several forms ("PROG report N --server [-o FILE.html]") takes the options of all.
    commands = {}
    for line in h.section_terms("COMMANDS"):
        words = line.split()
        opts = commands.setdefault(words[1], [])
        for found in re.findall(r"\[(--?[a-z-]+)(?: ([^\]]+))?\]", line) + [
                (w, "") for w in words[2:] if re.fullmatch(r"--[a-z-]+", w)]:
            if found[0] not in [o for o, _ in opts]:
                opts.append(found)
    text = open(template_file).read()
    text = text.replace("@OPTIONS@", " ".join(names)).replace("@VALUE_OPTIONS@", " ".join(with_value))
    text = text.replace("@ECUS@", " ".join(ecus))
    text = text.replace("@VALUE_OPTIONS_PATTERN@", "|".join(with_value))
    text = text.replace("@FILE_OPTIONS_PATTERN@", "|".join(files))
    text = text.replace("@COMMANDS@", " ".join(commands))
    def command_case(c, opts, files_do, value_do, list_do):
        file_opts = "|".join(o for o, a in opts if re.search(r"FILE|DIR|PATH", a))
        value_opts = "|".join(o for o, a in opts if a and not re.search(r"FILE|DIR|PATH", a))
        inner = "".join(" %s) %s; return ;;" % (p, do) for p, do in ((file_opts, files_do), (value_opts, value_do)) if p)
        return "    %s) case $prev in%s esac\n      %s; return ;;" % (c, inner, list_do % " ".join(o for o, _ in opts))
    text = text.replace("@COMMANDS_BASH@", "\n".join(
        command_case(c, o, "_filedir", ":", "COMPREPLY=($(compgen -W '%s' -- \"$cur\"))") for c, o in commands.items()))
    text = text.replace("@COMMANDS_ZSH@", "\n".join(
        command_case(c, o, "_files", "_message value", "compadd -- %s") for c, o in commands.items()))
    text = text.replace("@CHOICES_BASH@", "\n".join(
        "    %s) COMPREPLY=($(compgen -W '%s' -- \"$cur\")); return ;;" % (o, " ".join(v)) for o, v in sorted(choices.items())))
    text = text.replace("@CHOICES_ZSH@", "\n".join(
        "    %s) _values %s %s; return ;;" % (o, "'" + o[2:] + "'", " ".join(v)) for o, v in sorted(choices.items())))
    return text


def main():
    mode = sys.argv[1]
    if mode == "man":
        sys.stdout.write(man(*sys.argv[2:7]))
    else:
        sys.stdout.write(completion(sys.argv[2], sys.argv[3], sys.argv[4] if len(sys.argv) > 4 else "vazdiag"))


if __name__ == "__main__":
    main()
