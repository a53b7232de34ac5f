#pragma once

class CRichModel;

// What the host of a rich text engine is told.
class IRichListener {
public:
    virtual ~IRichListener() = default;
    virtual void OnHeightChanged(int height) {}
    virtual void OnChanged(CRichModel* engine) {}
    virtual void OnScrolled(int horizontalOffset, int verticalOffset) {}
    virtual void OnEnter() {}
    virtual void OnFocusLost(CRichModel* engine) {}
    virtual void OnClickedWhileInactive(CRichModel* engine) {}
};
