"""Workbooks for the reader tests, written by independent writers (odfpy, openpyxl, xlwt) and, for
the damaged and hostile ones, by hand with Python's zipfile.

  reader_fixtures.py DIR      writes every fixture into DIR

Run with Debian's python3, which has python3-odf, python3-openpyxl and python3-xlwt.
"""
import datetime
import sys
import warnings
import zipfile

MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
REL = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PKG_REL = "http://schemas.openxmlformats.org/package/2006/relationships"


# The same two sheets in every format: a note first, then a small table whose code is merged down.
def sheets_xlsx(path):
    import openpyxl
    book = openpyxl.Workbook()
    note = book.active
    note.title = "说明"
    note["A1"] = "请看第二页"
    table = book.create_sheet("学生")
    table.append(["XSBSH", "YXDM", "CJ"])
    table.append(["2006001", "10001", 3.5])
    table.append(["2006002"])
    table.merge_cells("B2:B3")
    book.save(path)


def sheets_xls(path):
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    book.add_sheet("说明").write(0, 0, "请看第二页")
    table = book.add_sheet("学生")
    for c, value in enumerate(["XSBSH", "YXDM", "CJ"]):
        table.write(0, c, value)
    table.write(1, 0, "2006001")
    table.write_merge(1, 2, 1, 1, "10001")
    table.write(1, 2, 3.5)
    table.write(2, 0, "2006002")
    book.save(path)


def ods_document():
    from odf.opendocument import OpenDocumentSpreadsheet
    return OpenDocumentSpreadsheet()


def ods_row(table, cells, **attributes):
    from odf.table import TableRow
    row = TableRow(**attributes)
    for cell in cells:
        row.addElement(cell)
    table.addElement(row)


def text_cell(text, **attributes):
    from odf.table import TableCell
    from odf.text import P
    cell = TableCell(valuetype="string", **attributes)
    cell.addElement(P(text=text))
    return cell


def sheets_ods(path):
    from odf.table import Table, TableCell, CoveredTableCell
    doc = ods_document()
    note = Table(name="说明")
    ods_row(note, [text_cell("请看第二页")])
    table = Table(name="学生")
    ods_row(table, [text_cell("XSBSH"), text_cell("YXDM"), text_cell("CJ")])
    ods_row(table, [text_cell("2006001"), text_cell("10001", numberrowsspanned=2, numbercolumnsspanned=1),
                    TableCell(valuetype="float", value="3.5")])
    ods_row(table, [text_cell("2006002"), CoveredTableCell()])
    doc.spreadsheet.addElement(note)
    doc.spreadsheet.addElement(table)
    doc.save(path)


def calc_ods(path):
    """As a spreadsheet program writes a sheet: number styles for text and dates, equal neighbours
    and empty runs stored once with a repeat count, rich text, comments, formulas."""
    from odf.number import DateStyle, Day, Month, NumberStyle, Number, Text as NumberText, TextContent, TextStyle, Year
    from odf.office import Annotation
    from odf.style import Style
    from odf.table import Table, TableCell, TableColumn
    from odf.text import LineBreak, P, S, Span, Tab
    doc = ods_document()
    text_format = TextStyle(name="N100")
    text_format.addElement(TextContent())
    date_format = DateStyle(name="N101")
    for part in (Year(style="long"), NumberText(text="-"), Month(style="long"), NumberText(text="-"),
                 Day(style="long")):
        date_format.addElement(part)
    percent = NumberStyle(name="N102")
    percent.addElement(Number(decimalplaces=0, minintegerdigits=1))
    for style in (text_format, date_format, percent):
        doc.automaticstyles.addElement(style)
    as_text = Style(name="ce1", family="table-cell", datastylename="N100")
    as_date = Style(name="ce2", family="table-cell", datastylename="N101")
    doc.automaticstyles.addElement(as_text)
    doc.automaticstyles.addElement(as_date)

    table = Table(name="学生")
    table.addElement(TableColumn(numbercolumnsrepeated=16384))
    ods_row(table, [text_cell("XSBSH"), text_cell("CSNY"), text_cell("YXDM", numbercolumnsrepeated=2),
                    TableCell(numbercolumnsrepeated=16380)])
    born = TableCell(valuetype="date", datevalue="1985-03-09", stylename=as_date)
    born.addElement(P(text="1985-03-09"))
    rich = TableCell(valuetype="string")
    first = P(text="北京")
    first.addElement(S(c=3))
    first.addElement(Span(text="海淀"))
    first.addElement(Tab())
    first.addElement(LineBreak())
    comment = Annotation()
    comment.addElement(P(text="不是值"))
    rich.addElement(comment)
    rich.addElement(first)
    rich.addElement(P(text="100871"))
    ods_row(table, [text_cell("01", stylename=as_text), born, rich])
    ods_row(table, [text_cell("2006002", stylename=as_text), TableCell(), TableCell(valuetype="boolean",
            booleanvalue="true"), TableCell(valuetype="percentage", value="0.25", stylename="N102")],
            numberrowsrepeated=2)
    ods_row(table, [TableCell(numbercolumnsrepeated=16384)], numberrowsrepeated=1048571)
    sum_cell = TableCell(valuetype="float", value="2", formula="of:=1+1")
    sum_cell.addElement(P(text="2"))
    ods_row(table, [sum_cell])
    doc.spreadsheet.addElement(table)
    doc.save(path)


def write_zip(path, parts):
    with warnings.catch_warnings():
        warnings.simplefilter("ignore")  # a name used twice is what some fixtures are about
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
            for name, text in parts:
                archive.writestr(name, text)


def xlsx_parts(sheet_data, strings=()):
    return [
        ("[Content_Types].xml", '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>'),
        ("_rels/.rels", '<Relationships xmlns="%s"><Relationship Id="r1" Type="%s/officeDocument" '
                        'Target="xl/workbook.xml"/></Relationships>' % (PKG_REL, REL)),
        ("xl/workbook.xml", '<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="学生" sheetId="1" r:id="s1"/>'
                            "</sheets></workbook>" % (MAIN, REL)),
        ("xl/_rels/workbook.xml.rels",
         '<Relationships xmlns="%s"><Relationship Id="s1" Type="%s/worksheet" Target="sheet.xml"/>'
         '<Relationship Id="t" Type="%s/sharedStrings" Target="texts.xml"/></Relationships>' % (PKG_REL, REL, REL)),
        ("xl/texts.xml", '<sst xmlns="%s">%s</sst>' % (MAIN, "".join("<si><t>%s</t></si>" % s for s in strings))),
        ("xl/sheet.xml", '<worksheet xmlns="%s"><sheetData>%s</sheetData></worksheet>' % (MAIN, sheet_data)),
    ]


def ods_parts(rows, manifest_extra=""):
    content = ('<?xml version="1.0" encoding="UTF-8"?>'
               '<office:document-content xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
               'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
               'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"><office:body><office:spreadsheet>'
               '<table:table table:name="学生">%s</table:table></office:spreadsheet></office:body>'
               "</office:document-content>" % rows)
    manifest = ('<manifest:manifest xmlns:manifest="urn:oasis:names:tc:opendocument:xmlns:manifest:1.0">'
                '<manifest:file-entry manifest:full-path="content.xml" manifest:media-type="text/xml">%s'
                "</manifest:file-entry></manifest:manifest>" % manifest_extra)
    return [("mimetype", "application/vnd.oasis.opendocument.spreadsheet"), ("META-INF/manifest.xml", manifest),
            ("content.xml", content)]


def text_row(*texts):
    return "<table:table-row>%s</table:table-row>" % ("".join(
        '<table:table-cell office:value-type="string"><text:p>%s</text:p></table:table-cell>' % t for t in texts))


def inline(ref, text):
    return '<c r="%s" t="inlineStr"><is><t>%s</t></is></c>' % (ref, text)


def with_stated_size(path, part, size):
    """The archive's directory claims the part unpacks to size bytes."""
    with open(path, "r+b") as archive:
        data = bytearray(archive.read())
        name = part.encode()
        at = data.find(b"PK\x01\x02")
        while at >= 0:
            name_length = int.from_bytes(data[at + 28:at + 30], "little")
            if data[at + 46:at + 46 + name_length] == name:
                data[at + 24:at + 28] = size.to_bytes(4, "little")
            at = data.find(b"PK\x01\x02", at + 4)
        archive.seek(0)
        archive.write(data)


def codepage_xls(path):
    """An old workbook whose code page (10001, Mac Japanese) the reading library cannot convert."""
    import xlwt
    book = xlwt.Workbook(encoding="utf-8")
    book.add_sheet("学生").write(0, 0, "XSBSH")
    book.save(path)
    with open(path, "r+b") as archive:
        data = archive.read()
        archive.seek(0)
        archive.write(data.replace(b"\x42\x00\x02\x00\xb0\x04", b"\x42\x00\x02\x00\x11\x27", 1))


def fixtures(folder):
    sheets_xlsx(folder + "/sheets.xlsx")
    sheets_xls(folder + "/sheets.xls")
    sheets_ods(folder + "/sheets.ods")
    calc_ods(folder + "/calc.ods")
    long_text = "长" * 21846  # 65538 bytes of UTF-8
    write_zip(folder + "/longcell.xlsx", xlsx_parts('<row r="2">%s</row>' % inline("C2", long_text)))
    write_zip(folder + "/longshared.xlsx", xlsx_parts('<row><c r="B1" t="s"><v>0</v></c></row>', [long_text]))
    write_zip(folder + "/spaces.ods", ods_parts('<table:table-row><table:table-cell office:value-type="string">'
                                                '<text:p>a<text:s text:c="1000000000"/></text:p></table:table-cell>'
                                                "</table:table-row>"))
    write_zip(folder + "/hugetag.xlsx", xlsx_parts('<row><c r="A1" s="%s"/></row>' % ("1" * (5 << 20))))
    write_zip(folder + "/stated.xlsx", xlsx_parts(""))
    with_stated_size(folder + "/stated.xlsx", "xl/sheet.xml", 0xFFFFFFF0)
    write_zip(folder + "/rows.ods", ods_parts(
        text_row("XSBSH") + '<table:table-row table:number-rows-repeated="1000000"><table:table-cell '
        'table:number-columns-repeated="16384" office:value-type="string"><text:p>x</text:p></table:table-cell>'
        "</table:table-row>"))
    write_zip(folder + "/columns.ods", ods_parts(
        '<table:table-row><table:table-cell table:number-columns-repeated="1000000000" office:value-type="string">'
        "<text:p>x</text:p></table:table-cell></table:table-row>"))
    empty_cells = '<table:table-cell table:number-columns-repeated="1000000000"/>'
    write_zip(folder + "/empty.ods", ods_parts(
        '<table:table-row><table:table-cell office:value-type="string"><text:p>XSBSH</text:p></table:table-cell>'
        '%s</table:table-row>%s<table:table-row table:number-rows-repeated="1000000000">%s</table:table-row>'
        % (empty_cells, text_row("2006001"), empty_cells)))
    sheet = '<row>%s</row>' % inline("A1", "XSBSH")
    write_zip(folder + "/twice.xlsx", xlsx_parts(sheet) + [("xl/sheet.xml", "<worksheet/>")])
    write_zip(folder + "/twice.ods", ods_parts(text_row("XSBSH")) + [("Content.xml", "<x/>")])
    cut = xlsx_parts(sheet + '<row r="2">' + inline("A2", "2006001") + "</row>")
    cut[-1] = ("xl/sheet.xml", cut[-1][1][:-len("</sheetData></worksheet>")])
    write_zip(folder + "/cut.xlsx", cut)
    write_zip(folder + "/pastend.xlsx", xlsx_parts('<row><c r="A1" t="s"><v>1</v></c></row>', ["XSBSH"]))
    # A character GBK cannot hold, in a value the message quotes.
    write_zip(folder + "/emoji.xlsx", xlsx_parts('<row><c r="A1" t="d"><v>2006\U0001F600</v></c></row>'))
    write_zip(folder + "/encrypted.ods", ods_parts(text_row("XSBSH"), '<manifest:encryption-data/>'))
    codepage_xls(folder + "/codepage.xls")


if __name__ == "__main__":
    fixtures(sys.argv[1])
