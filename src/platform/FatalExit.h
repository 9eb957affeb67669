#pragma once

#include <functional>

// Ends the process at once with a message: the text goes to stderr, then to the handler the
// program installed (the desktop program shows it in a message box), then the process ends
// with exit code 3. Nothing is saved and no caller sees a result.
[[noreturn]] void FatalAppExitA(unsigned uAction, const char* lpcszMessageText);

// Installs the handler that shows the fatal message (called with the GBK text); empty: none.
void SetFatalExitHandler(std::function<void(const char*)> handler);
