#pragma once

#include <string>

class CMemTable;

// Checks every row of a table with the 24 student columns in record order, the way the record
// editor accepts a modified record (no duplicate check), and against the code tables. A failing
// row gives one line per problem: first the editor's own message for the first of its checks that
// fails, then one line for every coded field whose value is not a code of its table (and a salary
// band that is not one of the four), except the field the editor's message is already about.
//
// Appends the lines "第N条记录，“<list label>”（<FIELD>）：<message>" (UTF-8, N from 1 in table
// order) to strReport and returns the number of failing rows.
int CheckRecords(const CMemTable& table, std::string& strReport);
