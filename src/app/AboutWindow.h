#pragma once

#include <MessageRunner.h>
#include <Window.h>

#include <memory>

class BBitmap;

// The about picture in a small modal window centred on the main screen. It closes itself a
// second after it was shown, by a message runner, so no window's thread waits meanwhile.
class AboutWindow : public BWindow
{
public:
    static constexpr bigtime_t kShowTime = 1000000;

    // Takes the picture; shows itself.
    explicit AboutWindow(BBitmap* picture);
    ~AboutWindow() override;

private:
    std::unique_ptr<BBitmap> fPicture;
    std::unique_ptr<BMessageRunner> fCloser;
};
