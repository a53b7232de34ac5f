#pragma once
#include <windows.h>
#include <optional>
#include <string>
#include <vector>

// Update-UI base: remembers the wanted state of UI elements by command id and applies
// it to the matching child windows of the registered containers on request (usually
// from an idle handler).
class CUpdateUIBase {
public:
    bool UIAddChildWindowContainer(HWND container);
    void UIEnable(int id, bool enabled);
    void UISetCheck(int id, int check);
    void UISetText(int id, const std::wstring& text);
    // Applies every pending change; returns how many elements were updated.
    int UIUpdateChildWindows();

private:
    struct Element {
        int id;
        std::optional<bool> enabled;
        std::optional<int> check;
        std::optional<std::wstring> text;
        bool pending = false;
    };
    Element& ElementFor(int id);

    std::vector<Element> elements;
    std::vector<HWND> containers;
};

template <class T>
class CUpdateUI : public CUpdateUIBase {};
