#pragma once

#include <string>

#include <QString>

class QWidget;

// The logged-in school: code and password as accepted at login; every save uses them.
struct SchoolKey
{
    std::string strCode;
    std::string strPassword;
};

// Saves g_memStudents to the school's data file; the backup it makes records what the save was for
// (occasion, such as "导入前"; empty: "保存前"). A failure is shown (caption "错误") naming the
// file and the reason; the change stays in memory and the next save writes it. Returns success.
bool SaveStudentsOrReport(QWidget* parent, const SchoolKey& key, const QString& occasion = {});

// True while g_memStudents holds a change that did not reach the data file: the last save failed.
bool HasUnsavedChange();
// Starts a new school's run with nothing unsaved (a login has just loaded the file).
void ForgetUnsavedChange();
