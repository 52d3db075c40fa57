#!/usr/bin/python3
# Writes workbook.xls, the small .xls read by the Jet reader tests.
# Needs Debian's python3-xlwt; run it again only to change the file.
import datetime
import xlwt

book = xlwt.Workbook(encoding="utf-8")
date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
datetime_style = xlwt.easyxf(num_format_str="YYYY-MM-DD HH:MM:SS")

clients = book.add_sheet("Clients")
for column, name in enumerate(["id", "name", "joined", "note", "mixed"]):
    clients.write(0, column, name)
rows = [
    (1, "Zoë Ångström", datetime.date(2021, 3, 4), "short", 7),
    (2.5, "O'Brien \"Ltd\"", datetime.datetime(1999, 12, 31, 23, 59, 58), "x" * 300, "seven"),
    (3, None, None, None, None),
]
for row, values in enumerate(rows, start=1):
    for column, value in enumerate(values):
        if value is None:
            continue
        if isinstance(value, datetime.datetime):
            clients.write(row, column, value, datetime_style)
        elif isinstance(value, datetime.date):
            clients.write(row, column, value, date_style)
        else:
            clients.write(row, column, value)

prices = book.add_sheet("Price List")
prices.write(0, 0, "item")
prices.write(0, 1, "")
prices.write(1, 0, "pen")
prices.write(1, 1, 1.25)

book.save("workbook.xls")
