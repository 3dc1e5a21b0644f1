#!/usr/bin/env python3
"""Writes the project files the schedule file tests read, byte by byte and independently of the
add-on's writer: the version 4 file the writer must reproduce exactly, and files of the older
versions 1 to 3 as earlier releases wrote them."""
import datetime
import struct
from pathlib import Path

EPOCH = datetime.datetime(1601, 1, 1)


def ticks(*fields):
    return int((datetime.datetime(*fields) - EPOCH).total_seconds()) * 10_000_000


def date(*fields, status=0):
    return struct.pack('<iq', status, ticks(*fields))


def record(task_id, task_type, start, finish, name):
    raw = name.encode('cp1250')
    return struct.pack('<ii', task_id, task_type) + start + finish + struct.pack('<Q', len(raw)) + raw


def project(version, records):
    return b'BVBF' + struct.pack('<ii', version, len(records)) + bytes(52) + b''.join(records)


here = Path(__file__).parent

# Version 4: every construction type, Hungarian names, an empty name.
(here / 'schedule_v4.csp').write_bytes(project(4, [
    record(1, 0, date(2009, 3, 2), date(2009, 3, 5), 'Alapozás'),
    record(2, 1, date(2009, 3, 5), date(2009, 3, 7), 'Bontás'),
    record(3, 2, date(2009, 3, 9), date(2009, 3, 14), 'Felújítás'),
    record(10, 3, date(2009, 1, 1), date(2010, 1, 1), 'Rögzített'),
    record(11, 4, date(2009, 4, 1), date(2009, 4, 30), 'Ideiglenes állványzat'),
    record(12, 0, date(2009, 5, 1), date(2009, 5, 2), ''),
]))

# Older versions: times of day are dropped on reading; versions 1 and 2 stored the last day.
older = [
    record(1, 2, date(2009, 3, 2, 8, 30), date(2009, 3, 10, 12), 'Falazás'),
    record(2, 3, date(2009, 3, 2), date(2009, 3, 10), 'Állványzat'),
    record(3, 4, date(2009, 3, 2), date(2009, 3, 10), 'Tetőfelújítás'),
    record(4, 0, date(2009, 3, 2), date(2009, 3, 10), 'Zsaluzás'),
    record(5, 1, date(2009, 3, 2), date(2009, 3, 10), 'Bontás'),
]
for version in (1, 2, 3):
    (here / f'schedule_v{version}.csp').write_bytes(project(version, older))
