#!/usr/bin/python3
"""Reads an exported file with an independent reader and prints its cells as JSON.

.xls through xlrd, .xlsx through openpyxl, .csv through the csv module.
Output: {"rows": [[cell, ...], ...], "captionBold": [bool, ...]} where a cell is
null (empty) or {"t": "s"|"n"|"b"|"d", "v": value, "f": number format of dates}.
"""
import csv
import json
import sys


FREE, END, FATSECT, DIFSECT = 0xFFFFFFFF, 0xFFFFFFFE, 0xFFFFFFFD, 0xFFFFFFFC


def check_compound_file(path):
    """Checks the container strictly: every sector belongs to exactly one chain
    or table, the DIFAT chain is complete and terminated, streams have the
    lengths their sizes need."""
    import struct
    data = open(path, "rb").read()
    assert data[:8] == bytes.fromhex("D0CF11E0A1B11AE1"), "signature"
    assert len(data) % 512 == 0, "file is not whole sectors"
    (_, major, order, shift, mini_shift) = struct.unpack_from("<5H", data, 24)
    assert (major, order, shift, mini_shift) == (3, 0xFFFE, 9, 6), "version 3 header"
    (n_fat, first_dir, _, cutoff, first_minifat, n_minifat, first_difat, n_difat) = struct.unpack_from("<8I", data, 44)
    assert cutoff == 4096
    header_difat = struct.unpack_from("<109I", data, 76)
    nsect = len(data) // 512 - 1

    def sector(i):
        assert 0 <= i < nsect, "sector %d outside the file" % i
        return data[512 * (i + 1):512 * (i + 2)]

    fat_sectors = [s for s in header_difat[:min(n_fat, 109)]]
    assert all(s == FREE for s in header_difat[min(n_fat, 109):]), "unused header DIFAT slots must be free"
    difat_sectors = []
    d = first_difat
    for _ in range(n_difat):
        difat_sectors.append(d)
        ids = struct.unpack("<128I", sector(d))
        take = min(127, n_fat - len(fat_sectors))
        fat_sectors += ids[:take]
        assert all(s == FREE for s in ids[take:127]), "unused DIFAT slots must be free"
        d = ids[127]
    assert d == END, "DIFAT chain not terminated"
    assert len(fat_sectors) == n_fat, "FAT sector count"
    fat = []
    for s in fat_sectors:
        fat += struct.unpack("<128I", sector(s))
    assert all(e == FREE for e in fat[nsect:]), "FAT entries beyond the file must be free"
    assert all(fat[s] == FATSECT for s in fat_sectors), "FAT sectors marked"
    assert all(fat[s] == DIFSECT for s in difat_sectors), "DIFAT sectors marked"
    owner = {}
    for s in fat_sectors + difat_sectors:
        assert s not in owner, "sector %d used twice" % s
        owner[s] = "table"

    def chain(start, what):
        out = []
        s = start
        while s != END:
            assert s < nsect and s not in owner, "%s chain broken at %d" % (what, s)
            owner[s] = what
            out.append(s)
            s = fat[s]
        return out

    directory = b"".join(sector(s) for s in chain(first_dir, "directory"))
    entries = {}
    for i in range(len(directory) // 128):
        e = directory[128 * i:128 * (i + 1)]
        name_len, kind = struct.unpack_from("<HB", e, 64)
        name = e[:max(0, name_len - 2)].decode("utf-16-le")
        start, size = struct.unpack_from("<IQ", e, 116)
        if kind:
            entries[name] = (kind, start, size)
    root_kind, root_start, root_size = entries["Root Entry"]
    assert root_kind == 5
    kind, start, size = entries["Workbook"]
    assert kind == 2
    if size >= 4096:
        sectors = chain(start, "stream")
        assert len(sectors) == (size + 511) // 512, "stream chain length"
        stream = b"".join(sector(s) for s in sectors)[:size]
    else:
        root_sectors = chain(root_start, "mini stream")
        assert len(root_sectors) == (root_size + 511) // 512, "mini stream chain length"
        mini = b"".join(sector(s) for s in root_sectors)
        minifat_sectors = chain(first_minifat, "mini FAT")
        assert len(minifat_sectors) == n_minifat
        minifat = []
        for s in minifat_sectors:
            minifat += struct.unpack("<128I", sector(s))
        s, pieces = start, []
        while s != END:
            pieces.append(mini[64 * s:64 * (s + 1)])
            s = minifat[s]
        assert len(pieces) == (size + 63) // 64, "mini chain length"
        stream = b"".join(pieces)[:size]
    assert sorted(owner) == list(range(nsect)), "sectors that belong to nothing"
    for s in range(nsect):
        if s not in fat_sectors and s not in difat_sectors:
            assert fat[s] not in (FREE, FATSECT, DIFSECT), "data sector %d not allocated" % s
    return stream


def check_string_index(stream):
    """Walks SST and its CONTINUE records and checks that EXTSST points at the
    start of every n-th string (absolute position and offset in its record)."""
    import struct
    records, pos = [], 0
    while pos + 4 <= len(stream):
        kind, length = struct.unpack_from("<HH", stream, pos)
        assert length <= 8224, "record longer than 8224 bytes"
        records.append((kind, pos, stream[pos + 4:pos + 4 + length]))
        pos += 4 + length
    first = next(i for i, r in enumerate(records) if r[0] == 0x00FC)
    total, unique = struct.unpack_from("<II", records[first][2], 0)
    k, o, starts = first, 8, []
    for _ in range(unique):
        if o == len(records[k][2]):
            k, o = k + 1, 0
            assert records[k][0] == 0x003C, "SST continues in a CONTINUE record"
        data = records[k][2]
        assert o + 3 <= len(data), "string header split between records"
        starts.append((records[k][1] + 4 + o, 4 + o))
        cch, flags = struct.unpack_from("<HB", data, o)
        assert flags & 0x0C == 0
        o, remaining = o + 3, cch * (2 if flags & 1 else 1)
        while remaining:
            if o == len(records[k][2]):
                k, o = k + 1, 1
                assert records[k][0] == 0x003C, "string continues in a CONTINUE record"
                data = records[k][2]
                flags = data[0]
            take = min(len(data) - o, remaining)
            assert not (flags & 1) or take % 2 == 0, "character split between records"
            o, remaining = o + take, remaining - take
    assert o == len(records[k][2]), "bytes left after the last string"
    assert records[k + 1][0] == 0x00FF, "EXTSST follows the strings"
    ext = records[k + 1][2]
    per_bucket = struct.unpack_from("<H", ext, 0)[0]
    buckets = [struct.unpack_from("<IH", ext, 2 + 8 * i) for i in range((len(ext) - 2) // 8)]
    assert buckets == starts[::per_bucket], "EXTSST does not point at the strings"


def read_xls(path):
    import xlrd
    check_string_index(check_compound_file(path))
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
