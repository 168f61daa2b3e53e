#!/usr/bin/env python3
"""Writes data/lookup/natio.tsv from Debian's iso-codes package.

The nationality table is the ISO 3166-1 list of countries: the alpha-3 code
as key, then the German and the French country name. iso-codes ships the
list as JSON and the translations as gettext catalogues; this script runs
only when the table is refreshed (the build reads the checked-in text).

Usage: generate_natio.py [OUTPUT]   (default: data/lookup/natio.tsv)
Needs: apt-get install iso-codes
"""
import gettext
import json
import os
import sys

ISO_JSON = "/usr/share/iso-codes/json/iso_3166-1.json"
LOCALE_DIR = "/usr/share/locale"

# The stored form is Latin-1; typographic characters that some translations
# use are written as their plain equivalents. Anything else outside Latin-1
# stops the script, so that no name is silently damaged.
REPLACEMENTS = {
    "\u2019": "'",  # right single quotation mark
    "\u2018": "'",
    "\u2013": "-",  # en dash
    "\u2010": "-",
    "\u00a0": " ",
}


def latin1(text, code, language):
    out = "".join(REPLACEMENTS.get(ch, ch) for ch in text)
    try:
        out.encode("latin-1")
    except UnicodeEncodeError:
        sys.exit(f"{code}: {language} name {text!r} has a character outside Latin-1; extend REPLACEMENTS")
    if "\t" in out or "\n" in out:
        sys.exit(f"{code}: {language} name contains a TAB or line feed")
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "lookup", "natio.tsv")
    if not os.path.exists(ISO_JSON):
        sys.exit(f"{ISO_JSON} not found: apt-get install iso-codes")
    with open(ISO_JSON, encoding="utf-8") as f:
        countries = json.load(f)["3166-1"]
    de = gettext.translation("iso_3166-1", LOCALE_DIR, languages=["de"])
    fr = gettext.translation("iso_3166-1", LOCALE_DIR, languages=["fr"])
    rows = []
    for c in countries:
        name = c["name"]
        rows.append((c["alpha_3"], latin1(de.gettext(name), c["alpha_3"], "German"),
                     latin1(fr.gettext(name), c["alpha_3"], "French")))
    rows.sort(key=lambda r: r[0].encode("latin-1"))
    with open(target, "w", encoding="utf-8", newline="\n") as f:
        f.write("Code\tLand (ISO 3166-1, aus iso-codes generiert)\tPays (ISO 3166-1, généré depuis iso-codes)\n")
        for r in rows:
            f.write("\t".join(r) + "\n")


if __name__ == "__main__":
    main()
