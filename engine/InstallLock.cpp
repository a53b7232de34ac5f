#include "InstallLock.h"

namespace {

const wchar_t* const LockName = L"Local\\TessamoSetup.Installation";
const DWORD StopPollMilliseconds = 100;

bool Owned(DWORD waited)
{
    return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

} // namespace

InstallLock::InstallLock() : mutex(::CreateMutexW(nullptr, FALSE, LockName)) {}

InstallLock::~InstallLock()
{
    if (held)
        ::ReleaseMutex(mutex);
    if (mutex)
        ::CloseHandle(mutex);
}

bool InstallLock::TryAcquire()
{
    // Without the mutex there is no one to wait for.
    held = held || !mutex || Owned(::WaitForSingleObject(mutex, 0));
    return held;
}

bool InstallLock::Acquire(const std::function<bool()>& stop)
{
    while (!held && !(stop && stop())) {
        held = !mutex || Owned(::WaitForSingleObject(mutex, StopPollMilliseconds));
    }
    return held;
}
