#!/usr/bin/python3
"""Reads an exported file with an independent reader and prints its cells as JSON.

.xls through xlrd, .xlsx through openpyxl, .csv through the csv module.
Output: {"rows": [[cell, ...], ...], "captionBold": [bool, ...]} where a cell is
null (empty) or {"t": "s"|"n"|"b"|"d", "v": value, "f": number format of dates}.
"""
import csv
import json
import sys


def read_xls(path):
    import xlrd
    book = xlrd.open_workbook(path, formatting_info=True)
    sheet = book.sheet_by_index(0)
    rows = []
    for r in range(sheet.nrows):
        row = []
        for c in range(sheet.ncols):
            cell = sheet.cell(r, c)
            if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
                row.append(None)
            elif cell.ctype == xlrd.XL_CELL_TEXT:
                row.append({"t": "s", "v": cell.value})
            elif cell.ctype == xlrd.XL_CELL_NUMBER:
                row.append({"t": "n", "v": cell.value})
            elif cell.ctype == xlrd.XL_CELL_BOOLEAN:
                row.append({"t": "b", "v": bool(cell.value)})
            elif cell.ctype == xlrd.XL_CELL_DATE:
                when = xlrd.xldate_as_datetime(cell.value, book.datemode)
                fmt = book.format_map[book.xf_list[cell.xf_index].format_key].format_str
                row.append({"t": "d", "v": when.isoformat(sep=" "), "f": fmt})
            else:
                row.append({"t": "?", "v": repr(cell.value)})
        rows.append(row)
    bold = []
    if sheet.nrows:
        for c in range(sheet.ncols):
            xf = book.xf_list[sheet.cell_xf_index(0, c)]
            bold.append(book.font_list[xf.font_index].bold == 1)
    return {"rows": rows, "captionBold": bold}


def read_xlsx(path):
    import datetime
    import openpyxl
    sheet = openpyxl.load_workbook(path).worksheets[0]
    rows = []
    for cells in sheet.iter_rows():
        row = []
        for cell in cells:
            v = cell.value
            if v is None:
                row.append(None)
            elif isinstance(v, bool):
                row.append({"t": "b", "v": v})
            elif isinstance(v, (int, float)):
                row.append({"t": "n", "v": v})
            elif isinstance(v, datetime.datetime):
                row.append({"t": "d", "v": v.isoformat(sep=" "), "f": cell.number_format})
            elif isinstance(v, str):
                row.append({"t": "s", "v": v})
            else:
                row.append({"t": "?", "v": repr(v)})
        rows.append(row)
    bold = [bool(c.font.b) for c in next(sheet.iter_rows(max_row=1), ())]
    return {"rows": rows, "captionBold": bold}


def read_csv(path):
    with open(path, encoding="utf-8-sig", newline="") as f:
        rows = [[{"t": "s", "v": v} if v else None for v in record] for record in csv.reader(f, strict=True)]
    return {"rows": rows, "captionBold": []}


def main():
    path = sys.argv[1]
    reader = {"xls": read_xls, "xlsx": read_xlsx, "csv": read_csv}[path.rsplit(".", 1)[-1]]
    json.dump(reader(path), sys.stdout, ensure_ascii=False)


main()
