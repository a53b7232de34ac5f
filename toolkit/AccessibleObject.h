#pragma once
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

// What one element of a window tells assistive technology.
struct AccessibleFacts {
    std::wstring name;
    long role = ROLE_SYSTEM_CLIENT;
    long state = 0;
    std::wstring value;
    std::wstring description;
    // Empty when the element has no default action.
    std::wstring defaultAction;
    // Screen rectangle of a simple child; a window's own comes from the system.
    RECT location{};
};

// The states a window's look gives: invisible, unavailable, focusable (when it is a tab
// stop that can take the focus now), focused.
long WindowStates(HWND hwnd, bool tabStop);

// A window that shows itself to assistive technology. Its children are first its simple
// elements (child ids 1 to SimpleChildCount, described here), then its child windows, each
// answering for itself. Everything here is asked on the window's own thread.
class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    // `child` 0 is the window itself.
    virtual AccessibleFacts DescribeAccessible(long child) const = 0;
    virtual long SimpleChildCount() const { return 0; }
    virtual std::vector<HWND> AccessibleChildWindows() const { return {}; }
    // Starts the element's default action once the caller has returned; false when it has none.
    virtual bool StartDefaultAction(long child);
};

// Answers WM_GETOBJECT for OBJID_CLIENT with one IAccessible per window: the system's
// standard object (CreateStdAccessibleObject) with what `source` says laid over it. Calls
// from other threads (a screen reader's, through COM) are carried to the window's thread.
// The object is disconnected when the server goes, and then answers
// CO_E_OBJNOTCONNECTED to whoever still holds it.
class AccessibleServer {
public:
    explicit AccessibleServer(AccessibleSource& source) : source(source) {}
    ~AccessibleServer();
    AccessibleServer(const AccessibleServer&) = delete;
    AccessibleServer& operator=(const AccessibleServer&) = delete;

    // WM_GETOBJECT and the calls carried to this thread; false for any other message.
    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

private:
    AccessibleSource& source;
    class CAccessibleObject* object = nullptr;
};
