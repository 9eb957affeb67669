"""Writes a registrar's CSV sheet (GBK) into a workbook as a student information system would:
an instruction sheet first, a title row above the header, the school code merged down its column
and the language level as numbers.

  sis_workbook.py IN.csv OUT.xlsx

Run with Debian's python3, which has python3-openpyxl.
"""
import csv
import sys

import openpyxl


def main(source, target):
    with open(source, encoding="gbk", newline="") as file:
        rows = list(csv.reader(file))
    book = openpyxl.Workbook()
    book.active.title = "说明"
    book.active["A1"] = "请看第二页"
    sheet = book.create_sheet("名单")
    sheet.append(["2006届毕业生名单"])
    sheet.merge_cells(start_row=1, start_column=1, end_row=1, end_column=len(rows[0]))
    sheet.append(rows[0])
    school = rows[0].index("院校代码")
    level = rows[0].index("外语水平")
    for number, row in enumerate(rows[1:]):
        row[level] = int(row[level])
        if number > 0:
            row[school] = None
        sheet.append(row)
    sheet.merge_cells(start_row=3, start_column=school + 1, end_row=len(rows) + 1, end_column=school + 1)
    book.save(target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
