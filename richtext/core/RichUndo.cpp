#include "RichUndo.h"

#include "RichElement.h"

bool UndoRecord::IsWord() const
{
    if (kind != UndoInsert || continuesStep)
        return false;
    for (const RichElement* element : elements) {
        if (element->IsImage() || element->IsLineBreak() || element->Is(L' '))
            return false;
    }
    return true;
}

void UndoList::Append(UndoRecord record)
{
    if (openSteps > 0) {
        record.continuesStep = stepHasRecord;
        stepHasRecord = true;
    }
    records.resize(static_cast<size_t>(current + 1));
    records.push_back(std::move(record));
    current = static_cast<int>(records.size()) - 1;
}

void UndoList::Clear()
{
    records.clear();
    current = -1;
}

void UndoList::OpenStep()
{
    if (openSteps++ == 0)
        stepHasRecord = false;
}

void UndoList::CloseStep()
{
    --openSteps;
}
