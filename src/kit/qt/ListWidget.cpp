#include "ListWidget.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

namespace kit_private {

namespace {

QColor ColorOf(const rgb_color& color)
{
    // Rows are drawn opaque, whatever alpha the program gives their colour.
    return QColor(color.red, color.green, color.blue);
}

class RowDelegate : public QStyledItemDelegate
{
public:
    explicit RowDelegate(ListWidget* list) : QStyledItemDelegate(list), fList(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        return QSize(size.width(), fList->RowHeight());
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override
    {
        const ListRow* row = fList->Rows()->Row(index.row());
        if (row == nullptr || !row->ownColors) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        // A row with its own colours: its text colour on the list's background, or on its
        // selection colour when selected; 4 in from the left.
        bool selected = option.state & QStyle::State_Selected;
        if (selected)
            painter->fillRect(option.rect, ColorOf(row->selectionColor));
        painter->setPen(ColorOf(row->textColor));
        painter->setFont(option.font);
        painter->drawText(option.rect.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                          QString::fromStdString(row->text));
    }

private:
    ListWidget* fList;
};

} // namespace

int ListRowsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(fRows.size());
}

QModelIndex ListRowsModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column != 0 || parent.isValid() || static_cast<size_t>(row) >= fRows.size())
        return {};
    return createIndex(row, column);
}

QVariant ListRowsModel::data(const QModelIndex& index, int role) const
{
    const ListRow* row = Row(index.row());
    if (row == nullptr)
        return {};
    if (role == Qt::DisplayRole)
        return QString::fromStdString(row->text);
    return {};
}

void ListRowsModel::SetRows(std::vector<ListRow> rows)
{
    beginResetModel();
    fRows.Assign(std::move(rows));
    endResetModel();
}

void ListRowsModel::Insert(int index, ListRow row)
{
    index = std::clamp(index, 0, static_cast<int>(fRows.size()));
    beginInsertRows(QModelIndex(), index, index);
    fRows.Insert(static_cast<size_t>(index), std::move(row));
    endInsertRows();
}

void ListRowsModel::Remove(int index)
{
    if (index < 0 || index >= static_cast<int>(fRows.size()))
        return;
    beginRemoveRows(QModelIndex(), index, index);
    fRows.Erase(static_cast<size_t>(index));
    endRemoveRows();
}

void ListRowsModel::Change(int index, ListRow row)
{
    if (index < 0 || index >= static_cast<int>(fRows.size()))
        return;
    fRows[static_cast<size_t>(index)] = std::move(row);
    emit dataChanged(this->index(index), this->index(index));
}

const ListRow* ListRowsModel::Row(int index) const
{
    if (index < 0 || index >= static_cast<int>(fRows.size()))
        return nullptr;
    return &fRows[static_cast<size_t>(index)];
}

ListWidget::ListWidget(QWidget* parent) : QListView(parent)
{
    setModel(&fModel);
    setItemDelegate(new RowDelegate(this));
    setUniformItemSizes(true);
    setSpacing(0);
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::MultiSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAcceptDrops(true);
}

void ListWidget::SetRowHeight(int height)
{
    fRowHeight = std::max(1, height);
    // Uniform sizes are cached; a reset makes the view ask again.
    doItemsLayout();
}

void ListWidget::SetSelection(const std::vector<int32>& rows)
{
    QItemSelection selection;
    for (int32 row : rows) {
        QModelIndex index = fModel.index(row);
        if (index.isValid())
            selection.select(index, index);
    }
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

QPoint ListWidget::ContentPoint(QPoint viewportPoint) const
{
    return viewportPoint + QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value());
}

QPoint ListWidget::RowPoint(int row) const
{
    // Rows are laid out lazily; make sure they are before measuring one.
    const_cast<ListWidget*>(this)->executeDelayedItemsLayout();
    QRect rect = visualRect(fModel.index(row));
    return QPoint(rect.left() + 8, rect.center().y());
}

void ListWidget::mousePressEvent(QMouseEvent* event)
{
    setFocus(Qt::MouseFocusReason);
    if (onMouse)
        onMouse(event, 1);
}

void ListWidget::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event, 2);
}

void ListWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event, 0);
}

void ListWidget::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouse)
        onMouse(event, 0);
}

void ListWidget::keyPressEvent(QKeyEvent* event)
{
    if (onKey)
        onKey(event);
    event->accept();
}

bool ListWidget::event(QEvent* event)
{
    // Tab goes to the list's KeyDown like any key.
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    return QListView::event(event);
}

void ListWidget::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    if (onFocus)
        onFocus();
}

} // namespace kit_private
