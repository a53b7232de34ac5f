#include "MessageLoop.h"

#include <algorithm>

namespace {

template <typename T>
bool AddUnique(std::vector<T*>& list, T* item)
{
    if (!item || std::find(list.begin(), list.end(), item) != list.end())
        return false;
    list.push_back(item);
    return true;
}

template <typename T>
bool RemoveItem(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end())
        return false;
    list.erase(it);
    return true;
}

constexpr UINT WM_SYSTIMER = 0x0118;

} // namespace

bool CMessageLoop::AddMessageFilter(CMessageFilter* filter) { return AddUnique(filters, filter); }
bool CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return RemoveItem(filters, filter); }
bool CMessageLoop::AddIdleHandler(CIdleHandler* handler) { return AddUnique(idleHandlers, handler); }
bool CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { return RemoveItem(idleHandlers, handler); }

int CMessageLoop::Run()
{
    bool idlePending = true;
    int idleCount = 0;
    MSG msg{};
    for (;;) {
        while (idlePending && !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++))
                idlePending = false;
        }
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (!got)
            break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (IsIdleMessage(msg)) {
            idlePending = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(msg.wParam);
}

bool CMessageLoop::IsIdleMessage(const MSG& msg)
{
    switch (msg.message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case WM_SYSTIMER:
        return false;
    default:
        return true;
    }
}

bool CMessageLoop::OnIdle(int)
{
    // A handler may remove itself while being called.
    const std::vector<CIdleHandler*> snapshot = idleHandlers;
    for (CIdleHandler* handler : snapshot)
        handler->OnIdle();
    return false;
}

bool CMessageLoop::PreTranslateMessage(MSG* msg)
{
    const std::vector<CMessageFilter*> snapshot = filters;
    for (auto it = snapshot.rbegin(); it != snapshot.rend(); ++it) {
        if ((*it)->PreTranslateMessage(msg))
            return true;
    }
    return false;
}
