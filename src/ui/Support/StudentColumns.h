#pragma once

class QTableView;

// Gives the 24 student columns of a list their widths: each at least its given minimum (in record
// order) and wide enough for its title and a typical value at the list's own font, codes or names
// as the list shows them. Rows keep one height: cells never wrap.
void FitStudentColumns(QTableView* pList, const int (&minWidths)[24], bool bNames);
