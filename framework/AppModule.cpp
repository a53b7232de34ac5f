#include "AppModule.h"

CAppModule AppModule;

void CAppModule::Init(HINSTANCE moduleInstance)
{
    std::lock_guard<std::mutex> guard(lock);
    instance = moduleInstance;
    mainThreadId = ::GetCurrentThreadId();
    loops.clear();
}

void CAppModule::Term()
{
    std::lock_guard<std::mutex> guard(lock);
    loops.clear();
    mainThreadId = 0;
}

bool CAppModule::AddMessageLoop(CMessageLoop* loop)
{
    std::lock_guard<std::mutex> guard(lock);
    return loop && loops.emplace(::GetCurrentThreadId(), loop).second;
}

bool CAppModule::RemoveMessageLoop()
{
    std::lock_guard<std::mutex> guard(lock);
    return loops.erase(::GetCurrentThreadId()) == 1;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId) const
{
    std::lock_guard<std::mutex> guard(lock);
    auto it = loops.find(threadId);
    return it == loops.end() ? nullptr : it->second;
}
