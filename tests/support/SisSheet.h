#pragma once

#include <string>
#include <vector>

// A registrar's sheet as a student information system exports it: its own Chinese titles in its own
// order, extra columns (身份证号, 班级), and names where the program stores codes. Texts are GBK.
namespace TestKit
{
using Row = std::vector<std::string>;

// Student n (number 2006000 + n) as stored, in record order; passes every check. An older record
// has another mobile number and address than the newer one.
Row SisStudent(int n, bool bNewer = true);
// The sheet of the students: the titles, then one row per student.
std::vector<Row> SisSheet(const std::vector<Row>& students);
// The rows as CSV text (values joined by commas, CR LF after every line).
std::string CsvOfRows(const std::vector<Row>& rows);
// The --map file of the sheet (UTF-8): every field with the sheet's title for it.
std::string SisMapText();
} // namespace TestKit
