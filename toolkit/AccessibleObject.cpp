#include "AccessibleObject.h"

#include <atomic>
#include <functional>

#include "ToolkitMessages.h"

namespace {

// Child ids arrive as VT_I4 variants; anything else is no child of ours.
bool ChildId(const VARIANT& child, long& id)
{
    if (child.vt != VT_I4)
        return false;
    id = child.lVal;
    return true;
}

HRESULT ReturnText(const std::wstring& text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (text.empty())
        return S_FALSE;
    *out = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnLong(long value, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

} // namespace

long WindowStates(HWND hwnd, bool tabStop)
{
    long state = 0;
    const bool shown = ::IsWindowVisible(hwnd) != FALSE;
    const bool enabled = ::IsWindowEnabled(hwnd) != FALSE;
    if (!shown)
        state |= STATE_SYSTEM_INVISIBLE;
    if (!enabled)
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (tabStop && shown && enabled)
        state |= STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == hwnd)
        state |= STATE_SYSTEM_FOCUSED;
    return state;
}

bool AccessibleSource::StartDefaultAction(long)
{
    return false;
}

// The IAccessible handed out for one window. What the source knows is asked on the
// window's thread; the rest is the standard object's.
class CAccessibleObject final : public IAccessible {
public:
    CAccessibleObject(HWND hwnd, AccessibleSource& owner, IAccessible* standardObject)
        : window(hwnd), source(&owner), standard(standardObject)
    {
    }

    // On the window's thread, when the server goes.
    void Disconnect() { source = nullptr; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IDispatch) || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const ULONG left = --references;
        if (left == 0)
            delete this;
        return left;
    }

    // IDispatch: the standard object's.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override
    {
        return standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override
    {
        return standard->Invoke(id, iid, locale, flags, params, result, exception, argumentError);
    }

    // IAccessible: children.
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        if (!count)
            return E_POINTER;
        return OnWindowThread([&](AccessibleSource& s) {
            *count = s.SimpleChildCount() + static_cast<long>(s.AccessibleChildWindows().size());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        long id = 0;
        if (!ChildId(child, id) || id <= 0)
            return E_INVALIDARG;
        HWND childWindow = nullptr;
        const HRESULT found = OnWindowThread([&](AccessibleSource& s) {
            if (id <= s.SimpleChildCount())
                return S_FALSE;
            const std::vector<HWND> windows = s.AccessibleChildWindows();
            const size_t index = static_cast<size_t>(id - s.SimpleChildCount() - 1);
            if (index >= windows.size())
                return E_INVALIDARG;
            childWindow = windows[index];
            return S_OK;
        });
        if (found != S_OK)
            return found;
        // Asked here, not on the window's thread: it sends WM_GETOBJECT to the child.
        return ::AccessibleObjectFromWindow(childWindow, OBJID_CLIENT, __uuidof(IDispatch),
                                            reinterpret_cast<void**>(out));
    }

    // IAccessible: what the source says.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override
    {
        return Fact(child, [&](const AccessibleFacts& f) { return ReturnText(f.name, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override
    {
        return Fact(child, [&](const AccessibleFacts& f) { return ReturnText(f.value, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override
    {
        return Fact(child, [&](const AccessibleFacts& f) { return ReturnText(f.description, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override
    {
        return Fact(child, [&](const AccessibleFacts& f) { return ReturnLong(f.role, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override
    {
        return Fact(child, [&](const AccessibleFacts& f) { return ReturnLong(f.state, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override
    {
        return Fact(child, [&](const AccessibleFacts& f) { return ReturnText(f.defaultAction, out); });
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        long id = 0;
        if (!ChildId(child, id))
            return E_INVALIDARG;
        return OnWindowThread([&](AccessibleSource& s) {
            return s.StartDefaultAction(id) ? S_OK : DISP_E_MEMBERNOTFOUND;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        long id = 0;
        if (!ChildId(child, id))
            return E_INVALIDARG;
        if (id == CHILDID_SELF)
            return standard->accLocation(left, top, width, height, child);
        if (!left || !top || !width || !height)
            return E_POINTER;
        return Fact(child, [&](const AccessibleFacts& f) {
            *left = f.location.left;
            *top = f.location.top;
            *width = f.location.right - f.location.left;
            *height = f.location.bottom - f.location.top;
            return S_OK;
        });
    }

    // IAccessible: the standard object's.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return standard->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        return standard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return standard->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        return standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~CAccessibleObject() { standard->Release(); }

    // Runs `use` with the source on the window's thread; CO_E_OBJNOTCONNECTED once the
    // window or its object is gone.
    HRESULT OnWindowThread(const std::function<HRESULT(AccessibleSource&)>& use)
    {
        HRESULT result = CO_E_OBJNOTCONNECTED;
        std::function<void()> call = [&] {
            if (source)
                result = use(*source);
        };
        if (::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId())
            call();
        else
            ::SendMessageW(window, WM_ALPHA_ACCESSIBLE_CALL, 0, reinterpret_cast<LPARAM>(&call));
        return result;
    }

    template <typename Use>
    HRESULT Fact(const VARIANT& child, Use use)
    {
        long id = 0;
        if (!ChildId(child, id))
            return E_INVALIDARG;
        return OnWindowThread([&](AccessibleSource& s) {
            if (id < 0 || id > s.SimpleChildCount())
                return E_INVALIDARG;
            return use(s.DescribeAccessible(id));
        });
    }

    HWND window;
    AccessibleSource* source;
    IAccessible* standard;
    std::atomic<ULONG> references{1};
};

AccessibleServer::~AccessibleServer()
{
    if (object) {
        object->Disconnect();
        object->Release();
    }
}

bool AccessibleServer::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (message == WM_ALPHA_ACCESSIBLE_CALL) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        result = 0;
        return true;
    }
    if (message != WM_GETOBJECT || static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT))
        return false;
    if (!object) {
        IAccessible* standard = nullptr;
        if (FAILED(::CreateStdAccessibleObject(hwnd, OBJID_CLIENT, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&standard))))
            return false;
        object = new CAccessibleObject(hwnd, source, standard);
    }
    result = ::LresultFromObject(__uuidof(IAccessible), wParam, object);
    return true;
}
