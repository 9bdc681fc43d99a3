#pragma once
// Long work that must not freeze the window: encoding and writing a large
// picture takes seconds. The work runs on a helper thread while the calling
// (user-interface) thread goes on handling its events -- repaints, timers,
// deliveries from other threads -- but not user input, so no command starts
// meanwhile. The caller shows the busy pointer.

#include <functional>

// Runs work and returns when it is done, rethrowing what it threw. Without an
// application event loop on this thread (the headless export, tests without
// an application object) the work simply runs here.
void RunKeepingEventsFlowing(const std::function<void()>& work);
