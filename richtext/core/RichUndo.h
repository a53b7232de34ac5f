#pragma once
#include <vector>

struct RichElement;

constexpr int UndoDelete = 1;
constexpr int UndoInsert = 2;

// One editing step. The elements stay owned by the engine's list of all elements.
struct UndoRecord {
    int kind = UndoInsert;
    int position = 0;
    int caretIndex = 0;
    int caretX = 0;
    int caretY = 0;
    int horizontalOffset = 0;
    int verticalOffset = 0;
    std::vector<RichElement*> elements;
    // Made by the same editing step as the record before it (a line break and the list
    // numbers it moved): undone and redone together with it.
    bool continuesStep = false;

    int Count() const { return static_cast<int>(elements.size()); }
    // An insert of word characters only (no line break, space or picture), made as a
    // step of its own.
    bool IsWord() const;
};

// Records with a current index; -1 means nothing to undo.
class UndoList {
public:
    // Drops the redo history after the current record, then appends. While a step is
    // open, every record after its first continues it.
    void Append(UndoRecord record);
    void Clear();
    int CurrentIndex() const { return current; }
    void SetCurrentIndex(int index) { current = index; }
    const std::vector<UndoRecord>& Records() const { return records; }
    // Steps nest: only the outermost one counts.
    void OpenStep();
    void CloseStep();

private:
    std::vector<UndoRecord> records;
    int current = -1;
    int openSteps = 0;
    bool stepHasRecord = false;
};

// Keeps a step of the list open while it lives.
class UndoStepScope {
public:
    explicit UndoStepScope(UndoList& list) : list(list) { list.OpenStep(); }
    ~UndoStepScope() { list.CloseStep(); }
    UndoStepScope(const UndoStepScope&) = delete;
    UndoStepScope& operator=(const UndoStepScope&) = delete;

private:
    UndoList& list;
};
