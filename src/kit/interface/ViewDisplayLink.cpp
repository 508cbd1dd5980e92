#include "ViewDisplayLink.h"

#include <Window.h>

namespace kit_private {

ViewDisplayLink::ViewDisplayLink(BWindow* window, std::shared_ptr<ChangeStream> stream)
    : fWindow(window), fStream(std::move(stream))
{
    fStream->Push(0, _Setup());
}

change::WindowSetup ViewDisplayLink::_Setup() const
{
    // Called with the window locked, so reading its kind is safe.
    return {fWindow->Title(),
            fWindow->Frame(),
            static_cast<uint32>(fWindow->Look()),
            static_cast<uint32>(fWindow->Feel()),
            fWindow->Flags(),
            fStream->LooperId()};
}

void ViewDisplayLink::Shown()
{
    fStream->Push(0, change::WindowVisible{true});
}

void ViewDisplayLink::Hidden()
{
    fStream->Push(0, change::WindowVisible{false});
}

void ViewDisplayLink::ActivationRequested(bool active)
{
    fStream->Push(0, change::WindowActivate{active});
}

void ViewDisplayLink::Minimized(bool minimized)
{
    fStream->Push(0, change::WindowMinimize{minimized});
}

void ViewDisplayLink::TitleChanged(const char* title)
{
    fStream->Push(0, change::WindowTitle{title != nullptr ? title : ""});
}

void ViewDisplayLink::FrameChanged(BRect frame)
{
    fStream->Push(0, change::WindowFrame{frame});
}

void ViewDisplayLink::KindChanged()
{
    fStream->Push(0, _Setup());
}

void ViewDisplayLink::WindowQuit()
{
    fStream->Push(0, change::WindowQuit{});
}

} // namespace kit_private
