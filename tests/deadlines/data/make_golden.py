#!/usr/bin/python3
"""Writes the golden dates of series rules and public holidays with
python3-dateutil (rrule, relativedelta) and python3-holidays, independently
of the program's own code. Run once by hand; the output is committed:

    /usr/bin/python3 tests/deadlines/data/make_golden.py tests/deadlines/data

Debian 12 ships python3-holidays 0.10.1. Where it differs from the law, the
law is followed here and the correction is named below.
"""
import datetime as dt
import itertools
import sys

import holidays
from dateutil.relativedelta import relativedelta
from dateutil.rrule import DAILY, MONTHLY, WEEKLY, YEARLY, MO, TU, WE, TH, FR, SA, SU, rrule

D = dt.date
WEEKDAYS = [MO, TU, WE, TH, FR, SA, SU]
# England and Wales for the United Kingdom: Scotland and Northern Ireland keep
# other bank holidays, so no UK-wide set exists beyond their common days.
LIB = {"IT": "IT", "DE": "DE", "FR": "FRA", "ES": "ES", "GB": "England", "US": "US"}


def observed_us(day):
    return day - dt.timedelta(1) if day.weekday() == 5 else day + dt.timedelta(1) if day.weekday() == 6 else day


def holiday_set(code, year):
    """The days off falling in the year, substitutes included."""
    days = set()
    for y in (year - 1, year, year + 1):
        days |= set(holidays.CountryHoliday(LIB[code], years=y).keys())
        if code == "IT" and y >= 2026:
            # Not in 0.10.1: Saint Francis of Assisi (4 October) is a national
            # holiday again from 2026 (Italian law of October 2025).
            days.add(D(y, 10, 4))
        if code == "US" and y >= 2021:
            # Not in 0.10.1: Juneteenth, a federal holiday since 2021, observed
            # like the others.
            days |= {D(y, 6, 19), observed_us(D(y, 6, 19))}
    return sorted(d for d in days if d.year == year)


_cache = {}


def is_working(day, code):
    if day.weekday() >= 5:
        return False
    if not code:
        return True
    key = (code, day.year)
    if key not in _cache:
        _cache[key] = set(holiday_set(code, day.year))
    return day not in _cache[key]


def shifted(day, shift, code):
    step = {"previous": -1, "next": 1}.get(shift)
    while step and not is_working(day, code):
        day += dt.timedelta(step)
    return day


def finish(scheduled, shift, code, count):
    out = []
    for s in scheduled:
        d = shifted(s, shift, code)
        if not out or out[-1] != d:
            out.append(d)
        if count and len(out) == count:
            break
    return out


def last_day(first, interval=1):
    return lambda: (first + relativedelta(months=k * interval, day=31) for k in range(100000))


def clamped(first, **step):
    # relativedelta keeps the day and falls back to the month's last day.
    return lambda: (first + relativedelta(**{key: k * value for key, value in step.items()}) for k in range(100000))


END = D(2031, 12, 31)
cases = []


def case(text, first, scheduled, count=0, shift="none", code="", until=None):
    """scheduled() yields the dates before any shift, from first on."""
    dates = (x.date() if isinstance(x, dt.datetime) else x for x in scheduled())
    if until:
        dates = itertools.takewhile(lambda d: d <= until, dates)
    cases.append((text, first, count, finish(dates, shift, code, count)))


def rule(freq, interval=1, shift="none", code="", until=None, ordinal=None, weekday=None):
    parts = ["freq=" + freq, "interval=%d" % interval]
    if ordinal is not None:
        parts += ["ordinal=%d" % ordinal, "weekday=%d" % weekday]
    parts.append("shift=" + shift)
    if code:
        parts.append("holidays=" + code)
    if until:
        parts.append("until=" + until.isoformat())
    return ";".join(parts)


def rr(freq, first, **kw):
    return lambda: rrule(freq, dtstart=dt.datetime.combine(first, dt.time()), **kw)


# The five plain cadences (count up to the end of 2031).
case("cadence=0", D(2027, 1, 30), rr(DAILY, D(2027, 1, 30)), 1797)
case("cadence=1", D(2027, 1, 4), rr(WEEKLY, D(2027, 1, 4)), 260)
case("cadence=2", D(2027, 1, 31), last_day(D(2027, 1, 31)), 60)
case("cadence=2", D(2027, 1, 30), clamped(D(2027, 1, 30), months=1), 60)
case("cadence=2", D(2028, 2, 28), rr(MONTHLY, D(2028, 2, 28)), 46)
case("cadence=3", D(2027, 11, 30), last_day(D(2027, 11, 30), 3), 17)
case("cadence=3", D(2027, 8, 29), clamped(D(2027, 8, 29), months=3), 18)
case("cadence=4", D(2028, 2, 29), clamped(D(2028, 2, 29), years=1), 4)

# Every N days, weeks, months, years; an end after a count or on a date.
case(rule("days", 3), D(2027, 1, 1), rr(DAILY, D(2027, 1, 1), interval=3), 600)
case(rule("days", 10, until=END), D(2027, 1, 5), rr(DAILY, D(2027, 1, 5), interval=10), until=END)
case(rule("weeks", 2), D(2027, 1, 8), rr(WEEKLY, D(2027, 1, 8), interval=2), 130)
case(rule("weeks", 3, until=END), D(2027, 2, 3), rr(WEEKLY, D(2027, 2, 3), interval=3), until=END)
case(rule("months", 2), D(2027, 1, 31), last_day(D(2027, 1, 31), 2), 30)
case(rule("months", 6, until=END), D(2027, 8, 30), clamped(D(2027, 8, 30), months=6), until=END)
case(rule("months", 5), D(2027, 3, 15), rr(MONTHLY, D(2027, 3, 15), interval=5), 12)
case(rule("years", 2, until=END), D(2028, 2, 29), clamped(D(2028, 2, 29), years=2), until=END)
case(rule("years", 1), D(2027, 4, 30), rr(YEARLY, D(2027, 4, 30)), 5)

# The n-th and the last weekday of every N months.
for ordinal in (1, 2, 3, 4, -1):
    for weekday in (1, 4, 5, 7):
        for interval in (1, 2):
            first = D(2027, 1, 10 + ordinal)
            by = WEEKDAYS[weekday - 1](ordinal)
            case(rule("weekday", interval, ordinal=ordinal, weekday=weekday, until=END), first,
                 rr(MONTHLY, first, interval=interval, byweekday=by), until=END)

# The last working day of the month, without and with holidays.
for code in ("", "IT", "DE", "FR", "ES", "GB", "US"):
    first = D(2027, 1, 1)
    case(rule("lastworkingday", 1, code=code, until=END), first,
         rr(MONTHLY, first, byweekday=(MO, TU, WE, TH, FR), bysetpos=-1), shift="previous", code=code, until=END)
case(rule("lastworkingday", 3, code="IT"), D(2027, 2, 10),
     rr(MONTHLY, D(2027, 2, 10), interval=3, byweekday=(MO, TU, WE, TH, FR), bysetpos=-1), 18, shift="previous",
     code="IT")

# Shifts with month ends, with holidays on weekends and their substitutes.
for code in ("", "IT", "DE", "FR", "ES", "GB", "US"):
    for shift in ("previous", "next"):
        case(rule("months", 1, shift, code, END), D(2027, 1, 31), last_day(D(2027, 1, 31)), shift=shift, code=code,
             until=END)
        case(rule("months", 1, shift, code, END), D(2027, 1, 25), rr(MONTHLY, D(2027, 1, 25)), shift=shift, code=code,
             until=END)
        case(rule("months", 1, shift, code, END), D(2027, 1, 1), rr(MONTHLY, D(2027, 1, 1)), shift=shift, code=code,
             until=END)
        case(rule("years", 1, shift, code, END), D(2027, 12, 25), rr(YEARLY, D(2027, 12, 25)), shift=shift, code=code,
             until=END)
        case(rule("weekday", 1, shift, code, END, 1, 1), D(2027, 1, 1),
             rr(MONTHLY, D(2027, 1, 1), byweekday=MO(1)), shift=shift, code=code, until=END)
    # Every day moved to a working day: the working days, each once.
    case(rule("days", 1, "next", code), D(2027, 12, 20), rr(DAILY, D(2027, 12, 20)), 300, shift="next", code=code)

out = sys.argv[1] if len(sys.argv) > 1 else "."
with open(out + "/recurrence.txt", "w") as f:
    f.write("# rule|first|count (0: up to the rule's end)|dates\n")
    for text, first, count, dates in cases:
        f.write("%s|%s|%d|%s\n" % (text, first.isoformat(), count, " ".join(d.isoformat() for d in dates)))
with open(out + "/holidays.txt", "w") as f:
    f.write("# country year|days off falling in the year\n")
    for code in ("IT", "DE", "FR", "ES", "GB", "US"):
        for year in range(2025, 2036):
            f.write("%s %d|%s\n" % (code, year, " ".join(d.isoformat() for d in holiday_set(code, year))))
