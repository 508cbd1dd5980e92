#pragma once

#include <TextView.h>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

// One link of the scrollback. The link text is the bytes [start, end - 1); end is one past
// the blank, newline or end of line that ended it.
struct UrlAnchor
{
    int32 start;
    int32 end;
    std::string url; // what is opened: the link text, "http://" put before a "www." link
};

// The scrollback: read-only styled text whose links are underlined and open in the web
// browser when clicked. Keys other than the scrolling keys go to the window's entry line.
//
// Each link is handed to the text view once, when its line arrives: the display server
// underlines and hit-tests only what is visible, tracks a press on a link by itself and posts
// the link's message here only when the button is released on it. So neither an append nor
// a redraw costs more as the scrollback grows, and a press on a link never holds the
// window's thread.
class UrlTextView : public BTextView
{
public:
    UrlTextView(BRect frame, const char* name, BRect textRect, uint32 resizingMode, uint32 flags);
    ~UrlTextView() override;

    // Hooks (the window's thread)
    // Page up and down and the arrows are the text view's own; any other key is posted to
    // the window as MSG_MISSED_CHAR with "MissedChar" = the key's bytes.
    void KeyDown(const char* bytes, int32 numBytes) override;
    // MSG_OPEN_LINK ("url", a clicked link's message): opens the URL with the handler for
    // "text/html". The result is not examined.
    void MessageReceived(BMessage* message) override;

    // Anchors (window locked)
    // Records a link at absolute offsets, as UrlAnchor says. Its range is handed to the text
    // view as soon as the text covers it, so a link may be recorded before its line is
    // inserted.
    void AddAnchor(int32 start, int32 end, std::string url);
    // Deletes every anchor, last to first. The text view's links go with its text (SetText).
    void ClearAnchors();
    const std::deque<UrlAnchor>& Anchors() const { return fAnchors; }

    // Whether the end of the text is shown: the vertical scroll bar of the scroll view
    // around the view stands at its maximum (true without one).
    bool AtEnd() const;

    // The scrollback's text rules, pure
    // The links of one line, offsets relative to the line, in the order found.
    static std::vector<UrlAnchor> FindLinks(std::string_view line);
    // raw without control bytes (C0 but the newline, DEL, C1, so the IRC formatting codes,
    // CR and tab go), valid UTF-8 kept, and every other byte taken as a Latin-1 character.
    // offsets, when given, receives for each raw offset 0 ... raw.size() the cleaned offset
    // where the character holding that byte starts (a character is never split).
    static std::string CleanText(std::string_view raw, std::vector<int32>* offsets = nullptr);
    // Whether CleanText would keep raw as it is: printable ASCII and newlines only.
    static bool IsClean(std::string_view raw);
    // Runs given for raw text, moved onto its cleaned text (offsets from CleanText); runs
    // left empty by the cleaning give way to the next. nullptr for none; free with
    // FreeRunArray.
    static text_run_array* MapRuns(const text_run_array* runs, const std::vector<int32>& offsets);

    static constexpr rgb_color kUnderline = {0, 0, 255, 255};

protected:
    // Every insertion: the text view's own, then the anchors the new text now covers become
    // links.
    void InsertText(const char* text, int32 length, int32 offset,
                    const text_run_array* runs) override;

private:
    void _LinkCovered();

    // A deque: appending never moves the earlier anchors, however many there are.
    std::deque<UrlAnchor> fAnchors;
    size_t fLinked = 0; // the anchors before this one were handed to the text view
};
