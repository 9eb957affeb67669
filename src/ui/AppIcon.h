#pragma once

#include <QIcon>

// The program's icon (windows, the login and about boxes), drawn once in code.
QIcon ApplicationIcon();
