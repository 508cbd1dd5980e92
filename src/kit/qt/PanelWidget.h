#pragma once

// The widget of the views drawn from their properties alone: plain views, boxes (border and
// label), string views (a line of text), scroll views (their border), tab views (the tab
// bar; the container is a child view) and draggers (the handle). Input is posted by the
// window mirror's event filter.

#include <ViewChange.h>

#include <QColor>
#include <QImage>
#include <QTabBar>
#include <QWidget>

namespace kit_private {

class PanelWidget : public QWidget
{
    Q_OBJECT

public:
    PanelWidget(ViewKind kind, QWidget* parent);

    ViewKind Kind() const { return fKind; }
    void SetColors(const QColor& view, const QColor& high);
    void SetLabel(const QString& label);
    QString Label() const { return fLabel; }
    void SetBorder(int32 style);
    void SetBitmap(const QImage& image);
    // Tab views only
    QTabBar* TabBar() const { return fTabBar; }
    void SetTabHeight(int height);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void _PaintBox(QPainter& painter);

    ViewKind fKind;
    QColor fViewColor = Qt::white;
    QColor fHighColor = Qt::black;
    QString fLabel;
    int32 fBorder = 1; // B_FANCY_BORDER
    QImage fBitmap;
    QTabBar* fTabBar = nullptr;
    int fTabHeight = 0;
};

} // namespace kit_private
