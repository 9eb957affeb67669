#pragma once

#include <string>

class QWidget;

// The logged-in school: code and password as accepted at login; every save uses them.
struct SchoolKey
{
    std::string strCode;
    std::string strPassword;
};

// Saves g_memStudents to the school's data file. A failure is shown (caption "错误") naming the
// file and the reason; the change stays in memory and the next save writes it. Returns success.
bool SaveStudentsOrReport(QWidget* parent, const SchoolKey& key);
