"""An independent reader and writer of workbooks for the exchange tests.

  workbook_tool.py dump FILE.xlsx      prints every sheet: name, frozen cell, filter range, widths
                                        of A/B/U, then one line per cell: coordinate, type, value
  workbook_tool.py fixtures DIR        writes the import fixtures into DIR
  workbook_tool.py edit FILE.xlsx      edits an exported workbook as a user would: renames the first
                                        record's student (XM), appends a copy of it with another
                                        number, and saves it again

Run with Debian's python3, which has openpyxl (and xlwt for the old .xls format).
"""
import datetime
import re
import sys
import zipfile
from xml.sax.saxutils import escape

NAMES = ("XSBSH YXDM ZYDM XM XBDM CSNY XLDM ZXWYYZDM BYSJ SYSZDQDM WYSPDM DZXX ZZMMDM YXGZDQDM "
         "YXDWXZDM YXDWHYDM YXYX YXZYLBM LXDH SJHM TXDZ YZBM BZ JICENG").split()
LABELS = ("学号 院校代码 专业 姓名 性别 出生年月 学历 主修外语语种 毕业时间 生源地 外语水平 电子信箱 政治面貌 "
          "意向工作地区 意向单位性质 意向单位行业 意向月薪 意向职业 联系电话 手机号码 通信地址 邮政编码 备注 "
          "参加下基层项目").split()


def record(number, name="张三"):
    return [number, "10001", "08060501", name, "1", "1984-07-07", "31", "01", "2006-06-30", "11", "4",
            "zs@example.com", "01", "110000", "1", "A", "1000-2000 ", "10A", "010-62751234", "13800138000",
            "北京市海淀区颐和园路5号", "100871", "", "00"]


def dump(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    for sheet in book.worksheets:
        print("sheet", sheet.title)
        print("freeze", sheet.freeze_panes)
        print("filter", sheet.auto_filter.ref)
        for letter in "ABU":
            print("width", letter, sheet.column_dimensions[letter].width)
        for row in sheet.iter_rows():
            for cell in row:
                if cell.value is not None:
                    print("cell", cell.coordinate, cell.data_type, cell.value, sep="\t")


def to_shared_strings(path):
    """openpyxl writes text into the cells; spreadsheet programs keep it in one shared table."""
    with zipfile.ZipFile(path) as archive:
        parts = {name: archive.read(name).decode("utf-8") for name in archive.namelist()}
    table = []

    def shared(match):
        table.append(match.group(3))
        return '<c r="%s"%s t="s"><v>%d</v></c>' % (match.group(1), match.group(2), len(table) - 1)

    for name in [n for n in parts if n.startswith("xl/worksheets/")]:
        parts[name] = re.sub(r'<c r="([A-Z]+[0-9]+)"([^>]*?) t="inlineStr"><is><t[^>]*>(.*?)</t></is></c>', shared,
                             parts[name])
    parts["xl/sharedStrings.xml"] = (
        '<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
        ' count="%d" uniqueCount="%d">%s</sst>' % (len(table), len(table),
                                                    "".join('<si><t xml:space="preserve">%s</t></si>' % t for t in table)))
    parts["[Content_Types].xml"] = parts["[Content_Types].xml"].replace(
        "</Types>", '<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-'
        'officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    # Relative part names, as spreadsheet programs write them.
    parts["xl/_rels/workbook.xml.rels"] = parts["xl/_rels/workbook.xml.rels"].replace('Target="/xl/', 'Target="')
    # Listed first: the table must be known before the sheets that refer to it are read.
    parts["xl/_rels/workbook.xml.rels"] = re.sub(
        "(<Relationships[^>]*>)", r'\1<Relationship Id="rIdShared" Target="sharedStrings.xml" Type="http://schemas.'
        'openxmlformats.org/officeDocument/2006/relationships/sharedStrings"/>', parts["xl/_rels/workbook.xml.rels"])
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        for name, text in parts.items():
            archive.writestr(name, text)


def xlsx(path, rows, sheet_title="学生", shared=True):
    import openpyxl
    book = openpyxl.Workbook()
    sheet = book.active
    sheet.title = sheet_title
    for row in rows:
        sheet.append([None if value == "" else value for value in row])
    book.create_sheet("其他").append(["not", "read"])
    book.save(path)
    if shared:
        to_shared_strings(path)


def minimal_xlsx(path, sheet_data, strings=(), workbook_pr="", compression=zipfile.ZIP_DEFLATED):
    """A workbook as other programs write it: prefixed element names, texts shared or in the cells."""
    main = 'xmlns:x="http://schemas.openxmlformats.org/spreadsheetml/2006/main"'
    rel = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
    parts = {
        "[Content_Types].xml": '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>',
        "_rels/.rels": '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                       '<Relationship Id="r1" Type="%s/officeDocument" Target="/book/main.xml"/></Relationships>' % rel,
        "book/main.xml": '<x:workbook %s xmlns:r="%s">%s<x:sheets><x:sheet name="学生" sheetId="7" r:id="s7"/>'
                         '<x:sheet name="其他" sheetId="1" r:id="s1"/></x:sheets></x:workbook>' % (main, rel, workbook_pr),
        "book/_rels/main.xml.rels":
            '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
            '<Relationship Id="s1" Type="%s/worksheet" Target="other.xml"/>'
            '<Relationship Id="s7" Type="%s/worksheet" Target="./sheets/../sheets/first.xml"/>'
            '<Relationship Id="t" Type="%s/sharedStrings" Target="texts.xml"/></Relationships>' % (rel, rel, rel),
        "book/sheets/first.xml": '<x:worksheet %s><x:sheetData>%s</x:sheetData></x:worksheet>' % (main, sheet_data),
        "book/other.xml": '<x:worksheet %s><x:sheetData/></x:worksheet>' % main,
        "book/texts.xml": '<x:sst %s>%s</x:sst>' % (main, "".join("<x:si>%s</x:si>" % s for s in strings)),
    }
    with zipfile.ZipFile(path, "w", compression) as archive:
        for name, text in parts.items():
            archive.writestr(name, text)


def damaged_xlsx(folder):
    """A sheet whose bytes no longer match their checksum, and a workbook cut short."""
    minimal_xlsx(folder + "/crc.xlsx", '<x:row>%s</x:row>' % inline_cell("XSBSH"), compression=zipfile.ZIP_STORED)
    with open(folder + "/crc.xlsx", "r+b") as archive:
        data = archive.read()
        archive.seek(0)
        archive.write(data.replace(b"XSBSH</x:t>", b"XSBSX</x:t>"))
    with open(folder + "/good.xlsx", "rb") as good, open(folder + "/truncated.xlsx", "wb") as truncated:
        truncated.write(good.read()[:2000])


def inline_cell(value):
    return '<x:c t="inlineStr"><x:is><x:t>%s</x:t></x:is></x:c>' % escape(value) if value else "<x:c/>"


def odd_xlsx(path, first):
    """Rows and cells without references, a rich text with a phonetic guide, escapes, dates of 1904."""
    row = [inline_cell(v) for v in first]
    row[NAMES.index("XM")] = '<x:c t="s"><x:v>0</x:v></x:c>'
    row[NAMES.index("BZ")] = '<x:c t="s"><x:v>1</x:v></x:c>'
    row[NAMES.index("CSNY")] = "<x:c><x:v>29653</x:v></x:c>"  # 1985-03-09 counted from 1904-01-01
    row[NAMES.index("BYSJ")] = '<x:c t="d"><x:v>2006-07-01T00:00:00</x:v></x:c>'
    strings = ['<x:r><x:t>路</x:t></x:r><x:r><x:t>梅</x:t></x:r><x:rPh sb="0" eb="1"><x:t>ル</x:t></x:rPh>',
               "<x:t>a_x0041_b_x005F_x0041_</x:t>"]
    sheet = ('<x:row r="2">%s</x:row><x:row>%s</x:row>'
             % ("".join(inline_cell(v) for v in NAMES), "".join(row)))
    minimal_xlsx(path, sheet, strings, '<x:workbookPr date1904="1"/>')


def ods_cell(value):
    if value is None or value == "":
        return "<table:table-cell/>"
    if isinstance(value, datetime.date):
        return ('<table:table-cell office:value-type="date" office:date-value="%s"><text:p>%s</text:p>'
                "</table:table-cell>" % (value.isoformat(), value.isoformat()))
    if isinstance(value, (int, float)):
        return ('<table:table-cell office:value-type="float" office:value="%s"><text:p>%s</text:p>'
                "</table:table-cell>" % (value, value))
    return ('<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>'
            % escape(value))


def ods(path, rows):
    body = []
    for row in rows:
        body.append("<table:table-row>%s</table:table-row>" % "".join(ods_cell(v) for v in row))
    content = ('<?xml version="1.0" encoding="UTF-8"?>'
               '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
               'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
               'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" office:version="1.2">'
               '<office:body><office:spreadsheet><table:table table:name="学生">%s</table:table>'
               "</office:spreadsheet></office:body></office:document-content>" % "".join(body))
    manifest = ('<?xml version="1.0" encoding="UTF-8"?>'
                '<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0" '
                'manifest:version="1.2"><manifest:file-entry manifest:full-path="/" '
                'manifest:media-type="application/vnd.oasis.opendocument.spreadsheet"/>'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml"/>'
                "</manifest:manifest>")
    with zipfile.ZipFile(path, "w") as archive:
        archive.writestr(zipfile.ZipInfo("mimetype"), "application/vnd.oasis.opendocument.spreadsheet")
        archive.writestr("META-INF/manifest.xml", manifest, zipfile.ZIP_DEFLATED)
        archive.writestr("content.xml", content, zipfile.ZIP_DEFLATED)


def xls(path, rows):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    sheet = book.add_sheet("学生")
    date_style = xlwt.easyxf(num_format_str="YYYY-MM-DD")
    for r, row in enumerate(rows):
        for c, value in enumerate(row):
            if isinstance(value, datetime.date):
                sheet.write(r, c, value, date_style)
            elif value != "":
                sheet.write(r, c, value)
    book.save(path)


def with_cell(row, name, value):
    row = list(row)
    row[NAMES.index(name)] = value
    return row


def fixtures(folder):
    first, second = record("20060010010001"), record("2006001002", "路梅")
    dated = with_cell(with_cell(second, "CSNY", datetime.datetime(1985, 3, 9)), "BYSJ", datetime.date(2006, 7, 1))
    # Columns in another order than the records have them.
    order = list(reversed(range(24)))
    xlsx(folder + "/good.xlsx", [[row[i] for i in order] for row in (NAMES, LABELS, first, [""] * 24, dated)])
    xlsx(folder + "/numeric.xlsx", [NAMES, first, with_cell(second, "XSBSH", 20060010010002)])
    xlsx(folder + "/formula.xlsx", [NAMES, with_cell(first, "BZ", "=1+1")])
    xlsx(folder + "/emoji.xlsx", [NAMES, first, with_cell(second, "TXDZ", "北京😀")])
    xlsx(folder + "/wide.xlsx", [NAMES, first + ["", "note"]])
    xlsx(folder + "/noheader.xlsx", [LABELS, first])
    xlsx(folder + "/inline.xlsx", [NAMES, first], shared=False)
    odd_xlsx(folder + "/odd.xlsx", second)
    minimal_xlsx(folder + "/badxml.xlsx", '<x:row><x:c t="inlineStr"><x:is><x:t>XSBSH</x:is></x:c></x:row>')
    damaged_xlsx(folder)
    minimal_xlsx(folder + "/badindex.xlsx", '<x:row><x:c r="B1" t="s"><x:v>3</x:v></x:c></x:row>')
    ods(folder + "/good.ods", [NAMES, LABELS, first, with_cell(dated, "CSNY", datetime.date(1985, 3, 9))])
    ods(folder + "/numeric.ods", [NAMES, with_cell(first, "YZBM", 100871)])
    xls(folder + "/good.xls", [NAMES, LABELS, first, dated])
    xls(folder + "/numeric.xls", [NAMES, with_cell(first, "ZXWYYZDM", 1)])


def edit(path):
    import openpyxl
    book = openpyxl.load_workbook(path)
    sheet = book.worksheets[0]
    names = [cell.value for cell in sheet[1]]
    sheet.cell(row=3, column=names.index("XM") + 1).value = "王五"
    copy = [cell.value for cell in sheet[3]]
    copy[names.index("XSBSH")] = "20060010019999"
    sheet.append(copy)
    book.save(path)


if __name__ == "__main__":
    {"dump": dump, "fixtures": fixtures, "edit": edit}[sys.argv[1]](sys.argv[2])
