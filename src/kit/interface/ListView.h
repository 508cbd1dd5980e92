#pragma once

// A list of rows (BListItem), with single or multiple selection. The list does not own its
// rows: whoever adds them deletes them (after removing them, or by deleting them while in
// the list, which removes them).
//
// Selection messages (SetSelectionMessage) are sent when the selection changes, the
// invocation message (SetInvocationMessage, BInvoker's) on a double click or Enter; both
// carry "index" (int32): for a single-selection list the selected row (-1 for none), for a
// multiple-selection list one value per selected row.
//
// Clicks arrive as MouseDown on the window thread and select rows here, so a subclass can
// look at the click first. A press on a row followed by a move with the button held asks
// InitiateDrag (which may call DragMessage). All rows are drawn with the first row's height.

#include <Invoker.h>
#include <ListItem.h>
#include <View.h>

#include <vector>

class BList;

enum list_view_type
{
    B_SINGLE_SELECTION_LIST,
    B_MULTIPLE_SELECTION_LIST,
};

class BListView : public BView, public BInvoker
{
public:
    BListView(BRect frame, const char* name, list_view_type type = B_SINGLE_SELECTION_LIST,
              uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
              uint32 flags = B_WILL_DRAW | B_FRAME_EVENTS | B_NAVIGABLE);
    virtual ~BListView(); // rows stay alive

    // Rows
    virtual bool AddItem(BListItem* item);
    virtual bool AddItem(BListItem* item, int32 index);
    virtual bool AddList(BList* items); // of BListItem*
    virtual bool RemoveItem(BListItem* item);
    virtual BListItem* RemoveItem(int32 index);
    virtual bool RemoveItems(int32 index, int32 count);
    bool MoveItem(int32 from, int32 to);
    bool SwapItems(int32 a, int32 b);
    void MakeEmpty();
    BListItem* ItemAt(int32 index) const;
    BListItem* FirstItem() const;
    BListItem* LastItem() const;
    int32 IndexOf(const BListItem* item) const;
    // The row under a point in the view's coordinates, or -1.
    int32 IndexOf(BPoint point) const;
    int32 CountItems() const;
    bool IsEmpty() const;
    BRect ItemFrame(int32 index) const;
    // compare gets pointers to BListItem* (as BList::SortItems). The selection follows its
    // rows.
    void SortItems(int (*compare)(const void*, const void*));
    void InvalidateItem(int32 index);

    // Selection
    list_view_type ListType() const;
    virtual void SetListType(list_view_type type);
    void Select(int32 index, bool extend = false);
    void Select(int32 from, int32 to, bool extend = false);
    void Deselect(int32 index);
    void DeselectAll();
    bool IsItemSelected(int32 index) const;
    // The index-th selected row's index, or -1 past the last.
    int32 CurrentSelection(int32 index = 0) const;
    virtual void SelectionChanged(); // hook, after the selection changed
    void ScrollToSelection();
    void ScrollTo(int32 index);

    // Messages (owned)
    virtual void SetSelectionMessage(BMessage* message);
    BMessage* SelectionMessage() const;
    uint32 SelectionCommand() const;
    virtual void SetInvocationMessage(BMessage* message);
    BMessage* InvocationMessage() const;
    uint32 InvocationCommand() const;
    // Posts a copy of message (or the invocation message) with "index", "when", "source".
    status_t Invoke(BMessage* message = nullptr) override;

    // Hooks
    void AttachedToWindow() override;
    void MouseDown(BPoint where) override;
    void MouseUp(BPoint where) override;
    void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage) override;
    void KeyDown(const char* bytes, int32 numBytes) override;
    void SetFont(const BFont* font, uint32 mask = B_FONT_ALL) override;
    // A press on row index moved with the button held; wasSelected: the row was selected
    // before the press. Return true after starting a drag. The default starts none.
    virtual bool InitiateDrag(BPoint point, int32 index, bool wasSelected);

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    friend class BListItem;
    void _ItemChanged(BListItem* item);
    void _SelectionChanged(const std::vector<int32>& before);
    std::vector<int32> _Selected() const;
    // As _Selected, without the walk when nothing is selected (rows' own flags unchanged).
    std::vector<int32> _SelectedBefore() const;
    void _SendRows();
    void _Adopt(BListItem* item);
    float _RowHeight() const;

    std::vector<BListItem*> fItems;
    list_view_type fType;
    BMessage* fSelectionMessage;
    int32 fAnchor; // the row extended selections start from
    // A press that may become a drag
    bool fTracking;
    BPoint fTrackWhere;
    int32 fTrackIndex;
    bool fTrackWasSelected;
    int32 fLastClicked;
    // Rows selected as of the last selection change: adding and removing rows of a list
    // without a selection need not look at every row.
    size_t fSelectedCount = 0;
};
