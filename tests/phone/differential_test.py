#!/usr/bin/python3
"""The phone-number unit against Python's phonenumbers (Debian's
python3-phonenumbers), a port of the common phone-number library written by
others. Numbers of North American, European and Asian countries, made from
the library's own examples with other last digits, are written in every
form people and address books use; each, and every TEL value of the
converter's case folders, goes through the unit (PHONE_FIELDS prints what it
read) and through phonenumbers. Country code, national number and extension
are compared wherever the unit claims to know them.

A few disagreements are the unit's rules, and are counted apart (see
DELIBERATE); any other fails the test.

Usage: differential_test.py PHONE_FIELDS SOURCE_DIR
Exits 77 (skipped) when phonenumbers is not installed.
"""
import glob
import os
import random
import subprocess
import sys
from collections import Counter, defaultdict

try:
    import phonenumbers
    from phonenumbers import PhoneNumberFormat, PhoneNumberType
except ImportError:
    print("skipped: phonenumbers is not installed (Debian package python3-phonenumbers)")
    sys.exit(77)

PROGRAM, SOURCE = sys.argv[1], sys.argv[2]
NORTH_AMERICA = ["US", "CA"]
EUROPE = ["GB", "DE", "FR", "IT", "ES", "NL", "CH", "AT", "PL", "SE", "IE", "PT", "RU", "BE", "NO", "GR"]
ASIA = ["CN", "JP", "IN", "KR", "SG", "HK", "TW", "TH", "VN", "ID", "PH", "MY", "IL", "AE", "PK"]
PER_REGION = 12  # numbers of each type
rng = random.Random(26)


def varied(example, region):
    """The example number with other last four digits, still valid there."""
    national = phonenumbers.national_significant_number(example)
    for _ in range(20):
        digits = national[:-4] + "".join(rng.choice("0123456789") for _ in range(4))
        number = phonenumbers.parse("+" + str(example.country_code) + digits, None)
        if phonenumbers.is_valid_number_for_region(number, region):
            return number
    return example


def numbers_of(region):
    for kind in (PhoneNumberType.FIXED_LINE, PhoneNumberType.MOBILE):
        example = phonenumbers.example_number_for_type(region, kind)
        if example is not None:
            for _ in range(PER_REGION):
                yield varied(example, region)


def forms(number, region):
    """(text, region phonenumbers reads it for) in each written form."""
    international = phonenumbers.format_number(number, PhoneNumberFormat.INTERNATIONAL)
    national = phonenumbers.format_number(number, PhoneNumberFormat.NATIONAL)
    e164 = phonenumbers.format_number(number, PhoneNumberFormat.E164)
    tel = phonenumbers.format_number(number, PhoneNumberFormat.RFC3966)
    cc = str(number.country_code)
    ext = str(rng.randint(1, 9999))
    yield international, None
    yield e164, None
    yield tel, None
    yield tel + ";ext=" + ext, None
    yield international + " ext. " + ext, None
    yield international + " x" + ext, None
    yield international + " #" + ext, None
    groups = international[len(cc) + 2:].split(" ")
    if len(groups) > 1:
        yield "+" + cc + "(" + groups[0] + ")" + "".join(groups[1:]), None
    yield national, region
    yield national + " ext " + ext, region
    if region in NORTH_AMERICA:
        nsn = phonenumbers.national_significant_number(number)
        area, exchange, line = nsn[:3], nsn[3:6], nsn[6:]
        for text in (f"({area}) {exchange}-{line}", f"{area}-{exchange}-{line}", f"{area}.{exchange}.{line}",
                     f"{area} {exchange} {line}", f"{area}/{exchange}-{line}", nsn, f"1-{area}-{exchange}-{line}",
                     f"1 ({area}) {exchange}-{line}", f"1{nsn}", f"{exchange}-{line}", f"{exchange}{line}",
                     f"{exchange}-{line} x{ext}", f"tel:{exchange}-{line};phone-context=+1-{area}"):
            yield text, region
    else:
        metadata = phonenumbers.PhoneMetadata.metadata_for_region(region)
        if metadata.national_prefix == "0" and national.startswith("0") and region != "IT":
            yield f"+{cc} (0){national[1:]}", None


def case_tel_values():
    """Every TEL value of the converter's case folders, unfolded."""
    values = []
    for path in sorted(glob.glob(os.path.join(SOURCE, "tests/convert/cases/*/*.vcf"))):
        with open(path, "rb") as card:
            text = card.read()
        if text[:2] in (b"\xff\xfe", b"\xfe\xff"):
            continue  # UTF-16: the same numbers as the UTF-8 cases
        lines = text.decode("utf-8", "replace").replace("\r\n", "\n").replace("\r", "\n").split("\n")
        unfolded = []
        for line in lines:
            if line[:1] in (" ", "\t") and unfolded:
                unfolded[-1] += line[1:]
            else:
                unfolded.append(line)
        for line in unfolded:
            head, _, value = line.partition(":")
            if head.split(";")[0].split(".")[-1].upper() == "TEL" and value.strip():
                values.append((value.replace("\\,", ",").replace("\\;", ";").strip(), "US"))
    return values


def unit_fields(texts):
    run = subprocess.run([PROGRAM], input="\n".join(texts) + "\n", capture_output=True, text=True, check=True)
    rows = [line.split("\t") for line in run.stdout.split("\n")[:-1]]
    if len(rows) != len(texts):
        sys.exit(f"FAIL: {len(texts)} numbers in, {len(rows)} lines out")
    return rows


def deliberate(text, unit, theirs):
    """Why a disagreement is the unit's rule, or None."""
    kind, certainty, cc = unit[0], unit[1], unit[2]
    plus = text.lstrip().startswith("+") or text.lower().startswith("tel:+")
    if kind == "north-american" and not plus and theirs is not None and theirs.country_code != 1:
        return ("a national number of another country, ten digits or eleven starting with 1, is taken as "
                "North American where no + says otherwise (eleven with a warning)")
    if kind == "not-a-number" and theirs is not None:
        return ("text with letters or control characters is not a number, where phonenumbers drops them or "
                "reads letters as keypad digits (1-800-FLOWERS)")
    if kind == "local" and theirs is not None and theirs.country_code != 1:
        return "seven digits with no + are a North American local number"
    return None


def main():
    inputs = []
    for region in NORTH_AMERICA + EUROPE + ASIA:
        for number in numbers_of(region):
            inputs.extend(forms(number, region))
    inputs.extend(case_tel_values())
    rows = unit_fields([text for text, _ in inputs])

    compared = Counter()   # field comparisons
    agreed = Counter()
    deliberate_found = defaultdict(list)
    failures = []
    kinds = Counter()
    not_claimed = []  # digits of a country the unit does not name without a +
    for (text, region), unit in zip(inputs, rows):
        kind, certainty, cc, area, national, subscriber, extension = unit[:7]
        kinds[kind] += 1
        try:
            theirs = phonenumbers.parse(text, region)
        except phonenumbers.NumberParseException:
            theirs = None
        if kind in ("not-a-number", "digits"):
            # The unit claims no country and no split; phonenumbers may read
            # more (it knows every country's plan).
            why = deliberate(text, unit, theirs)
            if why:
                deliberate_found[why].append(text)
            elif theirs is not None and phonenumbers.is_valid_number(theirs):
                not_claimed.append(text)
            continue
        if theirs is None:
            failures.append(f"{text!r}: the unit reads {kind} {national}, phonenumbers cannot read it")
            continue
        their_national = phonenumbers.national_significant_number(theirs)
        their_extension = theirs.extension or ""
        fields = [("national number", national, their_national), ("extension", extension, their_extension)]
        if kind != "local":
            fields.insert(0, ("country code", cc, str(theirs.country_code)))
        else:
            # seven digits: phonenumbers, read for a region, may take its
            # own area code as known; the unit knows the seven only.
            fields[0] = ("national number", national, their_national[-7:])
        wrong = [(name, ours, their) for name, ours, their in fields if ours != their]
        for name, ours, their in fields:
            compared[name] += 1
            agreed[name] += ours == their
        if wrong:
            why = deliberate(text, unit, theirs)
            if why:
                deliberate_found[why].append(f"{text} ({region})")
            else:
                failures.append(f"{text!r} (for {region}): " + "; ".join(
                    f"{name} {ours!r}, phonenumbers {their!r}" for name, ours, their in wrong))

    total = sum(compared.values())
    print(f"{len(inputs)} numbers ({len(case_tel_values())} TEL values of the case folders); unit's kinds: "
          + ", ".join(f"{k} {v}" for k, v in sorted(kinds.items())))
    for name in compared:
        print(f"{name}: {agreed[name]} of {compared[name]} agree")
    print(f"all fields: {sum(agreed.values())} of {total} agree ({100.0 * sum(agreed.values()) / total:.2f}%)")
    print(f"not claimed: {len(not_claimed)} numbers in another country's national form (a trunk 0 or another "
          f"length), which the unit keeps as digits of no known country; e.g. {not_claimed[:3]}")
    for why, texts in deliberate_found.items():
        regions = Counter(text[text.rindex("(") + 1:-1] for text in texts if text.endswith(")"))
        print(f"deliberate, {len(texts)} numbers: {why}; by region {dict(regions)}; e.g. {texts[:3]}")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


sys.exit(main())
