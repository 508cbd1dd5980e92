// BView: the tree, geometry, colours, font and focus of a view (see View.h). Input hooks
// and the change stream plumbing are in ViewInput.cpp and ViewStream.cpp.

#include "ViewPrivate.h"

#include <Button.h>
#include <MenuBar.h>
#include <Message.h>

#include <algorithm>
#include <cassert>
#include <cmath>
#include <cstring>
#include <functional>

using kit_private::ViewAccess;
namespace change = kit_private::change;

BView::BView(BRect frame, const char* name, uint32 resizingMode, uint32 flags)
    : BHandler(name), fFrame(frame), fResizingMode(resizingMode), fFlags(flags), fParent(nullptr),
      fWindow(nullptr), fToken(0),
      fShowLevel(0), fViewColor{255, 255, 255, 255}, fLowColor{255, 255, 255, 255}, fHighColor{0, 0,
                                                                                               0,
                                                                                               255}
{
}

BView::~BView()
{
    // A view deleted while attached leaves its window first, so the window never keeps a
    // pointer to freed memory (its hooks run as this class's, the subclass being gone).
    if (fParent != nullptr)
        fParent->RemoveChild(this);
    std::vector<BView*> children;
    children.swap(fChildren);
    for (BView* child : children) {
        child->fParent = nullptr;
        delete child;
    }
}

void BView::_AssertLocked() const
{
    assert(fWindow == nullptr || fWindow->IsLocked());
}

// Hooks: the defaults do nothing.

void BView::AttachedToWindow() {}
void BView::AllAttached() {}
void BView::DetachedFromWindow() {}
void BView::AllDetached() {}
void BView::MouseDown(BPoint) {}
void BView::MouseUp(BPoint) {}
void BView::MouseMoved(BPoint, uint32, const BMessage*) {}
void BView::FrameMoved(BPoint) {}
void BView::FrameResized(float, float) {}
void BView::WindowActivated(bool) {}

void BView::KeyDown(const char* bytes, int32 numBytes)
{
    // Enter that no view takes presses the window's default button.
    if (numBytes == 1 && bytes[0] == B_ENTER && fWindow != nullptr) {
        BButton* button = fWindow->DefaultButton();
        if (button != nullptr && button != this && button->IsEnabled())
            button->Invoke();
    }
}

void BView::MessageReceived(BMessage* message)
{
    BHandler::MessageReceived(message);
}

// The view tree

void BView::AddChild(BView* child, BView* before)
{
    _AssertLocked();
    if (child == nullptr || child->fParent != nullptr || child == this)
        return;
    auto position = std::find(fChildren.begin(), fChildren.end(), before);
    fChildren.insert(before != nullptr ? position : fChildren.end(), child);
    child->fParent = this;
    if (fWindow != nullptr)
        child->_Attach(fWindow);
}

bool BView::RemoveChild(BView* child)
{
    _AssertLocked();
    auto found = std::find(fChildren.begin(), fChildren.end(), child);
    if (child == nullptr || found == fChildren.end())
        return false;
    if (child->fWindow != nullptr)
        child->_Detach();
    fChildren.erase(std::find(fChildren.begin(), fChildren.end(), child));
    child->fParent = nullptr;
    return true;
}

bool BView::RemoveSelf()
{
    if (fParent != nullptr)
        return fParent->RemoveChild(this);
    return false;
}

int32 BView::CountChildren() const
{
    return static_cast<int32>(fChildren.size());
}

BView* BView::ChildAt(int32 index) const
{
    if (index < 0 || index >= CountChildren())
        return nullptr;
    return fChildren[static_cast<size_t>(index)];
}

BView* BView::NextSibling() const
{
    if (fParent == nullptr)
        return nullptr;
    const auto& siblings = fParent->fChildren;
    auto found = std::find(siblings.begin(), siblings.end(), this);
    if (found == siblings.end() || found + 1 == siblings.end())
        return nullptr;
    return *(found + 1);
}

BView* BView::PreviousSibling() const
{
    if (fParent == nullptr)
        return nullptr;
    const auto& siblings = fParent->fChildren;
    auto found = std::find(siblings.begin(), siblings.end(), this);
    if (found == siblings.end() || found == siblings.begin())
        return nullptr;
    return *(found - 1);
}

BView* BView::Parent() const
{
    // The window's top view is an implementation detail: top-level views have no parent.
    if (fParent != nullptr && fWindow != nullptr && fParent == ViewAccess::Top(fWindow))
        return nullptr;
    return fParent;
}

BWindow* BView::Window() const
{
    return fWindow;
}

BView* BView::FindView(const char* name) const
{
    if (name == nullptr)
        return nullptr;
    if (Name() != nullptr && strcmp(Name(), name) == 0)
        return const_cast<BView*>(this);
    for (BView* child : fChildren) {
        if (BView* found = child->FindView(name))
            return found;
    }
    return nullptr;
}

void BView::_Attach(BWindow* window)
{
    // Join the window as handlers first, so every view has its token before anything is
    // sent, then send the tree top-down, then run the hooks.
    std::vector<BView*> added;
    std::vector<BView*> pending{this};
    while (!pending.empty()) {
        BView* view = pending.back();
        pending.pop_back();
        view->fWindow = window;
        window->AddHandler(view);
        view->fToken = kit_private::handler_token(view);
        added.push_back(view);
        for (BView* child : view->fChildren)
            pending.push_back(child);
    }
    _EmitTree();
    std::function<void(BView*)> attached = [&](BView* view) {
        view->AttachedToWindow();
        for (size_t i = 0; i < view->fChildren.size(); i++)
            attached(view->fChildren[i]);
    };
    std::function<void(BView*)> allAttached = [&](BView* view) {
        for (size_t i = 0; i < view->fChildren.size(); i++)
            allAttached(view->fChildren[i]);
        view->AllAttached();
    };
    attached(this);
    allAttached(this);
}

void BView::_Detach()
{
    BWindow* window = fWindow;
    std::function<void(BView*)> detached = [&](BView* view) {
        view->DetachedFromWindow();
        for (BView* child : view->fChildren)
            detached(child);
    };
    std::function<void(BView*)> allDetached = [&](BView* view) {
        for (BView* child : view->fChildren)
            allDetached(child);
        view->AllDetached();
    };
    detached(this);
    allDetached(this);
    _Push(change::ViewRemove{});

    kit_private::WindowViews& views = ViewAccess::Views(window);
    std::function<void(BView*)> leave = [&](BView* view) {
        for (BView* child : view->fChildren)
            leave(child);
        if (views.focus == view) {
            views.focus = nullptr;
            window->SetPreferredHandler(nullptr);
            ViewAccess::Push(window, 0, change::WindowFocus{0});
        }
        if (static_cast<BView*>(views.defaultButton) == view)
            views.defaultButton = nullptr;
        if (static_cast<BView*>(views.keyMenuBar) == view)
            views.keyMenuBar = nullptr;
        window->RemoveHandler(view);
        view->fWindow = nullptr;
        view->fToken = 0;
    };
    leave(this);
}

// Geometry

BRect BView::Frame() const
{
    return fFrame;
}

BRect BView::Bounds() const
{
    return BRect(0, 0, fFrame.Width(), fFrame.Height());
}

void BView::_SetFrame(BRect frame)
{
    BRect old = fFrame;
    if (frame == old)
        return;
    fFrame = frame;
    _Push(change::ViewFrame{frame});
    float dx = frame.Width() - old.Width();
    float dy = frame.Height() - old.Height();
    if (dx != 0 || dy != 0) {
        for (BView* child : fChildren)
            child->_ParentResized(dx, dy);
    }
    if (fWindow == nullptr || (fFlags & B_FRAME_EVENTS) == 0)
        return;
    if (frame.LeftTop() != old.LeftTop())
        FrameMoved(frame.LeftTop());
    if (dx != 0 || dy != 0)
        FrameResized(frame.Width(), frame.Height());
}

void BView::_ParentResized(float dx, float dy)
{
    // Each edge follows the parent's edge its rule names; a centred edge moves by half.
    auto shift = [](uint32 rule, float delta, uint32 farSide) -> float {
        if (rule == farSide)
            return delta;
        if (rule == _VIEW_CENTER_)
            return delta / 2;
        return 0;
    };
    uint32 mode = fResizingMode;
    BRect frame = fFrame;
    frame.top += shift((mode >> 12) & 0xf, dy, _VIEW_BOTTOM_);
    frame.left += shift((mode >> 8) & 0xf, dx, _VIEW_RIGHT_);
    frame.bottom += shift((mode >> 4) & 0xf, dy, _VIEW_BOTTOM_);
    frame.right += shift(mode & 0xf, dx, _VIEW_RIGHT_);
    _SetFrame(frame);
}

void BView::MoveTo(BPoint where)
{
    _AssertLocked();
    _SetFrame(fFrame.OffsetToCopy(where));
}

void BView::MoveTo(float x, float y)
{
    MoveTo(BPoint(x, y));
}

void BView::MoveBy(float dx, float dy)
{
    MoveTo(fFrame.left + dx, fFrame.top + dy);
}

void BView::ResizeTo(float width, float height)
{
    _AssertLocked();
    BRect frame = fFrame;
    frame.right = frame.left + std::max(0.0f, width);
    frame.bottom = frame.top + std::max(0.0f, height);
    _SetFrame(frame);
}

void BView::ResizeBy(float dx, float dy)
{
    ResizeTo(fFrame.Width() + dx, fFrame.Height() + dy);
}

void BView::GetPreferredSize(float* width, float* height)
{
    if (width != nullptr)
        *width = fFrame.Width();
    if (height != nullptr)
        *height = fFrame.Height();
}

void BView::ResizeToPreferred()
{
    float width;
    float height;
    GetPreferredSize(&width, &height);
    ResizeTo(width, height);
}

uint32 BView::ResizingMode() const
{
    return fResizingMode;
}

void BView::SetResizingMode(uint32 mode)
{
    _AssertLocked();
    fResizingMode = mode;
}

uint32 BView::Flags() const
{
    return fFlags;
}

void BView::SetFlags(uint32 flags)
{
    _AssertLocked();
    fFlags = flags;
}

void BView::Show()
{
    _AssertLocked();
    if (--fShowLevel == 0)
        _Push(change::ViewHidden{false});
}

void BView::Hide()
{
    _AssertLocked();
    if (++fShowLevel == 1)
        _Push(change::ViewHidden{true});
}

bool BView::IsHidden() const
{
    for (const BView* view = this; view != nullptr; view = view->fParent) {
        if (view->fShowLevel > 0)
            return true;
    }
    return fWindow != nullptr && fWindow->IsHidden();
}

// Coordinate conversions

BPoint BView::ConvertToParent(BPoint point) const
{
    return point + fFrame.LeftTop();
}

void BView::ConvertToParent(BPoint* point) const
{
    *point = ConvertToParent(*point);
}

BRect BView::ConvertToParent(BRect rect) const
{
    return rect.OffsetByCopy(fFrame.left, fFrame.top);
}

void BView::ConvertToParent(BRect* rect) const
{
    *rect = ConvertToParent(*rect);
}

BPoint BView::ConvertFromParent(BPoint point) const
{
    return point - fFrame.LeftTop();
}

void BView::ConvertFromParent(BPoint* point) const
{
    *point = ConvertFromParent(*point);
}

BRect BView::ConvertFromParent(BRect rect) const
{
    return rect.OffsetByCopy(-fFrame.left, -fFrame.top);
}

void BView::ConvertFromParent(BRect* rect) const
{
    *rect = ConvertFromParent(*rect);
}

BPoint BView::ConvertToScreen(BPoint point) const
{
    for (const BView* view = this; view != nullptr; view = view->fParent)
        point = view->ConvertToParent(point);
    if (fWindow != nullptr)
        point += fWindow->Frame().LeftTop();
    return point;
}

void BView::ConvertToScreen(BPoint* point) const
{
    *point = ConvertToScreen(*point);
}

BRect BView::ConvertToScreen(BRect rect) const
{
    BPoint offset = ConvertToScreen(B_ORIGIN);
    return rect.OffsetByCopy(offset.x, offset.y);
}

void BView::ConvertToScreen(BRect* rect) const
{
    *rect = ConvertToScreen(*rect);
}

BPoint BView::ConvertFromScreen(BPoint point) const
{
    return point - ConvertToScreen(B_ORIGIN);
}

void BView::ConvertFromScreen(BPoint* point) const
{
    *point = ConvertFromScreen(*point);
}

BRect BView::ConvertFromScreen(BRect rect) const
{
    BPoint offset = ConvertToScreen(B_ORIGIN);
    return rect.OffsetByCopy(-offset.x, -offset.y);
}

void BView::ConvertFromScreen(BRect* rect) const
{
    *rect = ConvertFromScreen(*rect);
}

// Colours

void BView::_SetColor(rgb_color* slot, rgb_color color)
{
    _AssertLocked();
    if (color == *slot)
        return;
    *slot = color;
    _Push(change::ViewColors{fViewColor, fLowColor, fHighColor});
}

void BView::SetViewColor(rgb_color color)
{
    _SetColor(&fViewColor, color);
}

void BView::SetViewColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
    SetViewColor(make_color(red, green, blue, alpha));
}

rgb_color BView::ViewColor() const
{
    return fViewColor;
}

void BView::SetHighColor(rgb_color color)
{
    _SetColor(&fHighColor, color);
}

void BView::SetHighColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
    SetHighColor(make_color(red, green, blue, alpha));
}

rgb_color BView::HighColor() const
{
    return fHighColor;
}

void BView::SetLowColor(rgb_color color)
{
    _SetColor(&fLowColor, color);
}

void BView::SetLowColor(uint8 red, uint8 green, uint8 blue, uint8 alpha)
{
    SetLowColor(make_color(red, green, blue, alpha));
}

rgb_color BView::LowColor() const
{
    return fLowColor;
}

// Font

void BView::SetFont(const BFont* font, uint32 mask)
{
    _AssertLocked();
    if (font == nullptr)
        return;
    BFont changed = fFont;
    if (mask & B_FONT_FAMILY_AND_STYLE)
        changed.SetFamilyAndStyle(font->FamilyAndStyle());
    if (mask & B_FONT_SIZE)
        changed.SetSize(font->Size());
    if (changed == fFont)
        return;
    fFont = changed;
    _Push(change::ViewFont{fFont});
}

void BView::GetFont(BFont* font) const
{
    if (font != nullptr)
        *font = fFont;
}

void BView::SetFontSize(float size)
{
    BFont font = fFont;
    font.SetSize(size);
    SetFont(&font, B_FONT_SIZE);
}

float BView::StringWidth(const char* string) const
{
    return fFont.StringWidth(string);
}

float BView::StringWidth(const char* string, int32 length) const
{
    return fFont.StringWidth(string, length);
}

void BView::GetFontHeight(font_height* height) const
{
    fFont.GetHeight(height);
}

// Focus

void BView::MakeFocus(bool focus)
{
    _AssertLocked();
    if (fWindow == nullptr)
        return;
    kit_private::WindowViews& views = ViewAccess::Views(fWindow);
    if (focus) {
        if (views.focus == this)
            return;
        if (views.focus != nullptr)
            views.focus->MakeFocus(false);
        views.focus = this;
        fWindow->SetPreferredHandler(this);
        if (!views.focusFromServer)
            ViewAccess::Push(fWindow, 0, change::WindowFocus{fToken});
    } else if (views.focus == this) {
        views.focus = nullptr;
        fWindow->SetPreferredHandler(nullptr);
        if (!views.focusFromServer)
            ViewAccess::Push(fWindow, 0, change::WindowFocus{0});
    }
}

bool BView::IsFocus() const
{
    return fWindow != nullptr && ViewAccess::Views(fWindow).focus == this;
}
