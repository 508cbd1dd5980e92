#pragma once

// A list view's widget: a native QListView over the rows the change stream sends, every row
// as high as the model's rows, drawn in its own colours when it has them. Clicks and keys
// are not acted on natively: they go to the window thread (the list's MouseDown and KeyDown
// select rows there), and the selection comes back as a command. Scrolling is native.

#include <RowList.h>
#include <ViewChange.h>

#include <QAbstractListModel>
#include <QListView>

#include <functional>
#include <vector>

namespace kit_private {

class ListRowsModel : public QAbstractListModel
{
    Q_OBJECT

public:
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    // Asked for every row on each layout of the view: answered without the base class's
    // checks through rowCount and columnCount.
    QModelIndex index(int row, int column = 0,
                      const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    void SetRows(std::vector<ListRow> rows);
    void Insert(int index, ListRow row);
    void Remove(int index);
    void Change(int index, ListRow row);
    const ListRow* Row(int index) const;

private:
    RowList fRows;
};

class ListWidget : public QListView
{
    Q_OBJECT

public:
    explicit ListWidget(QWidget* parent);

    ListRowsModel* Rows() { return &fModel; }
    void SetRowHeight(int height);
    int RowHeight() const { return fRowHeight; }
    void SetSelection(const std::vector<int32>& rows);
    void SetMultiple(bool multiple) { fMultiple = multiple; }
    // Where a viewport point lies in the list's own coordinates (rows from 0 at the top).
    QPoint ContentPoint(QPoint viewportPoint) const;
    // The viewport point of a row's middle (for tests and drags).
    QPoint RowPoint(int row) const;

    // For the window mirror
    std::function<void(QMouseEvent*, int clicks)> onMouse;
    std::function<void(QKeyEvent*)> onKey;
    std::function<void()> onFocus;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

private:
    ListRowsModel fModel;
    int fRowHeight = 16;
    bool fMultiple = false;
};

} // namespace kit_private
