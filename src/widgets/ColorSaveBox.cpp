#include "ColorSaveBox.h"

#include <Message.h>
#include <StringCopy.h>
#include <TypeConstants.h>

#include <cstring>

namespace {

constexpr const char* kSignature = "application/x-vnd.tarnvik-Velmor";

} // namespace

ColorSaveBox::ColorSaveBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags,
                           border_style border)
    : BBox(frame, name, resizingMode, flags, border)
{
    copy_utf8(fName, sizeof(fName), name);
    ReadSettings();
}

ColorSaveBox::ColorSaveBox(BMessage* archive) : BBox(archive)
{
    fName[0] = '\0';
}

ColorSaveBox::~ColorSaveBox() = default;

BArchivable* ColorSaveBox::Instantiate(BMessage* archive)
{
    if (!validate_instantiation(archive, "ColorSaveBox"))
        return nullptr;
    return new ColorSaveBox(archive);
}

status_t ColorSaveBox::Archive(BMessage* archive, bool deep) const
{
    status_t status = BBox::Archive(archive, deep);
    if (status != B_OK)
        return status;
    return archive->AddString("add_on", kSignature);
}

void ColorSaveBox::MessageReceived(BMessage* message)
{
    const void* data = nullptr;
    ssize_t size = 0;
    if (message != nullptr &&
        message->FindData("RGBColor", B_RGB_COLOR_TYPE, &data, &size) == B_OK &&
        size == static_cast<ssize_t>(sizeof(rgb_color))) {
        rgb_color color;
        memcpy(&color, data, sizeof(color));
        SetViewColor(color);
        SetLowColor(color);
        SaveSettings();
        RecolorChildren(color);
        Invalidate();
    }
    BBox::MessageReceived(message);
}

void ColorSaveBox::ReadSettings()
{
    if (fName[0] == '\0')
        return;
    if (!fFile.IsOpen() && fFile.OpenColourFile() != B_OK)
        return;
    rgb_color color;
    if (!fFile.ReadColor(fName, &color))
        return;
    SetViewColor(color);
    SetLowColor(color);
    RecolorChildren(color);
}

void ColorSaveBox::SaveSettings()
{
    if (fName[0] == '\0')
        return;
    if (!fFile.IsOpen() && fFile.OpenColourFile() != B_OK)
        return;
    fFile.WriteColor(fName, ViewColor());
}

void ColorSaveBox::RecolorChildren(rgb_color color)
{
    for (int32 i = 0; i < CountChildren(); i++) {
        BView* child = ChildAt(i);
        child->SetViewColor(color);
        child->SetLowColor(color);
        child->Invalidate();
    }
}
