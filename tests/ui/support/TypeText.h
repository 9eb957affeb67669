#pragma once

#include <QString>

class QWidget;

// Types the text into the widget one key press per character, as a user would (QTest::keyClicks
// takes Latin-1 only). A character outside the basic plane is sent as one event.
void TypeText(QWidget* widget, const QString& text);
