#pragma once

// A line of text in the view's font and high colour.

#include <View.h>

#include <string>

class BStringView : public BView
{
public:
    BStringView(BRect frame, const char* name, const char* text,
                uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW);
    virtual ~BStringView();

    void SetText(const char* text); // copied
    const char* Text() const;

    // Width of the text by height of the font.
    void GetPreferredSize(float* width, float* height) override;

protected:
    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;

private:
    std::string fText;
};
