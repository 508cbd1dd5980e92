#pragma once

// One view of a mirrored window (shared by QtWindow's files).

#include "QtWindow.h"

#include <QColor>
#include <QKeyEvent>

#include <deque>
#include <memory>
#include <unordered_map>

namespace kit_private {

struct QtWindow::Node
{
    int32 token = 0;
    int32 parent = 0;
    ViewKind kind = ViewKind::View;
    std::string name;
    BRect frame;
    bool hidden = false;
    QPointer<QWidget> widget; // placed at the view's frame
    QPointer<QWidget> input;  // takes the view's input (may be widget itself)
    std::vector<int32> children;
    // Scroll views: their parts; a text or list target draws the bars itself.
    change::ScrollViewParts parts{};
    bool absorbed = false; // a scroll bar drawn by its target
    int32 border = 1;      // boxes and scroll views: B_FANCY_BORDER
    std::vector<FilteredKey> filteredKeys;
    int64 textVersion = 0;
    std::string lastEdit; // the last edit posted, so one change is posted once
    // Editors: keys left to the window and not yet answered, and the keys typed meanwhile,
    // held so that they land on the text the window leaves, in the order they were typed.
    int32 unanswered = 0;
    std::deque<std::unique_ptr<QKeyEvent>> heldKeys;
    bool releasing = false;
    QColor viewColor = Qt::white;
    QColor highColor = Qt::black;
    std::unordered_map<uint64_t, uint32> styles; // font and colour -> scrollback style
};

} // namespace kit_private
