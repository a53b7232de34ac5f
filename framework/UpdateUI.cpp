#include "UpdateUI.h"

#include <algorithm>

bool CUpdateUIBase::UIAddChildWindowContainer(HWND container)
{
    if (!container || std::find(containers.begin(), containers.end(), container) != containers.end())
        return false;
    containers.push_back(container);
    return true;
}

CUpdateUIBase::Element& CUpdateUIBase::ElementFor(int id)
{
    for (Element& element : elements) {
        if (element.id == id)
            return element;
    }
    elements.push_back(Element{id, {}, {}, {}, false});
    return elements.back();
}

void CUpdateUIBase::UIEnable(int id, bool enabled)
{
    Element& element = ElementFor(id);
    element.enabled = enabled;
    element.pending = true;
}

void CUpdateUIBase::UISetCheck(int id, int check)
{
    Element& element = ElementFor(id);
    element.check = check;
    element.pending = true;
}

void CUpdateUIBase::UISetText(int id, const std::wstring& text)
{
    Element& element = ElementFor(id);
    element.text = text;
    element.pending = true;
}

int CUpdateUIBase::UIUpdateChildWindows()
{
    int updated = 0;
    for (Element& element : elements) {
        if (!element.pending)
            continue;
        for (HWND container : containers) {
            HWND child = ::GetDlgItem(container, element.id);
            if (!child)
                continue;
            if (element.enabled)
                ::EnableWindow(child, *element.enabled);
            if (element.check)
                ::SendMessageW(child, BM_SETCHECK, static_cast<WPARAM>(*element.check), 0);
            if (element.text)
                ::SetWindowTextW(child, element.text->c_str());
        }
        element.pending = false;
        ++updated;
    }
    return updated;
}
