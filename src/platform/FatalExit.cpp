#include "platform/FatalExit.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace
{
std::function<void(const char*)>& Handler()
{
    static std::function<void(const char*)> handler;
    return handler;
}
} // namespace

void SetFatalExitHandler(std::function<void(const char*)> handler)
{
    Handler() = std::move(handler);
}

void FatalAppExitA(unsigned /*uAction*/, const char* lpcszMessageText)
{
    const char* text = lpcszMessageText ? lpcszMessageText : "";
    std::fprintf(stderr, "%s\n", text);
    std::fflush(stderr);
    if (Handler())
        Handler()(text);
    std::_Exit(3);
}
