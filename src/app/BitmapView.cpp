#include "BitmapView.h"

#include <Bitmap.h>
#include <TranslationUtils.h>
#include <Window.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

BitmapView::BitmapView(const BBitmap* bitmap)
    : BView(BRect(0, 0, 100, 100), "BitmapView", B_FOLLOW_NONE, B_WILL_DRAW),
      fBitmapBounds(0, 0, 100, 100), fHasBitmap(false)
{
    if (bitmap == nullptr || !bitmap->IsValid())
        return;
    fBitmapBounds = bitmap->Bounds();
    fHasBitmap = true;
    // The display server draws a view's bitmap at its origin.
    SetViewBitmap(bitmap);
}

BitmapView::~BitmapView() = default;

void BitmapView::AttachedToWindow()
{
    BView::AttachedToWindow();
    if (!fHasBitmap)
        return;
    ResizeTo(fBitmapBounds.Width(), fBitmapBounds.Height());
    Window()->ResizeTo(fBitmapBounds.Width(), fBitmapBounds.Height());
}

BBitmap* LoadAboutPicture()
{
    std::filesystem::path folder;
    const char* override = getenv("VELMOR_DATA_DIR");
    if (override != nullptr && override[0] != '\0') {
        folder = override;
    } else {
        // The program's own file, through any link it was started by.
        std::error_code error;
        std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
        if (error)
            return nullptr;
        folder = program.parent_path();
    }
    return BTranslationUtils::GetBitmap((folder / "VelmorGraphic").c_str());
}
