#pragma once
#include <windows.h>

#include <functional>

// One installation at a time: a named mutex held from the unpacking of the package to the
// end of the installation, and while an interrupted one is undone. Two installers may run
// side by side, but they share the folder "temp" and the journal. Held by the thread that
// acquired it; released when the object goes.
class InstallLock {
public:
    InstallLock();
    ~InstallLock();
    InstallLock(const InstallLock&) = delete;
    InstallLock& operator=(const InstallLock&) = delete;

    // True when the lock is ours now, also when its last owner ended without releasing it.
    bool TryAcquire();
    // Waits until the lock is ours; false when `stop` turned true first.
    bool Acquire(const std::function<bool()>& stop);

private:
    HANDLE mutex;
    bool held = false;
};
