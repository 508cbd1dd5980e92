#pragma once

// The screen a window is on: its frame in screen coordinates. The display server reports
// the main screen's geometry; headless it is 1024 × 768.

#include <Rect.h>
#include <SupportDefs.h>

class BWindow;

struct screen_id
{
    int32 id;
};
inline constexpr screen_id B_MAIN_SCREEN_ID = {0};

class BScreen
{
public:
    explicit BScreen(screen_id id = B_MAIN_SCREEN_ID);
    explicit BScreen(BWindow* window);
    ~BScreen();

    bool IsValid();
    BRect Frame();

private:
    BRect fFrame;
};

namespace kit_private {
// For display servers: the main screen's frame.
void set_screen_frame(BRect frame);
} // namespace kit_private
