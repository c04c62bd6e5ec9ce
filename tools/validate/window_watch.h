// No window may wait for a person in an unattended run. While the watch
// lives, every top-level window opened on the host's thread is recorded (its
// class, caption and static text), closed as its default button would close
// it, and reported: `message-box` when Korvid showed it during a call the
// unit made through a pass-through (it tells the unit's mistake), else
// `unit-window`. Headless, Korvid shows no box and writes it to the debugger
// output instead, which the watch catches in process and reports the same
// way. With the definition forms (--form), the forms and the windows opened
// while one is open are a person's to answer and are left alone.
#pragma once

#include <windows.h>

#include "tools/validate/verdict.h"

namespace korvid::validate {

class WindowWatch {
public:
    // Watches the calling thread (the host's) from now on.
    WindowWatch(Verdict& verdict, bool form);
    // Reports the windows still open, left as they are, and stops watching.
    ~WindowWatch();
    WindowWatch(const WindowWatch&) = delete;
    WindowWatch& operator=(const WindowWatch&) = delete;

private:
    HHOOK hook_ = nullptr;
    PVOID debugOutput_ = nullptr;
    UINT_PTR timer_ = 0;
};

}  // namespace korvid::validate
