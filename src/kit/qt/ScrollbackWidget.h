#pragma once

#include "ScrollbackDocument.h"

#include <QAbstractScrollArea>
#include <QColor>
#include <QFont>
#include <QHash>
#include <QTextLayout>

#include <functional>
#include <memory>
#include <unordered_map>

namespace kit_private {

// The scrollback: a scroll area over a ScrollbackDocument that lays out and paints only the
// visible hard lines, caches their layouts, wraps them to the width, selects and copies
// (Ctrl+C), draws link underlines and hit-tests them. It keeps the end in view only while
// the view is at its end, so a reader who scrolled back stays put while lines arrive.
//
// The vertical scroll bar counts hard lines: its value is the top line, its maximum the top
// line when the end is shown, so "value == maximum" means "at the end".
//
// GUI thread only. The widget knows nothing of the kit: its owner feeds it from the change
// stream and turns its callbacks into posted messages.
class ScrollbackWidget : public QAbstractScrollArea
{
    Q_OBJECT

public:
    using Run = ScrollbackDocument::Run;
    using Link = ScrollbackDocument::Link;
    enum class Step
    {
        LineUp,
        LineDown,
        PageUp,
        PageDown,
        Home,
        End
    };

    explicit ScrollbackWidget(QWidget* parent = nullptr);
    ~ScrollbackWidget() override;

    // Styles: a font and a colour, named by the index InternStyle returns (0 is the widget's
    // font in black).
    uint32_t InternStyle(const QFont& font, const QColor& color);
    // The colour of an interned style (black for an unknown index).
    QColor StyleColor(uint32_t style) const;

    // Contents; runs name interned styles
    void SetText(std::string_view text, const std::vector<Run>& runs);
    void Insert(int32_t offset, const TextPiece& text, const std::vector<Run>& runs);
    void Delete(int32_t start, int32_t end);
    void Restyle(int32_t start, int32_t end, const std::vector<Run>& runs);
    void AddLink(const Link& link);
    void ClearLinks();
    const ScrollbackDocument& Document() const { return fDocument; }

    // Appearance
    void SetBackground(const QColor& color);
    // Space between the view's edges and the text.
    void SetTextInsets(const QMargins& insets);
    void SetSelectable(bool selectable) { fSelectable = selectable; }

    // Scrolling
    void ScrollToOffset(int32_t offset);
    void ScrollStep(Step step);
    bool AtEnd() const { return fAtEnd; }
    int32_t TopLine() const;
    int32_t MaxTopLine() const { return fMaxTop; }

    // Selection, as byte offsets
    void Select(int32_t start, int32_t end);
    int32_t SelectionStart() const { return std::min(fAnchor, fCursor); }
    int32_t SelectionEnd() const { return std::max(fAnchor, fCursor); }
    QString SelectedText() const;

    // Hit testing, in viewport coordinates
    int32_t OffsetAt(QPoint point);
    const Link* LinkAt(QPoint point);
    // Where the byte at offset is drawn (its vertical middle), or (-1, -1) when not visible.
    QPoint PointAt(int32_t offset);

    // Callbacks for the owner
    std::function<void(int32_t linkIndex)> onLinkClicked;
    std::function<void(int32_t value, int32_t maximum)> onScrolled;
    std::function<void(QKeyEvent*)> onKey;
    std::function<void(QMouseEvent*)> onMouse;
    std::function<void()> onFocus;
    // The user moved the view (wheel, scroll bar, dragging a selection past an edge); the
    // count of such moves so far.
    std::function<void(uint32_t count)> onUserScroll;
    uint32_t UserScrolls() const { return fUserScrolls; }
    // Counts a move the user made through the window (its page and arrow keys).
    void CountUserScroll() { _UserScrolled(); }

    // Layouts currently cached (for tests and the benchmark).
    size_t CachedLayouts() const { return fLayouts.size(); }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    struct LineLayout;
    struct Placed
    {
        int32_t line;
        qreal y;
    };
    struct Hit
    {
        int32_t line = -1;
        LineLayout* layout = nullptr;
        qreal y = 0;
    };

    LineLayout* _Layout(int32_t line);
    qreal _Height(int32_t line);
    qreal _TextWidth() const;
    void _Invalidate(int32_t fromLine);
    void _InvalidateAll();
    std::vector<Placed> _Visible();
    Hit _HitLine(QPoint point);
    void _ComputeEnd();
    void _ScrollPixels(qreal dy);
    void _LeaveEnd();
    void _Changed();
    void _UpdateBar();
    void _ScrollBarMoved(int value);
    void _Trim();
    void _UserScrolled();
    bool _LinkContains(const Link& link, QPoint point);

    ScrollbackDocument fDocument;
    std::vector<std::pair<QFont, QColor>> fStyles;
    QHash<QString, uint32_t> fStyleIndex;
    std::unordered_map<int32_t, std::unique_ptr<LineLayout>> fLayouts;
    QColor fBackground = Qt::white;
    QMargins fInsets;
    bool fSelectable = true;

    // Position: the top line and how many pixels of it are scrolled away, unless fAtEnd,
    // which shows the end whatever arrives.
    int32_t fTop = 0;
    qreal fTopPixel = 0;
    bool fAtEnd = true;
    int32_t fMaxTop = 0;
    qreal fMaxTopPixel = 0;
    bool fUpdatingBar = false;
    int32_t fReportedValue = -1;
    int32_t fReportedMax = -1;

    int32_t fAnchor = 0;
    int32_t fCursor = 0;
    bool fSelecting = false;
    int32_t fPressedLink = -1; // index into the document's links while a link is pressed
    bool fPressedInside = false;
    uint32_t fUserScrolls = 0;
};

} // namespace kit_private
