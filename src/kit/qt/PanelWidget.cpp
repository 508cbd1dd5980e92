#include "PanelWidget.h"

#include <InterfaceDefs.h>

#include <QPainter>

namespace kit_private {

PanelWidget::PanelWidget(ViewKind kind, QWidget* parent) : QWidget(parent), fKind(kind)
{
    setAttribute(Qt::WA_OpaquePaintEvent, kind != ViewKind::Dragger);
    if (kind == ViewKind::TabView) {
        fTabBar = new QTabBar(this);
        fTabBar->setFocusPolicy(Qt::NoFocus); // tabs show no focus mark
        fTabBar->setDrawBase(true);
        fTabBar->setExpanding(false);
    }
}

void PanelWidget::SetColors(const QColor& view, const QColor& high)
{
    fViewColor = view;
    fHighColor = high;
    update();
}

void PanelWidget::SetLabel(const QString& label)
{
    fLabel = label;
    update();
}

void PanelWidget::SetBorder(int32 style)
{
    fBorder = style;
    update();
}

void PanelWidget::SetBitmap(const QImage& image)
{
    fBitmap = image;
    update();
}

void PanelWidget::SetTabHeight(int height)
{
    fTabHeight = height;
    if (fTabBar != nullptr)
        fTabBar->setGeometry(0, 0, width(), fTabHeight);
}

void PanelWidget::resizeEvent(QResizeEvent*)
{
    if (fTabBar != nullptr)
        fTabBar->setGeometry(0, 0, width(), fTabHeight);
}

void PanelWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (fKind != ViewKind::Dragger)
        painter.fillRect(rect(), fViewColor);
    if (!fBitmap.isNull())
        painter.drawImage(0, 0, fBitmap);
    switch (fKind) {
    case ViewKind::Box:
        _PaintBox(painter);
        break;
    case ViewKind::StringView:
        painter.setPen(fHighColor);
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, fLabel);
        break;
    case ViewKind::ScrollView:
        if (fBorder != B_NO_BORDER) {
            painter.setPen(fViewColor.darker(160));
            painter.drawRect(rect().adjusted(0, 0, -1, -1));
            if (fBorder == B_FANCY_BORDER) {
                painter.setPen(fViewColor.darker(120));
                painter.drawRect(rect().adjusted(1, 1, -2, -2));
            }
        }
        break;
    case ViewKind::Dragger: {
        // The handle: a few diagonal strokes in the corner.
        painter.setPen(QColor(96, 96, 96));
        int size = std::min(width(), height());
        for (int step = 2; step < size; step += 3)
            painter.drawLine(size - 1, step, step, size - 1);
        break;
    }
    default:
        break;
    }
}

void PanelWidget::_PaintBox(QPainter& painter)
{
    QFontMetrics metrics(font());
    int top = fLabel.isEmpty() ? 0 : metrics.height() / 2;
    QRect frame = rect().adjusted(0, top, -1, -1);
    if (fBorder == B_FANCY_BORDER) {
        // Etched: a dark line with a light one inside it.
        painter.setPen(fViewColor.darker(150));
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
        painter.setPen(fViewColor.lighter(130));
        painter.drawRect(frame.adjusted(1, 1, 0, 0));
    } else if (fBorder == B_PLAIN_BORDER) {
        painter.setPen(fViewColor.darker(150));
        painter.drawRect(frame);
    }
    if (!fLabel.isEmpty()) {
        QRect text(10, 0, metrics.horizontalAdvance(fLabel) + 4, metrics.height());
        painter.fillRect(text, fViewColor);
        painter.setPen(fHighColor);
        painter.setFont(font());
        painter.drawText(text, Qt::AlignCenter, fLabel);
    }
}

} // namespace kit_private
