#pragma once

// A view: a rectangle of a window with a name, a place in the window's view tree, colours,
// a font and a resizing mode. Views are models: they hold state and live on their window's
// thread; the display server shows them from the window's change stream (ChangeStream.h)
// and posts the user's input back as messages, from which the hooks below run.
//
// Threads and locking. A view attached to a window is changed only with the window locked
// (its thread, or a thread that locked it); debug builds assert this. A view not yet
// attached belongs to whoever made it. Hooks run on the window's thread, window locked.
//
// Ownership. A parent owns its children: deleting a view deletes its children; a window
// deletes its views when it quits. Remove a view (RemoveChild/RemoveSelf) before deleting it
// yourself.
//
// Coordinates. Frame() is in the parent's coordinate system (a top-level view's parent is
// the window's content area); Bounds() is the view's own, with its origin at (0, 0). Edges
// are inclusive, as BRect.

#include <Font.h>
#include <GraphicsDefs.h>
#include <Handler.h>
#include <InterfaceDefs.h>
#include <Point.h>
#include <Rect.h>
#include <SupportDefs.h>

#include <memory>
#include <vector>

class BBitmap;
class BCursor;
class BMessage;
class BWindow;

namespace kit_private {
class ChangeStream;
enum class ViewKind : uint8;
struct CursorImage;
struct FilteredKey;
struct Image;
class ViewAccess;
} // namespace kit_private

// Resizing modes: which of the parent's edges each of the view's edges follows when the
// parent is resized. Nibbles from the top: top edge, left edge, bottom edge, right edge.
enum
{
    _VIEW_TOP_ = 1,
    _VIEW_LEFT_ = 2,
    _VIEW_BOTTOM_ = 3,
    _VIEW_RIGHT_ = 4,
    _VIEW_CENTER_ = 5,
};
constexpr uint32 _rule_(uint32 top, uint32 left, uint32 bottom, uint32 right)
{
    return (top << 12) | (left << 8) | (bottom << 4) | right;
}
enum : uint32
{
    B_FOLLOW_NONE = 0,
    B_FOLLOW_ALL_SIDES = _rule_(_VIEW_TOP_, _VIEW_LEFT_, _VIEW_BOTTOM_, _VIEW_RIGHT_),
    B_FOLLOW_ALL = B_FOLLOW_ALL_SIDES,
    B_FOLLOW_LEFT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_LEFT_),
    B_FOLLOW_RIGHT = _rule_(0, _VIEW_RIGHT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_LEFT_RIGHT = _rule_(0, _VIEW_LEFT_, 0, _VIEW_RIGHT_),
    B_FOLLOW_H_CENTER = _rule_(0, _VIEW_CENTER_, 0, _VIEW_CENTER_),
    B_FOLLOW_TOP = _rule_(_VIEW_TOP_, 0, _VIEW_TOP_, 0),
    B_FOLLOW_BOTTOM = _rule_(_VIEW_BOTTOM_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_TOP_BOTTOM = _rule_(_VIEW_TOP_, 0, _VIEW_BOTTOM_, 0),
    B_FOLLOW_V_CENTER = _rule_(_VIEW_CENTER_, 0, _VIEW_CENTER_, 0),
};

// View flags
enum : uint32
{
    B_FULL_UPDATE_ON_RESIZE = 0x80000000,
    B_WILL_DRAW = 0x20000000,
    B_PULSE_NEEDED = 0x10000000,
    B_NAVIGABLE_JUMP = 0x08000000,
    B_FRAME_EVENTS = 0x04000000, // FrameMoved and FrameResized are called
    B_NAVIGABLE = 0x02000000,
    B_SUBPIXEL_PRECISE = 0x01000000,
    B_DRAW_ON_CHILDREN = 0x00800000,
    B_INPUT_METHOD_AWARE = 0x00400000,
};

// MouseMoved transits
enum
{
    B_ENTERED_VIEW = 0,
    B_INSIDE_VIEW,
    B_EXITED_VIEW,
    B_OUTSIDE_VIEW,
};

class BView : public BHandler
{
public:
    BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags);
    virtual ~BView(); // deletes the children; the view must not be attached

    // Hooks (window thread, window locked)
    virtual void AttachedToWindow();   // after the view and its children joined a window
    virtual void AllAttached();        // after every view of the added tree got the above
    virtual void DetachedFromWindow(); // before the view leaves its window
    virtual void AllDetached();
    virtual void MouseDown(BPoint where); // "where", "buttons", "clicks" in CurrentMessage()
    virtual void MouseUp(BPoint where);
    // dragMessage is the message being dragged over the view, or nullptr.
    virtual void MouseMoved(BPoint where, uint32 transit, const BMessage* dragMessage);
    // bytes: the key's UTF-8 bytes ("byte", "bytes", "modifiers" in CurrentMessage()).
    virtual void KeyDown(const char* bytes, int32 numBytes);
    virtual void FrameMoved(BPoint newPosition);                // with B_FRAME_EVENTS
    virtual void FrameResized(float newWidth, float newHeight); // with B_FRAME_EVENTS
    virtual void WindowActivated(bool active);
    void MessageReceived(BMessage* message) override;

    // The view tree
    void AddChild(BView* child, BView* before = nullptr);
    bool RemoveChild(BView* child);
    bool RemoveSelf();
    int32 CountChildren() const;
    BView* ChildAt(int32 index) const;
    BView* NextSibling() const;
    BView* PreviousSibling() const;
    BView* Parent() const;                   // nullptr for a top-level view
    BWindow* Window() const;                 // nullptr while not attached
    BView* FindView(const char* name) const; // this view or a descendant

    // Geometry
    BRect Frame() const;
    BRect Bounds() const;
    void MoveTo(BPoint where);
    void MoveTo(float x, float y);
    void MoveBy(float dx, float dy);
    void ResizeTo(float width, float height);
    void ResizeBy(float dx, float dy);
    virtual void GetPreferredSize(float* width, float* height);
    virtual void ResizeToPreferred();
    uint32 ResizingMode() const;
    virtual void SetResizingMode(uint32 mode);
    uint32 Flags() const;
    virtual void SetFlags(uint32 flags);
    virtual void Show(); // Show and Hide nest
    virtual void Hide();
    bool IsHidden() const; // hidden itself or through a parent

    // Coordinate conversions
    BPoint ConvertToParent(BPoint point) const;
    void ConvertToParent(BPoint* point) const;
    BRect ConvertToParent(BRect rect) const;
    void ConvertToParent(BRect* rect) const;
    BPoint ConvertFromParent(BPoint point) const;
    void ConvertFromParent(BPoint* point) const;
    BRect ConvertFromParent(BRect rect) const;
    void ConvertFromParent(BRect* rect) const;
    // Screen conversions need the view to be attached (otherwise the parent chain only).
    BPoint ConvertToScreen(BPoint point) const;
    void ConvertToScreen(BPoint* point) const;
    BRect ConvertToScreen(BRect rect) const;
    void ConvertToScreen(BRect* rect) const;
    BPoint ConvertFromScreen(BPoint point) const;
    void ConvertFromScreen(BPoint* point) const;
    BRect ConvertFromScreen(BRect rect) const;
    void ConvertFromScreen(BRect* rect) const;

    // Colours
    virtual void SetViewColor(rgb_color color);
    void SetViewColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
    rgb_color ViewColor() const;
    virtual void SetHighColor(rgb_color color);
    void SetHighColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
    rgb_color HighColor() const;
    virtual void SetLowColor(rgb_color color);
    void SetLowColor(uint8 red, uint8 green, uint8 blue, uint8 alpha = 255);
    rgb_color LowColor() const;

    // Font (the mask says which properties to take)
    virtual void SetFont(const BFont* font, uint32 mask = B_FONT_ALL);
    void GetFont(BFont* font) const;
    void SetFontSize(float size);
    float StringWidth(const char* string) const;
    float StringWidth(const char* string, int32 length) const;
    void GetFontHeight(font_height* height) const;

    // Focus
    virtual void MakeFocus(bool focus = true);
    bool IsFocus() const;

    // Drawing happens in the display server from the view's state; Invalidate asks it to
    // repaint the view now.
    void Invalidate();
    void Invalidate(BRect rect);

    // The pointer, from the display server's latest snapshot, in the view's coordinates;
    // buttons as in "buttons". (0, 0) and no buttons when nothing is shown.
    void GetMouse(BPoint* location, uint32* buttons, bool checkMessageQueue = true);

    // Starts dragging a copy of message, shown as the bitmap (copied; deleted here) held at
    // offset; where it is dropped, it arrives with WasDropped() true. Meant for MouseDown
    // and MouseMoved, while a button is held.
    void DragMessage(BMessage* message, BBitmap* bitmap, drawing_mode mode, BPoint offset,
                     BHandler* replyTo = nullptr);
    void DragMessage(BMessage* message, BRect dragRect, BHandler* replyTo = nullptr);

    // The cursor shown over the view (copied; nullptr: the system's).
    void SetViewCursor(const BCursor* cursor, bool sync = true);
    // A picture drawn at the view's origin under its contents (copied; nullptr: none).
    void SetViewBitmap(const BBitmap* bitmap);
    void ClearViewBitmap();

    // Keys the view's message filters may take (Tab, arrows, Command+letter): the display
    // server posts them without letting a native editor act on them first. modifiers is
    // the set of B_COMMAND_KEY, B_OPTION_KEY, B_MENU_KEY that must be held (0: none of them).
    void AddFilteredKey(uint32 byte, uint32 modifiers = 0);

protected:
    // For the view kit's subclasses
    // What the display server shows this view as.
    virtual kit_private::ViewKind _Kind() const;
    // Appends the view's whole state after it joined a window's stream (the base class
    // sends colours, font, cursor, bitmap and filtered keys; subclasses add theirs).
    virtual void _EmitState();
    // Kit messages from the display server addressed to this view; true when handled.
    virtual bool _ServerMessage(BMessage* message);
    // Appends a change for this view; nothing while it has no window or no display
    // (defined in ViewPrivate.h, which the kit's files include).
    template <typename Payload> void _Push(Payload&& payload);
    // The view's handler token in its window (0 while not attached).
    int32 _Token() const { return fToken; }
    kit_private::ChangeStream* _Stream() const;
    void _AssertLocked() const;

private:
    friend class BWindow;
    friend class kit_private::ViewAccess;

    void _Attach(BWindow* window);
    void _Detach();
    void _EmitTree();
    void _ParentResized(float dx, float dy);
    void _SetFrame(BRect frame);
    // Stores one of the three colours and sends all three when it changed.
    void _SetColor(rgb_color* slot, rgb_color color);

    BRect fFrame;
    uint32 fResizingMode;
    uint32 fFlags;
    BView* fParent;
    std::vector<BView*> fChildren;
    BWindow* fWindow;
    int32 fToken;
    int32 fShowLevel; // hidden while > 0
    rgb_color fViewColor;
    rgb_color fLowColor;
    rgb_color fHighColor;
    BFont fFont;
    std::shared_ptr<const kit_private::CursorImage> fCursor;
    std::shared_ptr<const kit_private::Image> fBitmap;
    std::vector<kit_private::FilteredKey> fFilteredKeys;
};
