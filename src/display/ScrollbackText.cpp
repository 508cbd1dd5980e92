// The scrollback's text: what a line becomes on its way in, and its links.

#include "IrcDisplayWindow.h"

#include "UrlTextView.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

struct RunArrayDeleter
{
    void operator()(text_run_array* runs) const { BTextView::FreeRunArray(runs); }
};

} // namespace

void IrcDisplayWindow::Append(const char* text, const text_run_array* runs)
{
    if (fDisplay == nullptr)
        return;
    // Whether the reader was at the end is decided before the line arrives.
    const bool atEnd = fDisplay->AtEnd();

    const std::string_view raw = text != nullptr ? text : "";
    if (UrlTextView::IsClean(raw)) {
        // Most lines: nothing to clean, so nothing to copy or move the runs for.
        if (!raw.empty()) {
            ParseForUrls(raw.data());
            fDisplay->Insert(fDisplay->TextLength(), raw.data(), static_cast<int32>(raw.size()),
                             runs);
        }
    } else {
        std::vector<int32> offsets;
        std::string line = UrlTextView::CleanText(raw, &offsets);
        if (!line.empty()) {
            ParseForUrls(line.c_str());
            // The caller's runs name offsets of the raw line; cleaning may have moved them.
            std::unique_ptr<text_run_array, RunArrayDeleter> mapped(
                UrlTextView::MapRuns(runs, offsets));
            fDisplay->Insert(fDisplay->TextLength(), line.data(), static_cast<int32>(line.size()),
                             mapped.get());
        }
    }
    // The display server keeps the end in view from here on, unless the reader scrolls away
    // before it gets to this request.
    if (atEnd)
        fDisplay->ScrollToOffset(fDisplay->TextLength());
}

char* IrcDisplayWindow::CleanUpString(const char* text)
{
    std::string clean = UrlTextView::CleanText(text != nullptr ? text : "");
    auto* copy = static_cast<char*>(malloc(clean.size() + 1));
    if (copy != nullptr)
        memcpy(copy, clean.c_str(), clean.size() + 1);
    return copy;
}

void IrcDisplayWindow::ParseForUrls(const char* line)
{
    if (fDisplay == nullptr || line == nullptr)
        return;
    const int32 base = fDisplay->TextLength();
    for (UrlAnchor& anchor : UrlTextView::FindLinks(line))
        fDisplay->AddAnchor(base + anchor.start, base + anchor.end, std::move(anchor.url));
}

void IrcDisplayWindow::ClearScrollback()
{
    if (fDisplay == nullptr)
        return;
    fDisplay->SetText("");
    fDisplay->ClearAnchors();
}
