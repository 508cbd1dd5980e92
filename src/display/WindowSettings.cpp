// A conversation window's own settings: its fonts, frame and user-list width under its window
// key (its name and its server's), and the shared "OpsFirst" flag. Read once before the views
// are made, written once as the window closes; missing or short values leave the defaults.

#include "IrcDisplayWindow.h"

#include "IrcWindowInfo.h"
#include "UrlTextView.h"

#include <IrcWindowKey.h>
#include <ScrollView.h>

#include <cmath>
#include <string>

namespace {

constexpr float kScrollBarWidth = 14;

// A frame that could not be a window is not applied.
bool Drawable(BRect frame)
{
    return std::isfinite(frame.left) && std::isfinite(frame.top) && std::isfinite(frame.right) &&
           std::isfinite(frame.bottom) && frame.Width() > 0 && frame.Height() > 0;
}

} // namespace

void IrcDisplayWindow::ReadSettings()
{
    fSettingsFile.OpenProgramFile();
    const std::string server = fServerInfo->Name();
    const IrcWindowKey key(fName, fWindowType == kServerWindow ? nullptr : server.c_str());

    float size = 0;
    int32 code = 0;
    if (fSettingsFile.ReadFloat(key.AttrName("fTextFontSize").c_str(), &size))
        fTextFont.SetSize(size);
    // A code no installed font has keeps the default font.
    if (fSettingsFile.ReadInt32(key.AttrName("fTextFontCode").c_str(), &code))
        fTextFont.SetFamilyAndStyle(static_cast<uint32>(code));
    if (fSettingsFile.ReadFloat(key.AttrName("fMessageFontSize").c_str(), &size))
        fMessageFont.SetSize(size);
    if (fSettingsFile.ReadInt32(key.AttrName("fMessageFontCode").c_str(), &code))
        fMessageFont.SetFamilyAndStyle(static_cast<uint32>(code));

    BRect frame;
    if (fSettingsFile.ReadRect(key.AttrName("Frame").c_str(), &frame) && Drawable(frame)) {
        ResizeTo(frame.Width(), frame.Height());
        MoveTo(frame.LeftTop());
    }

    if (fWindowType != kServerWindow) {
        int32 width = 80;
        fUserListWidth =
            fSettingsFile.ReadInt32(key.AttrName("Magic").c_str(), &width) ? width : 80;
    }
    bool opsFirst = true;
    fOpsFirst = fSettingsFile.ReadBool("OpsFirst", &opsFirst) ? opsFirst : true;
}

void IrcDisplayWindow::WriteSettings()
{
    const std::string server = fServerInfo->Name();
    const IrcWindowKey key(fName, fWindowType == kServerWindow ? nullptr : server.c_str());

    fSettingsFile.WriteFloat(key.AttrName("fTextFontSize").c_str(), fTextFont.Size());
    fSettingsFile.WriteInt32(key.AttrName("fTextFontCode").c_str(),
                             static_cast<int32>(fTextFont.FamilyAndStyle()));
    fSettingsFile.WriteFloat(key.AttrName("fMessageFontSize").c_str(), fMessageFont.Size());
    fSettingsFile.WriteInt32(key.AttrName("fMessageFontCode").c_str(),
                             static_cast<int32>(fMessageFont.FamilyAndStyle()));
    fSettingsFile.WriteRect(key.AttrName("Frame").c_str(), Frame());

    if (fWindowType != kServerWindow && fDisplay != nullptr && fBgrnd != nullptr) {
        // The list takes what the scrollback, its scroll bar and the margin leave.
        const BRect text = fBgrnd->ConvertToParent(fDisplay->Frame());
        const float width = Bounds().right - (text.right + 5) - kScrollBarWidth;
        fSettingsFile.WriteInt32(key.AttrName("Magic").c_str(), static_cast<int32>(width));
    }
    fSettingsFile.WriteBool("OpsFirst", fOpsFirst);
}
