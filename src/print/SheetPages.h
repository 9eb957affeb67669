#pragma once

#include <QRectF>

class QPainter;
struct PrintJob;

// The verification sheet (学生信息核对表) of one student: the school, the 24 fields under their
// editor labels with the values as names (a coded field's code in brackets after its name, a code
// that is not in its table marked "（无效代码）"), and the line for the student's signature and date.
// nRow: the row of the job's student table. The sheet is drawn to fill the rectangle, its
// proportions kept, so that it serves a whole A4 page or half of one alike.
void PaintVerificationSheet(QPainter& painter, const QRectF& rect, const PrintJob& job, int nRow);

// The sheets on a page and the rectangle of each (one per page, or two side by side).
int SheetsPerPage(const PrintJob& job);
QRectF SheetRect(const QRectF& page, const PrintJob& job, int nIndexOnPage);
