// QtWindow: applying view changes to their widgets (see QtWindow.h).

#include "QtWindowNode.h"

#include "ListWidget.h"
#include "MenuFieldWidget.h"
#include "PanelWidget.h"
#include "QtDisplay.h"
#include "QtFontProvider.h"
#include "QtMenus.h"
#include "ScrollbackWidget.h"
#include "TextControlWidget.h"

#include <InterfaceDefs.h>
#include <ViewMessages.h>

#include <QBitmap>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cmath>

namespace kit_private {

namespace {

template <typename... F> struct Overloaded : F...
{
    using F::operator()...;
};
template <typename... F> Overloaded(F...) -> Overloaded<F...>;

QColor Opaque(const rgb_color& color)
{
    // The kit draws colours as given, whatever their alpha (many are stored with alpha 0).
    return QColor(color.red, color.green, color.blue);
}

QImage ImageOf(const Image& image)
{
    QImage result(image.width, image.height, QImage::Format_ARGB32);
    for (int32 y = 0; y < image.height; y++) {
        auto* row = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int32 x = 0; x < image.width; x++)
            row[x] = image.argb[static_cast<size_t>(y * image.width + x)];
    }
    return result;
}

QCursor CursorOf(const CursorImage& cursor)
{
    QImage bits(16, 16, QImage::Format_Mono);
    QImage mask(16, 16, QImage::Format_Mono);
    bits.setColorCount(2);
    mask.setColorCount(2);
    bits.setColor(0, qRgb(255, 255, 255));
    bits.setColor(1, qRgb(0, 0, 0));
    mask.setColor(0, qRgb(255, 255, 255));
    mask.setColor(1, qRgb(0, 0, 0));
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            uint16 bit = static_cast<uint16>(0x8000 >> x);
            bits.setPixel(x, y, (cursor.bits[y] & bit) ? 1 : 0);
            mask.setPixel(x, y, (cursor.mask[y] & bit) ? 1 : 0);
        }
    }
    return QCursor(QBitmap::fromImage(bits), QBitmap::fromImage(mask), cursor.hotX, cursor.hotY);
}

QString ButtonText(const std::string& label)
{
    QString text = QString::fromStdString(label);
    text.replace(QLatin1Char('&'), QLatin1String("&&"));
    return text;
}

} // namespace

uint32 QtWindow::_Style(Node& node, const StyleRun& run)
{
    auto* scrollback = static_cast<ScrollbackWidget*>(node.widget.data());
    uint32 colour = (uint32(run.color.red) << 16) | (uint32(run.color.green) << 8) | run.color.blue;
    uint64_t key = (static_cast<uint64_t>(run.font.FamilyAndStyle()) << 32) ^
                   (static_cast<uint64_t>(std::lround(run.font.Size() * 16)) << 24) ^ colour;
    auto found = node.styles.find(key);
    if (found != node.styles.end())
        return found->second;
    uint32 style = scrollback->InternStyle(qt_font(run.font), Opaque(run.color));
    node.styles.emplace(key, style);
    return style;
}

void QtWindow::_ApplyView(Node& node, Change& item)
{
    QWidget* widget = node.widget.data();
    if (widget == nullptr)
        return;
    auto* panel = qobject_cast<PanelWidget*>(widget);
    std::visit(Overloaded{
                   [&](change::ViewFrame& frame) {
                       node.frame = frame.frame;
                       _Place(node);
                       _PlaceChildren(node);
                   },
                   [&](change::ViewHidden& hidden) {
                       node.hidden = hidden.hidden;
                       if (!node.absorbed)
                           widget->setVisible(!hidden.hidden);
                   },
                   [&](change::ViewColors& colors) {
                       node.viewColor = Opaque(colors.view);
                       node.highColor = Opaque(colors.high);
                       if (panel != nullptr)
                           panel->SetColors(node.viewColor, node.highColor);
                       else if (auto* control = qobject_cast<TextControlWidget*>(widget))
                           control->SetColors(node.viewColor, node.highColor);
                       else if (auto* field = qobject_cast<MenuFieldWidget*>(widget))
                           field->SetColors(node.viewColor, node.highColor);
                       else if (auto* scrollback = qobject_cast<ScrollbackWidget*>(widget))
                           scrollback->SetBackground(node.viewColor);
                       else if (auto* list = qobject_cast<ListWidget*>(widget)) {
                           QPalette colours = list->palette();
                           colours.setColor(QPalette::Base, node.viewColor);
                           colours.setColor(QPalette::Text, node.highColor);
                           list->setPalette(colours);
                       }
                   },
                   [&](change::ViewFont& font) {
                       if (qobject_cast<EditorLineEdit*>(widget) == nullptr)
                           widget->setFont(qt_font(font.font));
                   },
                   [&](change::ViewCursor& cursor) {
                       QWidget* target = node.input ? node.input.data() : widget;
                       if (cursor.cursor)
                           target->setCursor(CursorOf(*cursor.cursor));
                       else
                           target->unsetCursor();
                   },
                   [&](change::ViewBitmap& bitmap) {
                       if (panel != nullptr)
                           panel->SetBitmap(bitmap.image ? ImageOf(*bitmap.image) : QImage());
                   },
                   [&](change::ViewDrag& drag) {
                       fDisplay->BeginDrag(this, node.token, drag.message,
                                           drag.image ? ImageOf(*drag.image) : QImage(),
                                           QPoint(static_cast<int>(drag.offset.x),
                                                  static_cast<int>(drag.offset.y)));
                   },
                   [&](change::ViewFilteredKeys& keys) { node.filteredKeys = keys.keys; },
                   [&](change::ViewInvalidate&) { widget->update(); },
                   [&](change::ControlLabel& label) {
                       QString text = QString::fromStdString(label.label);
                       if (panel != nullptr)
                           panel->SetLabel(text);
                       else if (auto* button = qobject_cast<QPushButton*>(widget))
                           button->setText(ButtonText(label.label));
                       else if (auto* box = qobject_cast<QCheckBox*>(widget))
                           box->setText(ButtonText(label.label));
                       else if (auto* control = qobject_cast<TextControlWidget*>(widget))
                           control->SetLabel(text);
                       else if (auto* field = qobject_cast<MenuFieldWidget*>(widget))
                           field->SetLabel(text);
                   },
                   [&](change::ControlValue& value) {
                       if (auto* box = qobject_cast<QCheckBox*>(widget))
                           box->setChecked(value.value != 0);
                   },
                   [&](change::ControlEnabled& enabled) { widget->setEnabled(enabled.enabled); },
                   [&](change::ControlDefault& isDefault) {
                       if (auto* button = qobject_cast<QPushButton*>(widget))
                           button->setDefault(isDefault.isDefault);
                   },
                   [&](change::ControlDivider& divider) {
                       int position = static_cast<int>(std::lround(divider.divider));
                       if (auto* control = qobject_cast<TextControlWidget*>(widget))
                           control->SetDivider(position);
                       else if (auto* field = qobject_cast<MenuFieldWidget*>(widget))
                           field->SetDivider(position);
                   },
                   [&](change::BoxBorder& border) {
                       node.border = border.style;
                       if (panel != nullptr)
                           panel->SetBorder(border.style);
                       _PlaceChildren(node);
                   },
                   [&](change::ScrollBarState& state) {
                       auto* bar = qobject_cast<QScrollBar*>(widget);
                       if (bar == nullptr)
                           return;
                       bar->setOrientation(state.orientation == B_HORIZONTAL ? Qt::Horizontal
                                                                             : Qt::Vertical);
                       bar->blockSignals(true);
                       bar->setRange(static_cast<int>(state.min), static_cast<int>(state.max));
                       bar->setValue(static_cast<int>(state.value));
                       float span = state.max - state.min;
                       if (state.proportion > 0 && state.proportion < 1)
                           bar->setPageStep(std::max(1, static_cast<int>(span * state.proportion /
                                                                         (1 - state.proportion))));
                       bar->blockSignals(false);
                   },
                   [&](change::ScrollViewParts& parts) {
                       node.parts = parts;
                       _PlaceChildren(node);
                   },
                   [&](change::TextSet&) { _ApplyText(node, item); },
                   [&](change::TextInsert&) { _ApplyText(node, item); },
                   [&](change::TextDelete&) { _ApplyText(node, item); },
                   [&](change::TextRestyle&) { _ApplyText(node, item); },
                   [&](change::TextLink&) { _ApplyText(node, item); },
                   [&](change::TextLinksClear&) { _ApplyText(node, item); },
                   [&](change::TextMode&) { _ApplyText(node, item); },
                   [&](change::TextSelect&) { _ApplyText(node, item); },
                   [&](change::TextScrollTo&) { _ApplyText(node, item); },
                   [&](change::TextScrollStep&) { _ApplyText(node, item); },
                   [&](change::KeyAnswered&) {
                       if (node.unanswered > 0 && --node.unanswered == 0 && !node.heldKeys.empty())
                           _ReleaseHeldKeys(node.token);
                   },
                   [&](change::ListRows&) { _ApplyList(node, item); },
                   [&](change::ListInsert&) { _ApplyList(node, item); },
                   [&](change::ListRemove&) { _ApplyList(node, item); },
                   [&](change::ListRowChanged&) { _ApplyList(node, item); },
                   [&](change::ListSelection&) { _ApplyList(node, item); },
                   [&](change::ListScrollTo&) { _ApplyList(node, item); },
                   [&](change::MenuTree& tree) {
                       MenuChosen chosen = [this](int32 token) {
                           BMessage message(kMsgMenuChosen);
                           message.AddInt32(kFieldItem, token);
                           Post(-1, message);
                       };
                       if (auto* bar = qobject_cast<QMenuBar*>(widget)) {
                           fill_menu_bar(bar, tree.root, chosen);
                       } else if (auto* field = qobject_cast<MenuFieldWidget*>(widget)) {
                           field->SetItemLabel(QString::fromStdString(tree.root.label));
                           fill_menu(field->Menu(), tree.root, chosen);
                       }
                       fMenuTrees[node.token] = tree.root;
                       _UpdateShortcuts();
                   },
                   [&](change::Tabs& tabs) {
                       if (panel == nullptr || panel->TabBar() == nullptr)
                           return;
                       QTabBar* bar = panel->TabBar();
                       bar->blockSignals(true);
                       while (bar->count() > static_cast<int>(tabs.labels.size()))
                           bar->removeTab(bar->count() - 1);
                       for (size_t i = 0; i < tabs.labels.size(); i++) {
                           QString label = QString::fromStdString(tabs.labels[i]);
                           label.replace(QLatin1Char('&'), QLatin1String("&&"));
                           if (static_cast<int>(i) < bar->count())
                               bar->setTabText(static_cast<int>(i), label);
                           else
                               bar->addTab(label);
                       }
                       if (tabs.selected >= 0)
                           bar->setCurrentIndex(tabs.selected);
                       bar->blockSignals(false);
                       panel->SetTabHeight(static_cast<int>(std::lround(tabs.tabHeight)));
                   },
                   [&](auto&) {},
               },
               item.payload);
}

void QtWindow::_ApplyText(Node& node, Change& item)
{
    if (auto* editor = qobject_cast<EditorLineEdit*>(node.widget.data())) {
        std::string text = editor->Utf8Text();
        int32 start = editor->ByteOffset(editor->selectionStart() >= 0 ? editor->selectionStart()
                                                                       : editor->cursorPosition());
        int32 end = editor->ByteOffset(editor->cursorPosition());
        if (editor->selectionStart() >= 0)
            end = start + static_cast<int32>(editor->selectedText().toUtf8().size());
        std::visit(Overloaded{
                       [&](change::TextSet& set) {
                           node.textVersion = set.version;
                           editor->ApplyText(set.text, 0, 0);
                       },
                       [&](change::TextInsert& insert) {
                           node.textVersion = insert.version;
                           int32 offset =
                               std::clamp(insert.offset, 0, static_cast<int32>(text.size()));
                           int32 size = static_cast<int32>(insert.text.size());
                           text.insert(static_cast<size_t>(offset), insert.text.View());
                           if (start >= offset)
                               start += size;
                           if (end >= offset)
                               end += size;
                           editor->ApplyText(text, start, end);
                       },
                       [&](change::TextDelete& erase) {
                           node.textVersion = erase.version;
                           int32 from = std::clamp(erase.start, 0, static_cast<int32>(text.size()));
                           int32 to = std::clamp(erase.end, from, static_cast<int32>(text.size()));
                           text.erase(static_cast<size_t>(from), static_cast<size_t>(to - from));
                           auto shift = [&](int32 at) {
                               return at >= to ? at - (to - from) : std::min(at, from);
                           };
                           editor->ApplyText(text, shift(start), shift(end));
                       },
                       [&](change::TextMode& mode) {
                           editor->setReadOnly(!mode.editable);
                           editor->SetDisallowed(mode.disallowed);
                       },
                       [&](change::TextSelect& select) {
                           editor->ApplySelection(select.start, select.end);
                       },
                       [&](auto&) {},
                   },
                   item.payload);
        return;
    }
    auto* scrollback = qobject_cast<ScrollbackWidget*>(node.widget.data());
    if (scrollback == nullptr)
        return;
    auto convert = [&](const std::vector<StyleRun>& runs) {
        std::vector<ScrollbackWidget::Run> converted;
        converted.reserve(runs.size());
        for (const StyleRun& run : runs)
            converted.push_back({run.offset, _Style(node, run)});
        return converted;
    };
    std::visit(
        Overloaded{
            [&](change::TextSet& set) {
                node.textVersion = set.version;
                scrollback->SetText(set.text, convert(set.runs));
            },
            [&](change::TextInsert& insert) {
                node.textVersion = insert.version;
                scrollback->Insert(insert.offset, insert.text, convert(insert.runs));
            },
            [&](change::TextDelete& erase) {
                node.textVersion = erase.version;
                scrollback->Delete(erase.start, erase.end);
            },
            [&](change::TextRestyle& restyle) {
                scrollback->Restyle(restyle.start, restyle.end, convert(restyle.runs));
            },
            [&](change::TextLink& link) {
                uint32 colour = 0xff000000u | (uint32(link.color.red) << 16) |
                                (uint32(link.color.green) << 8) | link.color.blue;
                scrollback->AddLink({link.start, link.end, colour, link.index});
            },
            [&](change::TextLinksClear&) { scrollback->ClearLinks(); },
            [&](change::TextMode& mode) {
                scrollback->SetSelectable(mode.selectable);
                BRect bounds(0, 0, node.frame.Width(), node.frame.Height());
                QMargins insets(
                    static_cast<int>(std::max(0.0f, mode.textRect.left)),
                    static_cast<int>(std::max(0.0f, mode.textRect.top)),
                    static_cast<int>(std::max(0.0f, bounds.right - mode.textRect.right)),
                    static_cast<int>(std::max(0.0f, bounds.bottom - mode.textRect.bottom)));
                scrollback->SetTextInsets(insets);
            },
            [&](change::TextSelect& select) { scrollback->Select(select.start, select.end); },
            [&](change::TextScrollTo& scroll) {
                // Asked before the window knew the user had scrolled since: the user wins.
                if (scroll.userScrolls == scrollback->UserScrolls())
                    scrollback->ScrollToOffset(scroll.offset);
            },
            [&](change::TextScrollStep& step) {
                scrollback->ScrollStep(static_cast<ScrollbackWidget::Step>(step.step));
                // The keys that asked for it were the user's.
                scrollback->CountUserScroll();
            },
            [&](auto&) {},
        },
        item.payload);
}

void QtWindow::_ApplyList(Node& node, Change& item)
{
    auto* list = qobject_cast<ListWidget*>(node.widget.data());
    if (list == nullptr)
        return;
    std::visit(
        Overloaded{
            [&](change::ListRows& rows) {
                list->SetMultiple(rows.multiple);
                list->SetRowHeight(static_cast<int>(std::lround(rows.rowHeight)));
                list->Rows()->SetRows(std::move(rows.rows));
            },
            [&](change::ListInsert& insert) {
                list->Rows()->Insert(insert.index, std::move(insert.row));
            },
            [&](change::ListRemove& remove) { list->Rows()->Remove(remove.index); },
            [&](change::ListRowChanged& changed) {
                list->Rows()->Change(changed.index, std::move(changed.row));
            },
            [&](change::ListSelection& selection) { list->SetSelection(selection.selected); },
            [&](change::ListScrollTo& scroll) {
                list->scrollTo(list->Rows()->index(scroll.index));
            },
            [&](auto&) {},
        },
        item.payload);
}

void QtWindow::_Popup(change::MenuPopup& popup)
{
    auto* menu = new QMenu(fTop.data());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    auto reply = popup.reply;
    auto answered = std::make_shared<bool>(false);
    auto answer = [reply, answered](int32 token) {
        if (*answered)
            return;
        *answered = true;
        reply->set_value(token);
    };
    fill_menu(menu, popup.root, answer);
    // An item's trigger comes after the menu hid; give it the chance before saying "none".
    QObject::connect(menu, &QMenu::aboutToHide, menu,
                     [answer] { QTimer::singleShot(0, [answer] { answer(0); }); });
    fDisplay->PopupShown(menu);
    menu->popup(QPoint(static_cast<int>(popup.where.x), static_cast<int>(popup.where.y)));
}

void QtWindow::_UpdateShortcuts()
{
    fShortcuts.clear();
    for (const auto& [token, root] : fMenuTrees) {
        Node* node = _Find(token);
        if (node != nullptr && node->kind == ViewKind::MenuBar)
            collect_shortcuts(root, &fShortcuts);
    }
}

} // namespace kit_private
