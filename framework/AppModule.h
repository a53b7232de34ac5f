#pragma once
#include <windows.h>
#include <map>
#include <mutex>

class CMessageLoop;

// The application module: the main thread id and a thread-to-loop map under a lock.
class CAppModule {
public:
    void Init(HINSTANCE instance);
    void Term();

    HINSTANCE Instance() const { return instance; }
    DWORD MainThreadId() const { return mainThreadId; }

    bool AddMessageLoop(CMessageLoop* loop);
    bool RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId()) const;

private:
    HINSTANCE instance = nullptr;
    DWORD mainThreadId = 0;
    mutable std::mutex lock;
    std::map<DWORD, CMessageLoop*> loops;
};

// The one module of the process, as the window classes and loops need it.
extern CAppModule AppModule;
