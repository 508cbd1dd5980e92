// BListView: rows, selection and messages (see ListView.h). Mouse and keys are in
// ListViewInput.cpp.

#include "ListView.h"

#include "ViewPrivate.h"

#include <List.h>
#include <Message.h>
#include <OS.h>
#include <Window.h>

#include <algorithm>
#include <cmath>

namespace change = kit_private::change;

namespace {

kit_private::ListRow RowOf(const BListItem* item)
{
    kit_private::ListRow row;
    row.text = item->DisplayText();
    row.enabled = item->IsEnabled();
    row.ownColors = item->HasColors();
    row.textColor = item->TextColor();
    row.selectionColor = item->SelectionColor();
    return row;
}

} // namespace

BListView::BListView(BRect frame, const char* name, list_view_type type, uint32 resizingMode,
                     uint32 flags)
    : BView(frame, name, resizingMode, flags), fType(type), fSelectionMessage(nullptr), fAnchor(-1),
      fTracking(false), fTrackIndex(-1), fTrackWasSelected(false), fLastClicked(-1)
{
}

BListView::~BListView()
{
    for (BListItem* item : fItems)
        item->fOwner = nullptr;
    delete fSelectionMessage;
}

// Rows

void BListView::_Adopt(BListItem* item)
{
    item->fOwner = this;
    if (Window() != nullptr) {
        BFont font;
        GetFont(&font);
        item->Update(this, &font);
    }
}

bool BListView::AddItem(BListItem* item)
{
    return AddItem(item, CountItems());
}

bool BListView::AddItem(BListItem* item, int32 index)
{
    _AssertLocked();
    if (item == nullptr || item->fOwner != nullptr || index < 0 || index > CountItems())
        return false;
    std::vector<int32> before = _SelectedBefore();
    fItems.insert(fItems.begin() + index, item);
    _Adopt(item);
    _Push(change::ListInsert{index, RowOf(item)});
    if (item->IsSelected() || (!before.empty() && before.back() >= index))
        _SelectionChanged(before);
    return true;
}

bool BListView::AddList(BList* items)
{
    _AssertLocked();
    if (items == nullptr)
        return false;
    for (int32 i = 0; i < items->CountItems(); i++) {
        auto* item = static_cast<BListItem*>(items->ItemAt(i));
        if (item == nullptr || item->fOwner != nullptr)
            continue;
        fItems.push_back(item);
        _Adopt(item);
    }
    fSelectedCount = _Selected().size();
    _SendRows();
    return true;
}

bool BListView::RemoveItem(BListItem* item)
{
    int32 index = IndexOf(item);
    return index >= 0 && RemoveItem(index) != nullptr;
}

BListItem* BListView::RemoveItem(int32 index)
{
    _AssertLocked();
    if (index < 0 || index >= CountItems())
        return nullptr;
    std::vector<int32> before = _SelectedBefore();
    BListItem* item = fItems[static_cast<size_t>(index)];
    fItems.erase(fItems.begin() + index);
    item->fOwner = nullptr;
    bool wasSelected = item->IsSelected();
    item->Deselect();
    _Push(change::ListRemove{index});
    if (fAnchor >= CountItems())
        fAnchor = CountItems() - 1;
    if (wasSelected || (!before.empty() && before.back() > index))
        _SelectionChanged(before);
    return item;
}

bool BListView::RemoveItems(int32 index, int32 count)
{
    if (index < 0 || count < 0 || index + count > CountItems())
        return false;
    for (int32 i = 0; i < count; i++)
        RemoveItem(index);
    return true;
}

bool BListView::MoveItem(int32 from, int32 to)
{
    _AssertLocked();
    if (from < 0 || to < 0 || from >= CountItems() || to >= CountItems())
        return false;
    if (from == to)
        return true;
    std::vector<int32> before = _Selected();
    BListItem* item = fItems[static_cast<size_t>(from)];
    fItems.erase(fItems.begin() + from);
    fItems.insert(fItems.begin() + to, item);
    _SendRows();
    if (_Selected() != before)
        _SelectionChanged(before);
    return true;
}

bool BListView::SwapItems(int32 a, int32 b)
{
    _AssertLocked();
    if (a < 0 || b < 0 || a >= CountItems() || b >= CountItems())
        return false;
    std::vector<int32> before = _Selected();
    std::swap(fItems[static_cast<size_t>(a)], fItems[static_cast<size_t>(b)]);
    _SendRows();
    if (_Selected() != before)
        _SelectionChanged(before);
    return true;
}

void BListView::MakeEmpty()
{
    _AssertLocked();
    std::vector<int32> before = _Selected();
    for (BListItem* item : fItems) {
        item->fOwner = nullptr;
        item->Deselect();
    }
    fItems.clear();
    fSelectedCount = 0;
    fAnchor = -1;
    _SendRows();
    if (!before.empty())
        _SelectionChanged(before);
}

BListItem* BListView::ItemAt(int32 index) const
{
    if (index < 0 || index >= CountItems())
        return nullptr;
    return fItems[static_cast<size_t>(index)];
}

BListItem* BListView::FirstItem() const
{
    return ItemAt(0);
}

BListItem* BListView::LastItem() const
{
    return ItemAt(CountItems() - 1);
}

int32 BListView::IndexOf(const BListItem* item) const
{
    auto found = std::find(fItems.begin(), fItems.end(), item);
    return found == fItems.end() ? -1 : static_cast<int32>(found - fItems.begin());
}

int32 BListView::IndexOf(BPoint point) const
{
    if (point.y < 0)
        return -1;
    float height = _RowHeight();
    if (height <= 0)
        return -1;
    int32 index = static_cast<int32>(std::floor(point.y / height));
    return index < CountItems() ? index : -1;
}

int32 BListView::CountItems() const
{
    return static_cast<int32>(fItems.size());
}

bool BListView::IsEmpty() const
{
    return fItems.empty();
}

float BListView::_RowHeight() const
{
    if (!fItems.empty() && fItems.front()->Height() > 0)
        return fItems.front()->Height();
    font_height metrics;
    GetFontHeight(&metrics);
    return std::ceil(metrics.ascent) + std::ceil(metrics.descent) + std::ceil(metrics.leading) + 4;
}

BRect BListView::ItemFrame(int32 index) const
{
    float height = _RowHeight();
    return BRect(0, index * height, Bounds().Width(), (index + 1) * height - 1);
}

void BListView::SortItems(int (*compare)(const void*, const void*))
{
    _AssertLocked();
    if (compare == nullptr)
        return;
    std::vector<int32> before = _Selected();
    std::stable_sort(fItems.begin(), fItems.end(),
                     [compare](BListItem* a, BListItem* b) { return compare(&a, &b) < 0; });
    _SendRows();
    if (_Selected() != before)
        _SelectionChanged(before);
}

void BListView::InvalidateItem(int32 index)
{
    if (BListItem* item = ItemAt(index))
        _ItemChanged(item);
}

void BListView::_ItemChanged(BListItem* item)
{
    int32 index = IndexOf(item);
    if (index >= 0)
        _Push(change::ListRowChanged{index, RowOf(item)});
}

void BListView::_SendRows()
{
    kit_private::ChangeStream* stream = _Stream();
    if (stream == nullptr)
        return;
    std::vector<kit_private::ListRow> rows;
    rows.reserve(fItems.size());
    for (BListItem* item : fItems)
        rows.push_back(RowOf(item));
    _Push(change::ListRows{std::move(rows), _RowHeight(), fType == B_MULTIPLE_SELECTION_LIST});
}

// Selection

list_view_type BListView::ListType() const
{
    return fType;
}

void BListView::SetListType(list_view_type type)
{
    _AssertLocked();
    if (type == fType)
        return;
    fType = type;
    if (type == B_SINGLE_SELECTION_LIST) {
        int32 first = CurrentSelection(0);
        std::vector<int32> before = _Selected();
        for (BListItem* item : fItems)
            item->Deselect();
        if (first >= 0)
            fItems[static_cast<size_t>(first)]->Select();
        if (_Selected() != before)
            _SelectionChanged(before);
    }
    _SendRows();
}

std::vector<int32> BListView::_Selected() const
{
    std::vector<int32> selected;
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->IsSelected())
            selected.push_back(static_cast<int32>(i));
    }
    return selected;
}

std::vector<int32> BListView::_SelectedBefore() const
{
    return fSelectedCount == 0 ? std::vector<int32>{} : _Selected();
}

void BListView::_SelectionChanged(const std::vector<int32>& before)
{
    std::vector<int32> now = _Selected();
    fSelectedCount = now.size();
    _Push(change::ListSelection{now});
    if (now == before)
        return;
    SelectionChanged();
    if (fSelectionMessage != nullptr)
        Invoke(fSelectionMessage);
}

void BListView::Select(int32 index, bool extend)
{
    Select(index, index, extend);
}

void BListView::Select(int32 from, int32 to, bool extend)
{
    _AssertLocked();
    if (from < 0 || to < 0 || from >= CountItems() || to >= CountItems())
        return;
    if (from > to)
        std::swap(from, to);
    std::vector<int32> before = _Selected();
    if (fType == B_SINGLE_SELECTION_LIST) {
        // One row at most: the last one asked for.
        extend = false;
        from = to;
    }
    if (!extend) {
        for (BListItem* item : fItems)
            item->Deselect();
    }
    for (int32 i = from; i <= to; i++) {
        if (fItems[static_cast<size_t>(i)]->IsEnabled())
            fItems[static_cast<size_t>(i)]->Select();
    }
    fAnchor = from;
    if (_Selected() != before)
        _SelectionChanged(before);
}

void BListView::Deselect(int32 index)
{
    _AssertLocked();
    BListItem* item = ItemAt(index);
    if (item == nullptr || !item->IsSelected())
        return;
    std::vector<int32> before = _Selected();
    item->Deselect();
    _SelectionChanged(before);
}

void BListView::DeselectAll()
{
    _AssertLocked();
    std::vector<int32> before = _Selected();
    if (before.empty())
        return;
    for (BListItem* item : fItems)
        item->Deselect();
    _SelectionChanged(before);
}

bool BListView::IsItemSelected(int32 index) const
{
    BListItem* item = ItemAt(index);
    return item != nullptr && item->IsSelected();
}

int32 BListView::CurrentSelection(int32 index) const
{
    if (index < 0)
        return -1;
    for (size_t i = 0; i < fItems.size(); i++) {
        if (fItems[i]->IsSelected() && index-- == 0)
            return static_cast<int32>(i);
    }
    return -1;
}

void BListView::SelectionChanged() {}

void BListView::ScrollToSelection()
{
    int32 first = CurrentSelection(0);
    if (first >= 0)
        ScrollTo(first);
}

void BListView::ScrollTo(int32 index)
{
    _AssertLocked();
    if (index >= 0 && index < CountItems())
        _Push(change::ListScrollTo{index});
}

// Messages

void BListView::SetSelectionMessage(BMessage* message)
{
    delete fSelectionMessage;
    fSelectionMessage = message;
}

BMessage* BListView::SelectionMessage() const
{
    return fSelectionMessage;
}

uint32 BListView::SelectionCommand() const
{
    return fSelectionMessage != nullptr ? fSelectionMessage->what : 0;
}

void BListView::SetInvocationMessage(BMessage* message)
{
    SetMessage(message);
}

BMessage* BListView::InvocationMessage() const
{
    return Message();
}

uint32 BListView::InvocationCommand() const
{
    return Command();
}

status_t BListView::Invoke(BMessage* message)
{
    BMessage* source = message != nullptr ? message : Message();
    if (source == nullptr)
        return B_BAD_VALUE;
    BMessage copy(*source);
    copy.AddInt64("when", system_time());
    copy.AddPointer("source", static_cast<BView*>(this));
    if (fType == B_SINGLE_SELECTION_LIST) {
        copy.AddInt32("index", CurrentSelection(0));
    } else {
        for (int32 index : _Selected())
            copy.AddInt32("index", index);
    }
    return BInvoker::Invoke(&copy);
}

void BListView::AttachedToWindow()
{
    if (!Messenger().IsValid())
        SetTarget(Window());
    BFont font;
    GetFont(&font);
    for (BListItem* item : fItems)
        item->Update(this, &font);
    BView::AttachedToWindow();
}

void BListView::SetFont(const BFont* font, uint32 mask)
{
    BView::SetFont(font, mask);
    BFont now;
    GetFont(&now);
    for (BListItem* item : fItems)
        item->Update(this, &now);
    _SendRows();
}

kit_private::ViewKind BListView::_Kind() const
{
    return kit_private::ViewKind::ListView;
}

void BListView::_EmitState()
{
    BView::_EmitState();
    // Rows joined before the list was attached get their height first.
    BFont font;
    GetFont(&font);
    for (BListItem* item : fItems) {
        if (item->Height() <= 0)
            item->Update(this, &font);
    }
    _SendRows();
    _Push(change::ListSelection{_Selected()});
}
