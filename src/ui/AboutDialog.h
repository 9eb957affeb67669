#pragma once

#include "ui/Layout/SizingDialog.h"

// The about box: the program's name, version and maker. It opens 10 percent larger than its
// template, has a size grip, and cannot be made smaller than the template.
class CAboutDialog : public CSizingDialog
{
    Q_OBJECT
  public:
    explicit CAboutDialog(QWidget* pParent = nullptr);
};
