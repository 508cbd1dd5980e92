#pragma once

#include <Box.h>
#include <IrcSettingsFile.h>

class BMessage;

// A panel that takes a colour dropped on it (a message with an "RGBColor" field, from any
// application) as its own background and its direct children's, and remembers it under its
// name in the colour settings file, so a panel starts in its colour after a restart.
//
// Boxes with the same name share one stored colour; each keeps its own handle on the file.
// A box rebuilt from an archive has no name: it takes dropped colours but keeps none.
class ColorSaveBox : public BBox
{
public:
    // name (cut to 255 bytes, never inside a UTF-8 sequence) is also the stored colour's name.
    ColorSaveBox(BRect frame, const char* name, uint32 resizingMode, uint32 flags,
                 border_style border);
    explicit ColorSaveBox(BMessage* archive);
    ~ColorSaveBox() override;

    // Archiving: the box as BBox archives it, plus "add_on" = the application signature.
    static BArchivable* Instantiate(BMessage* archive); // nullptr unless a "ColorSaveBox"
    status_t Archive(BMessage* archive, bool deep = true) const override;

    // A dropped colour recolours and saves; every message then goes to BBox.
    void MessageReceived(BMessage* message) override;

    // Opens the colour file and applies the stored colour, when there is one of 4 bytes.
    void ReadSettings();
    // Stores the view colour (write errors are ignored).
    void SaveSettings();

    const char* SettingName() const { return fName; }

private:
    void RecolorChildren(rgb_color color); // direct children only, as on a drop

    char fName[256];
    IrcSettingsFile fFile;
};
