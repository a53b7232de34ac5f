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
    // Made by the same editing step as the record before it: undone and redone with it.
    bool joinsPrevious = false;

    int Count() const { return static_cast<int>(elements.size()); }
    // An insert of word characters only: no line break, space or picture.
    bool IsWord() const;
};

// Records with a current index; -1 means nothing to undo.
class UndoList {
public:
    // Drops the redo history after the current record, then appends.
    void Append(UndoRecord record);
    void Clear();
    int CurrentIndex() const { return current; }
    void SetCurrentIndex(int index) { current = index; }
    const std::vector<UndoRecord>& Records() const { return records; }

private:
    std::vector<UndoRecord> records;
    int current = -1;
};
