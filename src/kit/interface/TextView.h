#pragma once

// Styled text: UTF-8 bytes with style runs (a font and a colour from a byte offset on), a
// selection, and link ranges. Offsets are byte offsets, as are the runs' offsets.
//
// Every insertion goes through the InsertText hook and every removal through DeleteText, so
// a subclass that overrides them sees all changes. A text view that is not stylable draws
// all its text in one font and colour (SetFontAndColor) and ignores runs.
//
// Links: AddLink marks a range that the display server underlines and hit-tests; a click
// released on it (not dragged off) posts a copy of the link's message to the view.
// Changing the text keeps links on the text they were made for; removing that text, or
// SetText, drops them.
//
// A shown text view is drawn by the display server's scrollback widget, which lays out only
// what is visible and keeps the end in view while the view is at its end; a text control's
// text view is its native line editor.

#include "TextBuffer.h"

#include <Font.h>
#include <GraphicsDefs.h>
#include <View.h>

#include <string>
#include <vector>

namespace kit_private {
struct StyleRun;
}

struct text_run
{
    int32 offset; // of the run's first byte, relative to the array's start
    BFont font;
    rgb_color color;
};

struct text_run_array
{
    int32 count;
    text_run runs[1]; // count runs
};

class BTextView : public BView
{
public:
    // textRect: where text goes, in the view's coordinates.
    BTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
    BTextView(BRect frame, const char* name, BRect textRect, const BFont* initialFont,
              const rgb_color* initialColor, uint32 resizingMode, uint32 flags);
    virtual ~BTextView();

    // Text. runs (copied; may be nullptr: the style at the insertion point, or the default
    // style) have offsets relative to the inserted text.
    void SetText(const char* text, const text_run_array* runs = nullptr);
    void SetText(const char* text, int32 length, const text_run_array* runs = nullptr);
    // At the caret (the selection's start), replacing nothing.
    void Insert(const char* text, const text_run_array* runs = nullptr);
    void Insert(const char* text, int32 length, const text_run_array* runs = nullptr);
    void Insert(int32 offset, const char* text, int32 length, const text_run_array* runs = nullptr);
    // The selection, or the bytes [start, end).
    void Delete();
    void Delete(int32 start, int32 end);
    const char* Text() const;
    int32 TextLength() const;

    // Style runs
    // The runs covering [start, end), offsets relative to start; free with FreeRunArray.
    // *length receives the array's size in bytes.
    text_run_array* RunArray(int32 start, int32 end, int32* length = nullptr) const;
    // Gives [start, end) the runs (offsets relative to start).
    void SetRunArray(int32 start, int32 end, const text_run_array* runs);
    // Room for count runs, zeroed but for the fonts (be_plain_font); free with FreeRunArray.
    static text_run_array* AllocRunArray(int32 count, int32* length = nullptr);
    static void FreeRunArray(text_run_array* runs);
    // The style for text inserted without runs (and all text when not stylable).
    void SetFontAndColor(const BFont* font, uint32 mode = B_FONT_ALL,
                         const rgb_color* color = nullptr);
    void GetFontAndColor(BFont* font, rgb_color* color) const;

    // Selection and scrolling
    void Select(int32 start, int32 end);
    void GetSelection(int32* start, int32* end) const;
    void SelectAll();
    // Scrolls so that the byte at offset is visible; offset TextLength() shows the end.
    void ScrollToOffset(int32 offset);
    void ScrollToSelection();

    // Modes
    void MakeEditable(bool editable = true);
    bool IsEditable() const;
    // Characters (code points) that typing and pasting cannot enter; text set by the
    // program is not filtered.
    void DisallowChar(uint32 character);
    void AllowChar(uint32 character);
    void MakeSelectable(bool selectable = true);
    bool IsSelectable() const;
    void SetStylable(bool stylable);
    bool IsStylable() const;
    void SetTextRect(BRect rect);
    BRect TextRect() const;

    // Links. Takes ownership of message; returns the link's number, -1 for an empty or
    // out-of-range span.
    int32 AddLink(int32 start, int32 end, rgb_color underline, BMessage* message);
    void RemoveAllLinks();
    int32 CountLinks() const;
    // The span of a link; false for an unknown number.
    bool GetLink(int32 index, int32* start, int32* end) const;

    // Hooks
    // Editable: edits at the caret; otherwise the page, arrow, Home and End keys scroll.
    void KeyDown(const char* bytes, int32 numBytes) override;
    void MouseDown(BPoint where) override;

protected:
    // Every insertion and removal passes through these (runs as for Insert).
    virtual void InsertText(const char* text, int32 length, int32 offset,
                            const text_run_array* runs);
    virtual void DeleteText(int32 start, int32 end);

    kit_private::ViewKind _Kind() const override;
    void _EmitState() override;
    bool _ServerMessage(BMessage* message) override;

private:
    struct Run
    {
        int32 offset;
        uint16 font; // index into fFonts
        rgb_color color;
    };
    struct Link
    {
        int32 start;
        int32 end;
        rgb_color color;
        // Flattened: a scrollback may hold a hundred thousand links, and a message object
        // is several times the size of its bytes. Empty for a link without a message.
        std::string message;
        int32 number;
    };

    uint16 _Intern(const BFont& font);
    std::vector<Run> _ResolveRuns(const text_run_array* runs, int32 offset, int32 length) const;
    void _SpliceRuns(int32 start, int32 end, int32 insertedLength, const std::vector<Run>& runs);
    std::vector<kit_private::StyleRun> _ExportRuns(int32 start, int32 end) const;
    void _SendMode();
    void _SetTextFromEditor(BMessage* message);
    bool _IsDisallowed(const std::string& text) const;
    size_t _RunAt(int32 offset) const;

    kit_private::TextBuffer fText;
    std::vector<Run> fRuns;
    std::vector<BFont> fFonts;
    BFont fDefaultFont;
    rgb_color fDefaultColor;
    BRect fTextRect;
    int32 fSelectionStart;
    int32 fSelectionEnd;
    bool fEditable;
    bool fSelectable;
    bool fStylable;
    int64 fVersion;
    std::vector<Link> fLinks;
    int32 fNextLink;
    std::vector<uint32> fDisallowed; // sorted
};
