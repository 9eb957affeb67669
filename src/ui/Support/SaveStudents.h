#pragma once

#include <QString>

class COpenSchool;
class QWidget;

// Saves the open school's table to its data file; the backup it makes records what the save was for
// (occasion, such as "导入前"; empty: "保存前"). A failure is shown (caption "错误") naming the
// file and the reason; the change stays in memory and the next save writes it (the school then
// has an unsaved change). Returns success.
bool SaveStudentsOrReport(QWidget* parent, COpenSchool& school, const QString& occasion = {});
