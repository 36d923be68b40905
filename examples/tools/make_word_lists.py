#!/usr/bin/env python3
"""Makes the sample medium's FROM word lists from FreeDict dictionaries.

Usage: make_word_lists.py DICTD-FOLDER OUT-FOLDER

DICTD-FOLDER holds freedict-eng-fra.{index,dict.dz} and
freedict-deu-fra.{index,dict.dz}, from Debian's packages
dict-freedict-eng-fra and dict-freedict-deu-fra (apt-get download, then
dpkg-deb -x). Each FROM record pairs a foreign headword (key, at most 30
characters) with its French translations separated by commas (value, at
most 50 characters; each translation at most 30, the length of a key of the
reversed list), in Windows-1252, 84 bytes a record.
"""
import gzip
import re
import struct
import sys

B64 = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/'


def b64number(text):
    value = 0
    for ch in text:
        value = value * 64 + B64.index(ch)
    return value


def articles(folder, name):
    data = gzip.open(f'{folder}/freedict-{name}.dict.dz').read()
    with open(f'{folder}/freedict-{name}.index', encoding='utf-8') as index:
        for line in index:
            headword, offset, length = line.rstrip('\n').split('\t')
            if headword.startswith('00database'):
                continue
            start = b64number(offset)
            yield data[start:start + b64number(length)].decode('utf-8')


def lines_of(article):
    return [l for l in article.strip().split('\n') if l.strip()]


def record(key, translations):
    try:
        key_bytes = key.encode('cp1252')
    except UnicodeEncodeError:
        return None
    value = b''
    for word in translations:
        try:
            encoded = word.encode('cp1252')
        except UnicodeEncodeError:
            continue
        # A translation becomes a key of the reversed list, at most 30 bytes.
        if not encoded or b',' in encoded or len(encoded) > 30:
            continue
        candidate = encoded if not value else value + b',' + encoded
        if len(candidate) <= 50:
            value = candidate
    if not key_bytes or len(key_bytes) > 30 or not value:
        return None
    return key_bytes.ljust(31, b'\0') + value.ljust(51, b'\0') + b'\0\0'


def parse(article, first_line_only):
    """The headword without pronunciations and grammar tags, and its French
    translations. The German-French articles go on with German explanations
    after the line of translations: only that line is taken there."""
    lines = [l.strip() for l in article.strip().split('\n') if l.strip()]
    headword = re.sub(r'<[^>]*>', '', lines[0])
    headword = re.sub(r'/[^/]*/', '', headword).strip()
    translations = []
    for line in lines[1:2] if first_line_only else lines[1:]:
        line = re.sub(r'\s+\d+\.$', '', line)
        line = re.sub(r'^\d+\.\s*', '', line)
        line = re.sub(r'\([^)]*\)', '', line)
        for part in re.split(r'[,;]', line):
            part = part.strip()
            if part and part not in translations:
                translations.append(part)
    return headword, translations


def build(folder, name, out, keep_every, first_line_only):
    records = []
    seen = set()
    for i, article in enumerate(articles(folder, name)):
        if len(lines_of(article)) < 2:
            continue
        headword, translations = parse(article, first_line_only)
        if i % keep_every or headword in seen:
            continue
        rec = record(headword, translations)
        if rec:
            seen.add(headword)
            records.append(rec)
    with open(out, 'wb') as f:
        f.write(b''.join(records))
    return len(records)


if __name__ == '__main__':
    folder, out = sys.argv[1], sys.argv[2]
    print('anglais.wb', build(folder, 'eng-fra', f'{out}/anglais.wb', 4, False))
    print('allemand.wb', build(folder, 'deu-fra', f'{out}/allemand.wb', 16, True))
