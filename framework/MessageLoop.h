#pragma once
#include <windows.h>
#include <vector>

// Offered every message before it is translated and dispatched.
class CMessageFilter {
public:
    virtual ~CMessageFilter() = default;
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;
};

// Called when the thread's queue runs empty after real work.
class CIdleHandler {
public:
    virtual ~CIdleHandler() = default;
    virtual BOOL OnIdle() = 0;
};

// The per-thread message loop: a loop plus its filter and idle-handler lists.
class CMessageLoop {
public:
    virtual ~CMessageLoop() = default;

    bool AddMessageFilter(CMessageFilter* filter);
    bool RemoveMessageFilter(CMessageFilter* filter);
    bool AddIdleHandler(CIdleHandler* handler);
    bool RemoveIdleHandler(CIdleHandler* handler);

    // Runs until WM_QUIT and returns its wParam.
    int Run();

    // Messages after which idle processing becomes pending again.
    static bool IsIdleMessage(const MSG& msg);

protected:
    // Calls every idle handler once; reports whether more idle work remains (never).
    virtual bool OnIdle(int idleCount);
    // True when a filter consumed the message.
    virtual bool PreTranslateMessage(MSG* msg);

private:
    std::vector<CMessageFilter*> filters;
    std::vector<CIdleHandler*> idleHandlers;
};
