#pragma once

#include <string_view>

#include <QFont>
#include <QString>

class QPaintDevice;

// Small pieces shared by the printed pages.

// GBK bytes as text; a byte sequence that is not GBK shows as U+FFFD rather than being dropped.
QString PrintText(std::string_view gbk);

// The pages' font (a CJK sans-serif face, so that every GBK character prints) at the point size.
QFont PrintFont(double fPointSize, bool bBold = false);

// Millimetres as device pixels of the device.
double MmToPixels(const QPaintDevice& device, double fMm);

// "第N页/共M页".
QString PageNumberText(int nPage, int nPages);
