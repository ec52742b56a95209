#!/usr/bin/env python3
"""Writes data/Fields.ini, the delivered field bank.

The credit card years start at the year the file is made, so run it again now and then
(and before a release) to keep the list current.
"""
import datetime
import os

HERE = os.path.dirname(os.path.abspath(__file__))
TARGET = os.path.join(HERE, "..", "data", "Fields.ini")

TEXT_BOX, TEXT_AREA, RADIO, CHECK_BOX, DROP_DOWN = 0, 1, 2, 3, 4

DEFAULT_FIELDS = [
    ("Name", TEXT_BOX),
    ("E-Mail", TEXT_BOX),
    ("Address", TEXT_BOX),
    ("City", TEXT_BOX),
    ("State", DROP_DOWN),
    ("Zip Code/Postal Code", TEXT_BOX),
]

FIELD_BANK = DEFAULT_FIELDS + [
    ("Comments", TEXT_AREA),
    ("Your Web Address", TEXT_BOX),
    ("Company Name", TEXT_BOX),
    ("Phone Number", TEXT_BOX),
    ("Preferred Contact", RADIO),
    ("Interests", CHECK_BOX),
    ("Credit Card Type", DROP_DOWN),
    ("Credit Card Number", TEXT_BOX),
    ("Credit Card Exp Month", DROP_DOWN),
    ("Credit Card Exp Year", DROP_DOWN),
]

STATES = [
    ("AL", "Alabama"), ("AK", "Alaska"), ("AZ", "Arizona"), ("AR", "Arkansas"),
    ("CA", "California"), ("CO", "Colorado"), ("CT", "Connecticut"), ("DE", "Delaware"),
    ("DC", "District of Columbia"), ("FL", "Florida"), ("GA", "Georgia"), ("HI", "Hawaii"),
    ("ID", "Idaho"), ("IL", "Illinois"), ("IN", "Indiana"), ("IA", "Iowa"), ("KS", "Kansas"),
    ("KY", "Kentucky"), ("LA", "Louisiana"), ("ME", "Maine"), ("MD", "Maryland"),
    ("MA", "Massachusetts"), ("MI", "Michigan"), ("MN", "Minnesota"), ("MS", "Mississippi"),
    ("MO", "Missouri"), ("MT", "Montana"), ("NE", "Nebraska"), ("NV", "Nevada"),
    ("NH", "New Hampshire"), ("NJ", "New Jersey"), ("NM", "New Mexico"), ("NY", "New York"),
    ("NC", "North Carolina"), ("ND", "North Dakota"), ("OH", "Ohio"), ("OK", "Oklahoma"),
    ("OR", "Oregon"), ("PA", "Pennsylvania"), ("RI", "Rhode Island"),
    ("SC", "South Carolina"), ("SD", "South Dakota"), ("TN", "Tennessee"), ("TX", "Texas"),
    ("UT", "Utah"), ("VT", "Vermont"), ("VA", "Virginia"), ("WA", "Washington"),
    ("WV", "West Virginia"), ("WI", "Wisconsin"), ("WY", "Wyoming"),
    ("AB", "Alberta"), ("BC", "British Columbia"), ("MB", "Manitoba"),
    ("NB", "New Brunswick"), ("NL", "Newfoundland and Labrador"), ("NS", "Nova Scotia"),
    ("ON", "Ontario"), ("PE", "Prince Edward Island"), ("QC", "Quebec"),
    ("SK", "Saskatchewan"), ("NT", "Northwest Territories"), ("NU", "Nunavut"),
    ("YT", "Yukon"),
]

MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]

CARDS = [("VISA", "Visa"), ("MC", "MasterCard"), ("AMEX", "American Express"),
         ("DISC", "Discover")]

CONTACT = [("email", "E-mail", "Yes"), ("phone", "Phone", "No"), ("mail", "Letter", "No")]

INTERESTS = [("news", "Newsletter", "No"), ("offers", "Special offers", "No"),
             ("events", "Events", "No")]


def section(name, lines):
    return "[%s]\r\n" % name + "".join(line + "\r\n" for line in lines) + "\r\n"


def fields(rows):
    return ["FIELD%d=%s|%d" % (i, name, kind) for i, (name, kind) in enumerate(rows)]


def options(key, rows):
    return ["%s%d=%s" % (key, i, "|".join(row)) for i, row in enumerate(rows)]


def main():
    year = datetime.date.today().year
    years = [(str(y), str(y)) for y in range(year, year + 10)]
    months = [("%02d" % (i + 1), name) for i, name in enumerate(MONTHS)]
    text = (section("Default Fields", fields(DEFAULT_FIELDS))
            + section("Field Bank", fields(FIELD_BANK))
            + section("State", options("State", STATES))
            + section("Preferred Contact", options("Preferred Contact", CONTACT))
            + section("Interests", options("Interests", INTERESTS))
            + section("CREDIT", options("CREDIT", CARDS))
            + section("MONTH", options("MONTH", months))
            + section("YEAR", options("YEAR", years)))
    with open(TARGET, "w", newline="") as out:
        out.write(text)


if __name__ == "__main__":
    main()
