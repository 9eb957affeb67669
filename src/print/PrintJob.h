#pragma once

#include <string>
#include <vector>

#include <QDate>
#include <QString>

class CMemTable;
class QPagedPaintDevice;

// What is printed: the student list (A4 landscape, the list's 24 columns) or the students'
// verification sheets (学生信息核对表, one A4 page per student or two side by side), of the
// given rows of the student table in the order given. The same pages go to a printer, to the
// print preview and to a PDF file; the desktop program and the CLI both lay them out here.
struct PrintJob
{
    enum Kind
    {
        List,
        Sheets
    } kind = List;
    const CMemTable* pStudents = nullptr; // 24 columns in record order
    std::vector<int> rows;                // rows of the table, in print order
    bool bNames = false;                  // list: coded fields by name, as the list shows them
    bool bTwoPerPage = false;             // sheets: two to a page
    QString schoolCode;
    QString schoolName;
    QDate date; // the date in the list's heading
};

// The heading of a job for the school of the code (its name from the school directory) and today.
PrintJob PrintJobForSchool(const std::string& strSchoolCode);

// Gives the device the job's page: A4, landscape for the list and for two sheets to a page.
void SetUpPrintPage(QPagedPaintDevice& device, const PrintJob& job);

// Paints every page of the job on the device (set up by SetUpPrintPage). False when the device
// cannot be painted on. A list of no rows prints one page of titles; sheets of no rows print nothing.
bool PaintPrintJob(QPagedPaintDevice& device, const PrintJob& job);

// The job as the bytes of a PDF file. False when Qt cannot write it or the job has no page.
bool RenderPdf(const PrintJob& job, std::string& strBytes);
