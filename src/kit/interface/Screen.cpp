#include "Screen.h"

#include <mutex>

namespace {
std::mutex sScreenLock;
BRect sScreenFrame(0, 0, 1023, 767);
} // namespace

namespace kit_private {

void set_screen_frame(BRect frame)
{
    std::lock_guard<std::mutex> lock(sScreenLock);
    sScreenFrame = frame;
}

} // namespace kit_private

BScreen::BScreen(screen_id)
{
    std::lock_guard<std::mutex> lock(sScreenLock);
    fFrame = sScreenFrame;
}

BScreen::BScreen(BWindow*) : BScreen(B_MAIN_SCREEN_ID) {}

BScreen::~BScreen() = default;

bool BScreen::IsValid()
{
    return fFrame.IsValid();
}

BRect BScreen::Frame()
{
    return fFrame;
}
