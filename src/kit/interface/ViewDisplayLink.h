#pragma once

// The display link the view kit's servers give every window: it turns the window's own
// changes into commands of the window's change stream, which the views share, so window
// and view changes reach the server in the order they were made.

#include "ChangeStream.h"

#include <WindowDisplayLink.h>

#include <memory>

namespace kit_private {

class ViewDisplayLink : public WindowDisplayLink
{
public:
    // Sends the window's setup (title, frame, kind) as the stream's first command.
    ViewDisplayLink(BWindow* window, std::shared_ptr<ChangeStream> stream);

    const std::shared_ptr<ChangeStream>& Stream() const { return fStream; }

    void Shown() override;
    void Hidden() override;
    void ActivationRequested(bool active) override;
    void Minimized(bool minimized) override;
    void TitleChanged(const char* title) override;
    void FrameChanged(BRect frame) override;
    void KindChanged() override;
    void WindowQuit() override;

private:
    change::WindowSetup _Setup() const;

    BWindow* fWindow;
    std::shared_ptr<ChangeStream> fStream;
};

} // namespace kit_private
