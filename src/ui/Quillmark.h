#pragma once

#include "platform/Types.h"

// The application: loads the built-in reference data, then runs the main window; when the main
// window ends, the program ends.
class CQuillmarkApp
{
  public:
    // Runs the whole program. Always FALSE: there is no further message loop to enter.
    BOOL InitInstance();
};
