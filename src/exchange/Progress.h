#pragma once

#include <functional>

#include "platform/Types.h"

// How far a long exchange has come, from 0 to 1, told now and then while it runs; may be empty.
using ExchangeProgress = std::function<void(double fDone)>;

// Long work of an exchange: it tells progress how far it has come and says whether it worked.
using ExchangeWork = std::function<BOOL(const ExchangeProgress& progress)>;
// How a front end runs long work: at once, showing how far it has come as it likes. An empty
// runner runs the work without showing anything.
using ExchangeRunner = std::function<BOOL(const ExchangeWork& work)>;

// Passes the progress on only when it has moved by a thousandth, so that a caller may repaint on
// every call however often the work reports.
class CProgressTeller
{
  public:
    explicit CProgressTeller(const ExchangeProgress& progress) : m_progress(progress) {}
    // REQUIRES: 0 <= fDone <= 1.
    void Tell(double fDone)
    {
        const int nThousandths = static_cast<int>(fDone * 1000);
        if (m_progress && nThousandths != m_nLast)
        {
            m_nLast = nThousandths;
            m_progress(nThousandths / 1000.0);
        }
    }

  private:
    const ExchangeProgress& m_progress;
    int m_nLast = -1;
};
