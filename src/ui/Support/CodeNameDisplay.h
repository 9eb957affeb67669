#pragma once

#include <string>

#include <QString>

// How the student lists show coded fields: the stored codes (the default) or their names, the
// code then in a tooltip. The choice is kept in the application profile.

// Whether the lists show names; false when the profile holds no choice.
bool ShowsCodeNames();
void SetShowsCodeNames(bool bNames);

// The text a list shows for a stored cell of field nField: its name when bNames and the field is
// coded (the code itself when its table lacks it), else the cell as stored.
std::string ListCellBytes(int nField, const char* lpcszCell, bool bNames);
// The same as text, and the tooltip that goes with it (the code when a name is shown, else empty).
QString ListCellText(int nField, const char* lpcszCell, bool bNames);
QString ListCellToolTip(int nField, const char* lpcszCell, bool bNames);
