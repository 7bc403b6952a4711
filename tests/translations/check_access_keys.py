#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# Fails when two texts of one window or one menu share an access key (the letter after "&")
# in the code's own texts or in any translation: Alt with that letter would press only one.
# A window or a menu is one translation context; texts with a disambiguation belong to the
# group that it names (a submenu within its menu's context).
import collections
import sys
import xml.etree.ElementTree as ElementTree


def access_key(text):
    at = 0
    while (at := text.find("&", at)) >= 0 and at + 1 < len(text):
        if text[at + 1] != "&":
            return text[at + 1].lower()
        at += 2
    return None


status = 0
for path in sys.argv[1:]:
    groups = collections.defaultdict(lambda: collections.defaultdict(list))
    for context in ElementTree.parse(path).getroot().iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            translation = message.find("translation")
            if message.get("numerus") == "yes" or translation is None:
                continue
            source = message.findtext("source")
            shown = translation.text or source
            group = (name, message.findtext("comment") or "")
            for language, text in (("source", source), (path, shown)):
                if (key := access_key(text)) is not None:
                    groups[(language,) + group][key].append(text)
    for (language, context, comment), keys in sorted(groups.items()):
        for key, texts in sorted(keys.items()):
            if len(set(texts)) > 1:
                where = context + (f" ({comment})" if comment else "")
                print(f"{language}: {where}: Alt+{key.upper()} is on {', '.join(sorted(set(texts)))}",
                      file=sys.stderr)
                status = 1
sys.exit(status)
