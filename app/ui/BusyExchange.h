#pragma once

#include <functional>

// Runs a blocking serial exchange (up to seconds) on a helper thread while
// the UI thread keeps painting and handling timers and sockets: busy cursor,
// user input held back, and the caller continues only when the exchange is
// done, so the order of its steps stays as written.
class CBusyExchange
{
public:
    static bool Run(const std::function<bool()>& exchange);
};
