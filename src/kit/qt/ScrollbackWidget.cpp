#include "ScrollbackWidget.h"

#include "Utf8Mapping.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLine>

#include <algorithm>
#include <cmath>

namespace kit_private {

// Layouts kept beyond the visible ones; enough for a few pages in either direction.
static constexpr size_t kLayoutCacheSize = 2048;

struct ScrollbackWidget::LineLayout
{
    QTextLayout layout;
    std::vector<int32_t> toByte; // UTF-16 position -> byte within the line
    std::vector<int32_t> toUnit; // byte within the line -> UTF-16 position
    qreal height = 0;
};

ScrollbackWidget::ScrollbackWidget(QWidget* parent) : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    fStyles.emplace_back(font(), QColor(Qt::black));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            &ScrollbackWidget::_ScrollBarMoved);
}

ScrollbackWidget::~ScrollbackWidget() = default;

uint32_t ScrollbackWidget::InternStyle(const QFont& font, const QColor& color)
{
    QString key = font.key() + QLatin1Char('|') + QString::number(color.rgba(), 16);
    auto found = fStyleIndex.constFind(key);
    if (found != fStyleIndex.constEnd())
        return found.value();
    uint32_t index = static_cast<uint32_t>(fStyles.size());
    fStyles.emplace_back(font, color);
    fStyleIndex.insert(key, index);
    return index;
}

QColor ScrollbackWidget::StyleColor(uint32_t style) const
{
    return style < fStyles.size() ? fStyles[style].second : QColor(Qt::black);
}

// Contents

void ScrollbackWidget::SetText(std::string_view text, const std::vector<Run>& runs)
{
    fDocument.SetText(text, runs);
    _InvalidateAll();
    fTop = 0;
    fTopPixel = 0;
    fAtEnd = true;
    fAnchor = fCursor = 0;
    fPressedLink = -1;
    _Changed();
}

void ScrollbackWidget::Insert(int32_t offset, const TextPiece& text, const std::vector<Run>& runs)
{
    int32_t length = fDocument.Length();
    int32_t linesBefore = fDocument.CountLines();
    bool append = offset >= length;
    int32_t line = fDocument.LineAt(std::min(offset, length));
    fDocument.Insert(offset, text, runs);
    if (append) {
        _Invalidate(line);
    } else {
        _InvalidateAll();
        int32_t added = fDocument.CountLines() - linesBefore;
        if (line < fTop)
            fTop += added;
        int32_t size = static_cast<int32_t>(text.size());
        if (fAnchor >= offset)
            fAnchor += size;
        if (fCursor >= offset)
            fCursor += size;
    }
    _Changed();
}

void ScrollbackWidget::Delete(int32_t start, int32_t end)
{
    int32_t linesBefore = fDocument.CountLines();
    int32_t line = fDocument.LineAt(start);
    fDocument.Delete(start, end);
    _InvalidateAll();
    if (line < fTop)
        fTop = std::max(line, fTop - (linesBefore - fDocument.CountLines()));
    fTop = std::min(fTop, fDocument.CountLines() - 1);
    fAnchor = fCursor = std::min(fAnchor, fDocument.Length());
    fPressedLink = -1;
    _Changed();
}

void ScrollbackWidget::Restyle(int32_t start, int32_t end, const std::vector<Run>& runs)
{
    fDocument.Restyle(start, end, runs);
    if (start <= 0 && end >= fDocument.Length()) {
        _InvalidateAll();
    } else {
        int32_t first = fDocument.LineAt(start);
        int32_t last = fDocument.LineAt(end);
        for (int32_t line = first; line <= last; line++)
            fLayouts.erase(line);
    }
    _Changed();
}

void ScrollbackWidget::AddLink(const Link& link)
{
    fDocument.AddLink(link);
    viewport()->update();
}

void ScrollbackWidget::ClearLinks()
{
    fDocument.ClearLinks();
    fPressedLink = -1;
    viewport()->update();
}

// Appearance

void ScrollbackWidget::SetBackground(const QColor& color)
{
    fBackground = color;
    viewport()->update();
}

void ScrollbackWidget::SetTextInsets(const QMargins& insets)
{
    if (insets == fInsets)
        return;
    fInsets = insets;
    _InvalidateAll();
    _Changed();
}

// Layout

qreal ScrollbackWidget::_TextWidth() const
{
    return std::max<qreal>(8, viewport()->width() - fInsets.left() - fInsets.right());
}

ScrollbackWidget::LineLayout* ScrollbackWidget::_Layout(int32_t line)
{
    auto found = fLayouts.find(line);
    if (found != fLayouts.end())
        return found->second.get();

    auto entry = std::make_unique<LineLayout>();
    int32_t start = fDocument.LineStart(line);
    int32_t end = fDocument.LineEnd(line);
    QString text = DecodeUtf8Mapped(fDocument.LineText(line), &entry->toByte, &entry->toUnit);

    QList<QTextLayout::FormatRange> formats;
    const auto& runs = fDocument.Runs();
    for (size_t i = fDocument.FirstRunAt(start); i < runs.size() && runs[i].offset < end; i++) {
        int32_t from = std::max(runs[i].offset, start) - start;
        int32_t to = (i + 1 < runs.size() ? std::min(runs[i + 1].offset, end) : end) - start;
        if (to <= from)
            continue;
        const auto& style = fStyles[std::min<size_t>(runs[i].style, fStyles.size() - 1)];
        QTextLayout::FormatRange range;
        range.start = entry->toUnit[static_cast<size_t>(from)];
        range.length = entry->toUnit[static_cast<size_t>(to)] - range.start;
        range.format.setFont(style.first);
        range.format.setForeground(style.second);
        formats.append(range);
    }

    const auto& first = fStyles[std::min<size_t>(fDocument.StyleAt(start), fStyles.size() - 1)];
    entry->layout.setText(text);
    entry->layout.setFont(first.first);
    entry->layout.setFormats(formats);
    entry->layout.setCacheEnabled(true);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    entry->layout.setTextOption(option);
    qreal width = _TextWidth();
    qreal y = 0;
    entry->layout.beginLayout();
    for (QTextLine row = entry->layout.createLine(); row.isValid();
         row = entry->layout.createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    entry->layout.endLayout();
    entry->height = std::max<qreal>(1, std::ceil(y));

    LineLayout* result = entry.get();
    fLayouts.emplace(line, std::move(entry));
    return result;
}

qreal ScrollbackWidget::_Height(int32_t line)
{
    return _Layout(line)->height;
}

void ScrollbackWidget::_Invalidate(int32_t fromLine)
{
    for (auto it = fLayouts.begin(); it != fLayouts.end();) {
        if (it->first >= fromLine)
            it = fLayouts.erase(it);
        else
            ++it;
    }
}

void ScrollbackWidget::_InvalidateAll()
{
    fLayouts.clear();
}

void ScrollbackWidget::_Trim()
{
    if (fLayouts.size() <= kLayoutCacheSize)
        return;
    // Keep what is around the current position; the rest is cheap to lay out again.
    int32_t top = TopLine();
    int32_t keep = static_cast<int32_t>(kLayoutCacheSize / 4);
    for (auto it = fLayouts.begin(); it != fLayouts.end();) {
        if (std::abs(it->first - top) > keep && std::abs(it->first - fMaxTop) > keep)
            it = fLayouts.erase(it);
        else
            ++it;
    }
}

// Position

int32_t ScrollbackWidget::TopLine() const
{
    return fAtEnd ? fMaxTop : fTop;
}

void ScrollbackWidget::_ComputeEnd()
{
    qreal height = viewport()->height() - fInsets.top() - fInsets.bottom();
    qreal sum = 0;
    int32_t line = fDocument.CountLines() - 1;
    for (; line >= 0; line--) {
        sum += _Height(line);
        if (sum >= height)
            break;
    }
    if (line < 0) {
        fMaxTop = 0;
        fMaxTopPixel = 0;
    } else {
        fMaxTop = line;
        fMaxTopPixel = sum - height;
    }
}

std::vector<ScrollbackWidget::Placed> ScrollbackWidget::_Visible()
{
    std::vector<Placed> placed;
    qreal height = viewport()->height() - fInsets.top() - fInsets.bottom();
    int32_t top = fAtEnd ? fMaxTop : fTop;
    qreal y = -(fAtEnd ? fMaxTopPixel : fTopPixel);
    for (int32_t line = top; line < fDocument.CountLines() && y < height; line++) {
        placed.push_back({line, y + fInsets.top()});
        y += _Height(line);
    }
    return placed;
}

void ScrollbackWidget::_LeaveEnd()
{
    if (!fAtEnd)
        return;
    fTop = fMaxTop;
    fTopPixel = fMaxTopPixel;
    fAtEnd = false;
}

void ScrollbackWidget::_ScrollPixels(qreal dy)
{
    if (dy == 0)
        return;
    if (dy < 0) {
        _LeaveEnd();
        fTopPixel += dy;
        while (fTopPixel < 0 && fTop > 0) {
            fTop--;
            fTopPixel += _Height(fTop);
        }
        fTopPixel = std::max<qreal>(0, fTopPixel);
    } else if (!fAtEnd) {
        fTopPixel += dy;
        while (fTop < fDocument.CountLines() - 1 && fTopPixel >= _Height(fTop)) {
            fTopPixel -= _Height(fTop);
            fTop++;
        }
        if (fTop > fMaxTop || (fTop == fMaxTop && fTopPixel >= fMaxTopPixel))
            fAtEnd = true;
    }
    _UpdateBar();
    viewport()->update();
}

void ScrollbackWidget::ScrollStep(Step step)
{
    qreal line = QFontMetricsF(fStyles[0].first).lineSpacing();
    qreal page = std::max<qreal>(line, viewport()->height() - line);
    switch (step) {
    case Step::LineUp:
        _ScrollPixels(-line);
        break;
    case Step::LineDown:
        _ScrollPixels(line);
        break;
    case Step::PageUp:
        _ScrollPixels(-page);
        break;
    case Step::PageDown:
        _ScrollPixels(page);
        break;
    case Step::Home:
        fAtEnd = fMaxTop == 0 && fMaxTopPixel == 0;
        fTop = 0;
        fTopPixel = 0;
        _UpdateBar();
        viewport()->update();
        break;
    case Step::End:
        fAtEnd = true;
        _UpdateBar();
        viewport()->update();
        break;
    }
}

void ScrollbackWidget::ScrollToOffset(int32_t offset)
{
    if (offset >= fDocument.Length()) {
        ScrollStep(Step::End);
        return;
    }
    int32_t line = fDocument.LineAt(std::max(0, offset));
    std::vector<Placed> visible = _Visible();
    qreal height = viewport()->height() - fInsets.bottom();
    for (const Placed& placed : visible) {
        if (placed.line == line && placed.y >= 0 && placed.y + _Height(line) <= height)
            return;
    }
    _LeaveEnd();
    if (visible.empty() || line < visible.front().line || line <= fTop) {
        fTop = line;
        fTopPixel = 0;
    } else {
        // Below: bring the line up to the bottom edge.
        qreal room = viewport()->height() - fInsets.top() - fInsets.bottom();
        qreal sum = 0;
        int32_t top = line;
        for (; top >= 0; top--) {
            sum += _Height(top);
            if (sum >= room)
                break;
        }
        fTop = std::max(0, top);
        fTopPixel = top < 0 ? 0 : sum - room;
    }
    if (fTop > fMaxTop || (fTop == fMaxTop && fTopPixel >= fMaxTopPixel))
        fAtEnd = true;
    _UpdateBar();
    viewport()->update();
}

void ScrollbackWidget::_Changed()
{
    _ComputeEnd();
    if (!fAtEnd && (fTop > fMaxTop || (fTop == fMaxTop && fTopPixel > fMaxTopPixel)))
        fAtEnd = true;
    _Trim();
    _UpdateBar();
    viewport()->update();
}

void ScrollbackWidget::_UpdateBar()
{
    QScrollBar* bar = verticalScrollBar();
    int32_t value = TopLine();
    fUpdatingBar = true;
    bar->setRange(0, fMaxTop);
    bar->setPageStep(std::max<int>(1, static_cast<int>(_Visible().size())));
    bar->setSingleStep(1);
    bar->setValue(value);
    fUpdatingBar = false;
    if (value != fReportedValue || fMaxTop != fReportedMax) {
        fReportedValue = value;
        fReportedMax = fMaxTop;
        if (onScrolled)
            onScrolled(value, fMaxTop);
    }
}

void ScrollbackWidget::_ScrollBarMoved(int value)
{
    if (fUpdatingBar)
        return;
    if (value >= fMaxTop) {
        fAtEnd = true;
    } else {
        fAtEnd = false;
        fTop = value;
        fTopPixel = 0;
    }
    _UpdateBar();
    viewport()->update();
    _UserScrolled();
}

void ScrollbackWidget::scrollContentsBy(int, int)
{
    // Scrolling is driven by _ScrollBarMoved; nothing to move here.
}

// Selection

void ScrollbackWidget::Select(int32_t start, int32_t end)
{
    int32_t length = fDocument.Length();
    fAnchor = std::clamp(start, 0, length);
    fCursor = std::clamp(end, fAnchor, length);
    viewport()->update();
}

QString ScrollbackWidget::SelectedText() const
{
    int32_t start = SelectionStart();
    int32_t end = SelectionEnd();
    return QString::fromUtf8(fDocument.Text().data() + start, end - start);
}

// Hit testing

ScrollbackWidget::Hit ScrollbackWidget::_HitLine(QPoint point)
{
    // Above the first visible line counts as the first, below the last as the last.
    Hit hit;
    for (const Placed& placed : _Visible()) {
        hit.line = placed.line;
        hit.layout = _Layout(placed.line);
        hit.y = placed.y;
        if (point.y() < placed.y + hit.layout->height)
            break;
    }
    return hit;
}

int32_t ScrollbackWidget::OffsetAt(QPoint point)
{
    Hit hit = _HitLine(point);
    if (hit.layout == nullptr)
        return 0;
    qreal y = point.y() - hit.y;
    QTextLayout& layout = hit.layout->layout;
    int32_t start = fDocument.LineStart(hit.line);
    if (y < 0)
        return start;
    for (int i = 0; i < layout.lineCount(); i++) {
        QTextLine row = layout.lineAt(i);
        if (y < row.y() + row.height() || i == layout.lineCount() - 1) {
            int unit = row.xToCursor(point.x() - fInsets.left());
            unit = std::clamp<int>(unit, 0, static_cast<int>(hit.layout->toByte.size()) - 1);
            return start + hit.layout->toByte[static_cast<size_t>(unit)];
        }
    }
    return fDocument.LineEnd(hit.line);
}

bool ScrollbackWidget::_LinkContains(const Link& link, QPoint point)
{
    Hit hit = _HitLine(point);
    if (hit.layout == nullptr)
        return false;
    int32_t start = fDocument.LineStart(hit.line);
    int32_t end = fDocument.LineEnd(hit.line);
    int32_t from = std::max(link.start, start);
    int32_t to = std::min(link.end, end);
    if (from >= to)
        return false;
    const auto& toUnit = hit.layout->toUnit;
    int a = toUnit[static_cast<size_t>(from - start)];
    int b = toUnit[static_cast<size_t>(to - start)];
    qreal y = point.y() - hit.y;
    qreal x = point.x() - fInsets.left();
    QTextLayout& layout = hit.layout->layout;
    for (int i = 0; i < layout.lineCount(); i++) {
        QTextLine row = layout.lineAt(i);
        if (y < row.y() || y >= row.y() + row.height())
            continue;
        int rowStart = row.textStart();
        int rowEnd = rowStart + row.textLength();
        int la = std::max(a, rowStart);
        int lb = std::min(b, rowEnd);
        if (la >= lb)
            return false;
        qreal x1 = row.cursorToX(la);
        qreal x2 = row.cursorToX(lb);
        return x >= std::min(x1, x2) && x <= std::max(x1, x2);
    }
    return false;
}

const ScrollbackWidget::Link* ScrollbackWidget::LinkAt(QPoint point)
{
    Hit hit = _HitLine(point);
    if (hit.layout == nullptr)
        return nullptr;
    int32_t start = fDocument.LineStart(hit.line);
    int32_t end = fDocument.LineEnd(hit.line);
    for (const Link* link : fDocument.LinksIn(start, std::max(end, start + 1))) {
        if (_LinkContains(*link, point))
            return link;
    }
    return nullptr;
}

QPoint ScrollbackWidget::PointAt(int32_t offset)
{
    int32_t line = fDocument.LineAt(std::clamp(offset, 0, fDocument.Length()));
    for (const Placed& placed : _Visible()) {
        if (placed.line != line)
            continue;
        LineLayout* layout = _Layout(line);
        int32_t within = offset - fDocument.LineStart(line);
        int unit = layout->toUnit[static_cast<size_t>(
            std::clamp<int32_t>(within, 0, static_cast<int32_t>(layout->toUnit.size()) - 1))];
        QTextLine row = layout->layout.lineForTextPosition(unit);
        if (!row.isValid())
            row = layout->layout.lineAt(0);
        qreal x = row.cursorToX(unit) + fInsets.left() + 1;
        qreal y = placed.y + row.y() + row.height() / 2;
        if (y < 0 || y >= viewport()->height())
            return QPoint(-1, -1);
        return QPoint(static_cast<int>(x), static_cast<int>(y));
    }
    return QPoint(-1, -1);
}

// Painting

void ScrollbackWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), fBackground);
    int32_t selStart = SelectionStart();
    int32_t selEnd = SelectionEnd();
    const QPalette& colours = palette();
    const Link* pressed = nullptr;
    if (fPressedLink >= 0 && fPressedInside &&
        fPressedLink < static_cast<int32_t>(fDocument.Links().size()))
        pressed = &fDocument.Links()[static_cast<size_t>(fPressedLink)];

    for (const Placed& placed : _Visible()) {
        LineLayout* layout = _Layout(placed.line);
        int32_t start = fDocument.LineStart(placed.line);
        int32_t end = fDocument.LineEnd(placed.line);
        const auto& toUnit = layout->toUnit;
        auto unitOf = [&](int32_t offset) {
            return toUnit[static_cast<size_t>(std::clamp(offset, start, end) - start)];
        };

        QList<QTextLayout::FormatRange> selections;
        auto highlight = [&](int32_t from, int32_t to) {
            if (from >= end + 1 || to <= start || from >= to)
                return;
            QTextLayout::FormatRange range;
            range.start = unitOf(from);
            range.length = unitOf(to) - range.start;
            if (range.length <= 0)
                return;
            range.format.setBackground(colours.highlight());
            range.format.setForeground(colours.highlightedText());
            selections.append(range);
        };
        highlight(selStart, selEnd);
        if (pressed != nullptr)
            highlight(pressed->start, pressed->end);

        QPointF origin(fInsets.left(), placed.y);
        layout->layout.draw(&painter, origin, selections);

        for (const Link* link : fDocument.LinksIn(start, std::max(end, start + 1))) {
            int a = unitOf(link->start);
            int b = unitOf(link->end);
            if (a >= b)
                continue;
            painter.setPen(QColor::fromRgb(link->color));
            for (int i = 0; i < layout->layout.lineCount(); i++) {
                QTextLine row = layout->layout.lineAt(i);
                int la = std::max(a, row.textStart());
                int lb = std::min(b, row.textStart() + row.textLength());
                if (la >= lb)
                    continue;
                qreal y = std::floor(origin.y() + row.y() + row.ascent()) + 1.5;
                painter.drawLine(QPointF(origin.x() + row.cursorToX(la), y),
                                 QPointF(origin.x() + row.cursorToX(lb), y));
            }
        }
    }
    // Scrolling far lays out new lines; drop the ones far from here.
    _Trim();
}

void ScrollbackWidget::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    _InvalidateAll();
    _Changed();
}

// Input

bool ScrollbackWidget::event(QEvent* event)
{
    // Tab belongs to the window's key handling, not to focus movement.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QAbstractScrollArea::event(event);
}

void ScrollbackWidget::_UserScrolled()
{
    fUserScrolls++;
    if (onUserScroll)
        onUserScroll(fUserScrolls);
}

void ScrollbackWidget::wheelEvent(QWheelEvent* event)
{
    qreal dy;
    if (!event->pixelDelta().isNull()) {
        dy = -event->pixelDelta().y();
    } else {
        qreal line = QFontMetricsF(fStyles[0].first).lineSpacing();
        dy = -event->angleDelta().y() / 120.0 * 3 * line;
    }
    _ScrollPixels(dy);
    _UserScrolled();
    event->accept();
}

void ScrollbackWidget::mousePressEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
    if (event->button() != Qt::LeftButton)
        return;
    QPoint point = event->position().toPoint();
    if (const Link* link = LinkAt(point)) {
        fPressedLink = static_cast<int32_t>(link - fDocument.Links().data());
        fPressedInside = true;
    } else if (fSelectable) {
        fAnchor = fCursor = OffsetAt(point);
        fSelecting = true;
    }
    viewport()->update();
}

void ScrollbackWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
    QPoint point = event->position().toPoint();
    if (fPressedLink >= 0) {
        const Link& link = fDocument.Links()[static_cast<size_t>(fPressedLink)];
        bool inside = _LinkContains(link, point);
        if (inside != fPressedInside) {
            fPressedInside = inside;
            viewport()->update();
        }
    } else if (fSelecting) {
        if (point.y() < 0) {
            _ScrollPixels(point.y());
            _UserScrolled();
        } else if (point.y() > viewport()->height()) {
            _ScrollPixels(point.y() - viewport()->height());
            _UserScrolled();
        }
        fCursor = OffsetAt(point);
        viewport()->update();
    }
}

void ScrollbackWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event);
    if (event->button() != Qt::LeftButton)
        return;
    QPoint point = event->position().toPoint();
    if (fPressedLink >= 0) {
        int32_t index = fPressedLink;
        const Link link = fDocument.Links()[static_cast<size_t>(index)];
        fPressedLink = -1;
        fPressedInside = false;
        viewport()->update();
        if (_LinkContains(link, point) && onLinkClicked)
            onLinkClicked(link.index);
        return;
    }
    if (fSelecting) {
        fSelecting = false;
        QClipboard* clipboard = QApplication::clipboard();
        if (SelectionEnd() > SelectionStart() && clipboard->supportsSelection())
            clipboard->setText(SelectedText(), QClipboard::Selection);
    }
}

void ScrollbackWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The owner counts clicks itself; a second press is an ordinary press here.
    mousePressEvent(event);
}

void ScrollbackWidget::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        if (SelectionEnd() > SelectionStart())
            QApplication::clipboard()->setText(SelectedText());
        event->accept();
        return;
    }
    if (onKey)
        onKey(event);
    event->accept();
}

void ScrollbackWidget::focusInEvent(QFocusEvent* event)
{
    QAbstractScrollArea::focusInEvent(event);
    if (onFocus)
        onFocus();
}

} // namespace kit_private
